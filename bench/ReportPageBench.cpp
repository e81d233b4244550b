#include "observations/MetarDecoder.h"
#include "observations/ReportPage.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestPaths.h"

#include <benchmark/benchmark.h>

#include <sstream>

static void BM_ReadReportPage(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string page = testing_support::PageHtml(testing_support::SampleRows(rows));
    for (auto _ : state) {
        ObservationSeries series;
        ObservationRecord working;
        benchmark::DoNotOptimize(ReadReportRows(page, &series, working));
    }
    state.counters["per_row_us"] = benchmark::Counter(
        static_cast<double>(rows) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadReportPage)
    ->Arg(24)
    ->Arg(240)
    ->Arg(960)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

static void BM_DecodeSampleReports(benchmark::State& state) {
    const auto path = testing_support::SharedDataFile("metar-samples.txt");
    if (path.empty()) {
        state.SkipWithError("public sample reports not present");
        return;
    }
    std::vector<std::string> reports;
    std::istringstream in(testing_support::ReadFile(path));
    for (std::string line; std::getline(in, line);)
        reports.push_back(line);
    for (auto _ : state)
        for (const std::string& r : reports)
            benchmark::DoNotOptimize(DecodeMetar(r));
    state.counters["reports"] = static_cast<double>(reports.size());
}
BENCHMARK(BM_DecodeSampleReports)->Unit(benchmark::kMicrosecond);
