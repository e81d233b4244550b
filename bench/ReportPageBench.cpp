#include "observations/MetarDecoder.h"
#include "observations/ReportNumbers.h"
#include "observations/ReportPage.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestPaths.h"

#include "bench/SideBySide.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string_view>
#include <unordered_map>

namespace {

// The floor: the same page read in one forward pass by a reader that knows its layout (the nine
// cells in their order, then the coded report), references decoded as the text is copied, the
// time converted with one C library call per distinct hour, and the report's numbers from the
// same decoder. It gives the same records as ReadReportRows for the pages of the benchmark.
class OnePassReader {
public:
    void Read(std::string_view page, std::vector<ObservationRecord>& out) {
        std::size_t at = 0;
        ObservationRecord r;
        std::string* cells[] = {&r.strConditionsAt, &r.strTemperature, &r.strDewpoint,
                                &r.strPressure,     &r.strWinds,       &r.strVisibility,
                                &r.strCeiling,      &r.strClouds,      &r.strPresentWeather};
        for (;;) {
            at = page.find("Conditions", at);
            if (at == std::string_view::npos)
                return;
            std::string_view temperatureRaw;
            for (std::string* cell : cells) {
                at = page.find(kCell, at);
                if (at == std::string_view::npos)
                    return;
                at += kCell.size();
                const std::size_t end = page.find("</TD>", at);
                if (cell == &r.strTemperature)
                    temperatureRaw = page.substr(at, end - at);
                Decode(page.substr(at, end - at), *cell);
                at = end;
            }
            at = page.find(kSpan, at) + kSpan.size();
            const std::size_t end = page.find("<BR>", at);
            Decode(page.substr(at, end - at), r.strReport);
            at = end;
            Times(r);
            r.dTemperature = Temperature(temperatureRaw);
            FillReportNumbers(r);
            out.push_back(r);
        }
    }

private:
    static constexpr std::string_view kCell = "<TD ALIGN=\"left\">";
    static constexpr std::string_view kSpan = "<SPAN CLASS=\"monospace\">";

    static void Decode(std::string_view raw, std::string& text) {
        text.clear();
        std::size_t i = 0;
        while (i < raw.size() && raw[i] == ' ')
            ++i;
        for (; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c != '&') {
                text += c;
                continue;
            }
            const std::size_t semicolon = raw.find(';', i);
            const std::string_view ref = raw.substr(i, semicolon - i + 1);
            text += ref == "&#46;"    ? '.'
                    : ref == "&#160;" ? ' '
                    : ref == "&deg;"  ? '\xB0'
                    : ref == "&#45;"  ? '-'
                                      : '?';
            i = semicolon;
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
    }

    static double Temperature(std::string_view raw) {
        std::string text;
        Decode(raw, text);
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        // The page's rule: a whole part of 0 (or -0) reads 0 whatever the fraction.
        return value > -1 && value < 1 ? 0.0 : value;
    }

    static int Digits(std::string_view text, std::size_t& at) {
        int value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + (text[at++] - '0');
        return value;
    }

    void Times(ObservationRecord& r) {
        const std::string_view text = r.strConditionsAt;
        std::size_t at = text.find("observed ") + 9;
        std::tm tm{};
        tm.tm_mon = Digits(text, at) - 1;
        ++at;
        tm.tm_mday = Digits(text, at);
        ++at;
        tm.tm_year = Digits(text, at) - 1900;
        while (at < text.size() && text[at] == ' ')
            ++at;
        tm.tm_hour = Digits(text, at);
        ++at;
        tm.tm_min = Digits(text, at);
        const std::time_t utc = timegm(&tm);
        r.tObservedUtc = utc;
        const std::int64_t hour = utc / 3600;
        auto found = m_offsets.find(hour);
        if (found == m_offsets.end()) {
            std::tm hourStart = tm;
            hourStart.tm_min = 0;
            hourStart.tm_isdst = -1;
            found = m_offsets.emplace(hour, mktime(&hourStart) - (utc - tm.tm_min * 60)).first;
        }
        r.tObserved = utc + found->second;
    }

    std::unordered_map<std::int64_t, std::int64_t> m_offsets;
};

} // namespace

// Reading a page of N rows, per row: ReadReportRows beside the one-pass floor.
static void BM_ReadReportPage(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string page = testing_support::PageHtml(testing_support::SampleRows(rows));
    {
        // The floor must do the same work: the same records, in the same order.
        ObservationSeries series;
        ObservationRecord working;
        ReadReportRows(page, &series, working);
        std::vector<ObservationRecord> floor;
        OnePassReader().Read(page, floor);
        for (int i = 0; i < series.GetSize(); ++i)
            if (i >= static_cast<int>(floor.size()) || !(series[i] == floor[i])) {
                if (std::getenv("VENTORA_BENCH_DEBUG") && i < static_cast<int>(floor.size())) {
                    const ObservationRecord &a = series[i], &b = floor[i];
                    std::fprintf(
                        stderr,
                        "%lld %lld|%lld %lld|%g %g|%g %g|%g %g|[%s][%s]|[%s][%s]|[%s][%s]\n",
                        (long long)a.tObserved, (long long)b.tObserved, (long long)a.tObservedUtc,
                        (long long)b.tObservedUtc, a.dTemperature, b.dTemperature, a.dPressure,
                        b.dPressure, a.dWindSpeed, b.dWindSpeed, a.strConditionsAt.c_str(),
                        b.strConditionsAt.c_str(), a.strTemperature.c_str(),
                        b.strTemperature.c_str(), a.strReport.c_str(), b.strReport.c_str());
                }
                state.SkipWithError("the floor reads another record than ReadReportRows");
                return;
            }
    }
    SideBySide timing;
    for (auto _ : state)
        timing.WarmIteration(
            state,
            [&] {
                ObservationSeries series;
                ObservationRecord working;
                benchmark::DoNotOptimize(ReadReportRows(page, &series, working));
            },
            [&] {
                std::vector<ObservationRecord> records;
                records.reserve(static_cast<std::size_t>(rows));
                OnePassReader().Read(page, records);
                benchmark::DoNotOptimize(records.data());
            });
    timing.Report(state, 1e6 / rows);
}
BENCHMARK(BM_ReadReportPage)
    ->Arg(24)
    ->Arg(240)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
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
