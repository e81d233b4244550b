#include "catalogue/StationCatalogue.h"
#include "tests/support/TestPaths.h"

#include <benchmark/benchmark.h>

#include <filesystem>

// Loading the public station list from "stations.txt" in the working folder, as start-up does.
static void BM_LoadStationList(benchmark::State& state) {
    const auto path = testing_support::SharedDataFile("stations.txt");
    if (path.empty()) {
        state.SkipWithError("public station list not present");
        return;
    }
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::copy_file(path, "stations.txt");
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue(fetcher, current, all);
    for (auto _ : state) {
        catalogue.LoadStationList(StationCatalogue::Source::LocalFile);
        benchmark::DoNotOptimize(all.GetSize());
    }
    state.counters["stations"] = all.GetSize();
}
BENCHMARK(BM_LoadStationList)->Unit(benchmark::kMillisecond);
