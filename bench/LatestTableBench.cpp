// The latest-report table of 10,000 stations: built and written by the server (target under
// 20 ms), read by the viewer (part of its 30 ms), and the data service's bulk file read by the
// server; each beside its floor, the least work of the same kind.

#include "observations/CurrentReports.h"
#include "observations/LatestTable.h"
#include "tests/support/Gzip.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kStations = 10000;

struct StationReport {
    std::string icao;
    std::string raw;
};

// 10,000 stations with reports of the usual kinds, each under its own ICAO.
const std::vector<StationReport>& Reports() {
    static const std::vector<StationReport> reports = [] {
        const char* bodies[] = {
            "070451Z 27009KT 10SM FEW250 13/M01 A3012 RMK AO2 SLP201 T01331011",
            "070450Z 24012G25KT 9999 -SHRA SCT020 BKN035 08/05 Q1008 NOSIG",
            "070450Z VRB02KT 0400 FG VV002 02/02 Q1021 BECMG 1500",
            "070453Z AUTO 18005KT 1 1/2SM BR OVC006 05/04 A2987 RMK AO2",
            "070450Z 11002MPS CAVOK M05/M09 Q1031",
            "070430Z 36015KT 7000 -SN BKN012 OVC025 M02/M04 Q0998",
            "070455Z 09006KT 3SM HZ SCT040 31/24 A2981 RMK AO2",
            "070450Z AUTO 31010KT 9999 // NCD 17/06 Q1017",
        };
        std::vector<StationReport> out;
        for (int i = 0; i < kStations; ++i) {
            std::string icao = "A000";
            for (int d = 3, n = i; d > 0; --d, n /= 26)
                icao[static_cast<std::size_t>(d)] = static_cast<char>('A' + n % 26);
            icao[0] = static_cast<char>('A' + i % 26);
            out.push_back({icao, icao + " " + bodies[i % 8]});
        }
        return out;
    }();
    return reports;
}

constexpr std::int64_t kObserved = 1796655060;

std::vector<LatestRow> Rows() {
    std::vector<LatestRow> rows;
    for (const StationReport& s : Reports())
        rows.push_back(MakeLatestRow(s.icao, kObserved, s.raw));
    return rows;
}

void PerRow(benchmark::State& state) {
    state.counters["per_row_ns"] =
        benchmark::Counter(kStations * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

} // namespace

// Every row decoded and derived, and the table written.
static void BM_LatestTableBuild10k(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<LatestRow> rows;
        rows.reserve(kStations);
        for (const StationReport& s : Reports())
            rows.push_back(MakeLatestRow(s.icao, kObserved, s.raw));
        benchmark::DoNotOptimize(WriteLatestTable(rows));
    }
    PerRow(state);
}
BENCHMARK(BM_LatestTableBuild10k)->Unit(benchmark::kMillisecond);

// Floor: the reports decoded, with nothing derived or written.
static void BM_LatestTableBuildFloorDecode10k(benchmark::State& state) {
    for (auto _ : state)
        for (const StationReport& s : Reports())
            benchmark::DoNotOptimize(DecodeMetar(s.raw));
    PerRow(state);
}
BENCHMARK(BM_LatestTableBuildFloorDecode10k)->Unit(benchmark::kMillisecond);

// The writing alone, of rows already made.
static void BM_LatestTableWrite10k(benchmark::State& state) {
    const std::vector<LatestRow> rows = Rows();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteLatestTable(rows));
    PerRow(state);
}
BENCHMARK(BM_LatestTableWrite10k)->Unit(benchmark::kMillisecond);

// Floor: the ICAOs and reports copied into one text, the bytes any table of them holds.
static void BM_LatestTableWriteFloorCopy10k(benchmark::State& state) {
    for (auto _ : state) {
        std::string out;
        out.reserve(Reports().size() * 128);
        for (const StationReport& s : Reports()) {
            out += s.icao;
            out += ',';
            out += s.raw;
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out);
    }
    PerRow(state);
}
BENCHMARK(BM_LatestTableWriteFloorCopy10k)->Unit(benchmark::kMillisecond);

// The viewer's reading, every ICAO checked against its station list.
static void BM_LatestTableRead10k(benchmark::State& state) {
    const std::string csv = WriteLatestTable(Rows());
    std::unordered_set<std::string_view> known;
    for (const StationReport& s : Reports())
        known.insert(s.icao);
    const auto isKnown = [&](std::string_view icao) { return known.count(icao) > 0; };
    for (auto _ : state) {
        const LatestTable table = ReadLatestTable(csv, isKnown);
        if (table.rows.size() != kStations)
            state.SkipWithError("rows lost");
        benchmark::DoNotOptimize(table);
    }
    state.counters["bytes"] = static_cast<double>(csv.size());
    PerRow(state);
}
BENCHMARK(BM_LatestTableRead10k)->Unit(benchmark::kMillisecond);

// Floor: one pass over the text counting its fields.
static void BM_LatestTableReadFloorScan10k(benchmark::State& state) {
    const std::string csv = WriteLatestTable(Rows());
    for (auto _ : state) {
        std::size_t fields = 0;
        for (const char* p = csv.data();
             (p = static_cast<const char*>(std::memchr(p, ',', csv.data() + csv.size() - p))); ++p)
            ++fields;
        benchmark::DoNotOptimize(fields);
    }
    PerRow(state);
}
BENCHMARK(BM_LatestTableReadFloorScan10k)->Unit(benchmark::kMillisecond);

// The server's reading of a bulk file of 10,000 current reports, gzip-compressed.
static void BM_CurrentReportsFile10k(benchmark::State& state) {
    std::string csv = "No errors\nNo warnings\n5 ms\ndata source=metars\n10000 results\n"
                      "raw_text,station_id,observation_time,latitude,longitude,flight_category\n";
    for (const StationReport& s : Reports())
        csv += s.raw + "," + s.icao + ",2026-12-07T04:51:00Z,40.6,-73.8,VFR\n";
    const std::string gz = testing_support::GzipText(csv);
    for (auto _ : state) {
        const CurrentReports read = ReadCurrentReportsFile(gz);
        if (read.reports.size() != kStations)
            state.SkipWithError("reports lost");
        benchmark::DoNotOptimize(read);
    }
    state.counters["gzip_bytes"] = static_cast<double>(gz.size());
    PerRow(state);
}
BENCHMARK(BM_CurrentReportsFile10k)->Unit(benchmark::kMillisecond);

// Floor: the file unpacked, nothing read.
static void BM_CurrentReportsFileFloorGunzip10k(benchmark::State& state) {
    std::string csv;
    for (const StationReport& s : Reports())
        csv += s.raw + "," + s.icao + ",2026-12-07T04:51:00Z,40.6,-73.8,VFR\n";
    const std::string gz = testing_support::GzipText(csv);
    for (auto _ : state)
        benchmark::DoNotOptimize(Gunzip(gz));
    PerRow(state);
}
BENCHMARK(BM_CurrentReportsFileFloorGunzip10k)->Unit(benchmark::kMillisecond);
