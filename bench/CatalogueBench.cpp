#include "catalogue/StationCatalogue.h"
#include "catalogue/StationList.h"
#include "tests/support/TestPaths.h"

#include "bench/SideBySide.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The floor: the same file read whole and cut into records of fixed fields, numbers read from
// their digits where they stand.
struct LeanStation {
    std::array<char, 18> name;
    std::array<char, 5> icao;
    std::array<char, 3> country;
    float colatitude, longitude, elevation;
};

int Digits(std::string_view line, std::size_t first, std::size_t last) {
    int value = 0;
    bool negative = false;
    for (std::size_t i = first; i <= last; ++i) {
        const char c = line[i];
        if (c >= '0' && c <= '9')
            value = value * 10 + (c - '0');
        else if (c == '-')
            negative = true;
    }
    return negative ? -value : value;
}

void Copy(std::string_view line, std::size_t first, std::size_t last, char* out) {
    while (first <= last && line[first] == ' ')
        ++first;
    while (last >= first && line[last] == ' ')
        --last;
    const std::size_t n = last + 1 - first;
    std::memcpy(out, line.data() + first, n);
    out[n] = '\0';
}

void ReadLean(const char* file, std::vector<LeanStation>& out) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ForEachStationLine(text, [&out](std::string_view line) {
        LeanStation s;
        Copy(line, 3, 19, s.name.data());
        Copy(line, 20, 23, s.icao.data());
        Copy(line, 81, 82, s.country.data());
        const double lat = Digits(line, 39, 40) + Digits(line, 42, 43) / 60.0;
        const double lon = Digits(line, 47, 49) + Digits(line, 51, 52) / 60.0;
        s.colatitude = static_cast<float>(line[44] == 'N' ? 90 - lat : lat + 90);
        s.longitude = static_cast<float>(line[53] == 'W' ? 180 - lon : lon + 180);
        s.elevation = static_cast<float>(Digits(line, 55, 58));
        out.push_back(s);
    });
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

} // namespace

// Loading the public station list from "stations.txt" in the working folder, as start-up does,
// beside the lean reader of the same file; with the memory the loaded list holds.
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
    SideBySide timing;
    for (auto _ : state)
        timing.WarmIteration(
            state,
            [&] {
                catalogue.LoadStationList(StationCatalogue::Source::LocalFile);
                benchmark::DoNotOptimize(all.GetSize());
            },
            [&] {
                std::vector<LeanStation> lean;
                lean.reserve(10000);
                ReadLean("stations.txt", lean);
                benchmark::DoNotOptimize(lean.data());
            });
    timing.Report(state, 1e3);
    state.counters["stations"] = all.GetSize();

    // What the list holds once loaded: the heap in use with it, less the heap without it.
    all.RemoveAll();
    const std::size_t before = HeapInUse();
    catalogue.LoadStationList(StationCatalogue::Source::LocalFile);
    state.counters["list_MiB"] = static_cast<double>(HeapInUse() - before) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadStationList)->UseManualTime()->Unit(benchmark::kMillisecond);
