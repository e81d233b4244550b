// The map coloured by every station's latest report, for the bundled list of some 10,000
// stations: the server's table built (target under 20 ms), fetched over loopback and read by the
// viewer (under 30 ms), the world map painted with colours (under 5 ms) and the pointer's tip
// found (under 1 ms); each beside its floor, the least work of the same kind.

#include "catalogue/CurrentConditions.h"
#include "catalogue/StationList.h"
#include "mapview/MapDrawing.h"
#include "observations/PageFetcher.h"
#include "observations/ReportProtocol.h"
#include "platform/qt/QtDrawingSurface.h"
#include "reportd/Simulation.h"
#include "resources/ResourceImages.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/TestPaths.h"

#include <QImage>
#include <QPainter>

#include "bench/BenchApplication.h"

#include <benchmark/benchmark.h>

#include <unordered_set>

namespace {

const std::int64_t kNow = UtcTime(2026, 12, 7, 14, 55);

const std::string& BundledList() {
    static const std::string list =
        testing_support::ReadFile(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt");
    return list;
}

const StationTable& BundledStations() {
    static const StationTable all = [] {
        StationTable t;
        ParseStationList(BundledList(), t);
        return t;
    }();
    return all;
}

std::unordered_set<std::string> Codes() {
    std::unordered_set<std::string> codes;
    for (const StationRecord& s : BundledStations())
        codes.insert(s.strICAO);
    return codes;
}

// The simulated server's table of the bundled list, read as the viewer reads it.
const CurrentConditions& Conditions() {
    static const CurrentConditions conditions = [] {
        ReportServer server(BundledList(), std::make_unique<SimulatedSource>(),
                            [] { return kNow; });
        const SharedAnswer answer = server.Handle(std::string(protocol::kLatestPath), "");
        const auto codes = Codes();
        CurrentConditions c;
        c.Take(ReadLatestTable(
                   answer->body,
                   [&codes](std::string_view icao) { return codes.count(std::string(icao)) > 0; }),
               kNow);
        return c;
    }();
    return conditions;
}

} // namespace

// The server's answer made anew (its clock moves past the minute it keeps one): every
// station's newest simulated report made, decoded, written and compressed.
static void BM_LatestTableServed10k(benchmark::State& state) {
    std::int64_t now = kNow;
    ReportServer server(BundledList(), std::make_unique<SimulatedSource>(), [&now] { return now; });
    std::size_t bytes = 0;
    for (auto _ : state) {
        now += ReportServer::kPageMaxAge;
        const SharedAnswer answer = server.Handle(std::string(protocol::kLatestPath), "");
        bytes = answer->body.size();
        benchmark::DoNotOptimize(answer);
    }
    state.counters["stations"] = server.StationCount();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_LatestTableServed10k)->Unit(benchmark::kMillisecond);

// Floor: the same reports only made, with nothing decoded or written.
static void BM_LatestTableServedFloorSimulate10k(benchmark::State& state) {
    std::vector<const StationRecord*> stations;
    for (const StationRecord& s : BundledStations())
        stations.push_back(&s);
    SimulatedSource source;
    for (auto _ : state)
        benchmark::DoNotOptimize(source.NewestReports(stations, kNow - 3 * 3600, kNow));
}
BENCHMARK(BM_LatestTableServedFloorSimulate10k)->Unit(benchmark::kMillisecond);

// The viewer's fetch over loopback of the table the server keeps, and its reading.
static void BM_LatestTableFetchedAndRead10k(benchmark::State& state) {
    testing_support::RunningServer server(BundledList(), std::make_unique<SimulatedSource>(),
                                          [] { return kNow; });
    const std::string url = server.BaseUrl() + std::string(protocol::kLatestPath);
    const auto codes = Codes();
    PageFetcher fetcher;
    std::size_t rows = 0;
    for (auto _ : state) {
        const PageFetcher::Response answer = fetcher.Get(url);
        const LatestTable table = ReadLatestTable(answer.body, [&codes](std::string_view icao) {
            return codes.count(std::string(icao)) > 0;
        });
        rows = table.rows.size();
        benchmark::DoNotOptimize(table);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LatestTableFetchedAndRead10k)->Unit(benchmark::kMillisecond)->UseRealTime();

// Floor: the station list of about the same size fetched over the same loopback, not read.
static void BM_LatestTableFetchedFloorStationList(benchmark::State& state) {
    testing_support::RunningServer server(BundledList(), std::make_unique<SimulatedSource>(),
                                          [] { return kNow; });
    const std::string url = server.BaseUrl() + std::string(protocol::kStationListPath);
    PageFetcher fetcher;
    for (auto _ : state)
        benchmark::DoNotOptimize(fetcher.Get(url));
    state.counters["bytes"] = static_cast<double>(BundledList().size());
}
BENCHMARK(BM_LatestTableFetchedFloorStationList)->Unit(benchmark::kMillisecond)->UseRealTime();

namespace {

void PaintWorldMap(benchmark::State& state, MapColours mode) {
    EnsureApplication();
    const StationTable& all = BundledStations();
    StationTable opened;
    for (int i = 0; i < 20; ++i)
        opened.Add(all[i * 400]);
    const MapColouring colouring{mode, &Conditions(), true, kNow};
    const platform::QtBitmap map(resources::WorldMap());
    QImage window(550, 350, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        platform::QtDrawingSurface surface(painter, {0, 0, 550, 350});
        benchmark::DoNotOptimize(DrawWorldMap(surface, map, all, true, opened, colouring));
    }
    state.counters["stations"] = all.GetSize();
    state.counters["rows"] = Conditions().RowCount();
}

} // namespace

static void BM_WorldMapPaintColoured10k(benchmark::State& state) {
    PaintWorldMap(state, MapColours::Category);
}
BENCHMARK(BM_WorldMapPaintColoured10k)->Unit(benchmark::kMillisecond);

static void BM_WorldMapPaintColouredTemperature10k(benchmark::State& state) {
    PaintWorldMap(state, MapColours::Temperature);
}
BENCHMARK(BM_WorldMapPaintColouredTemperature10k)->Unit(benchmark::kMillisecond);

// Floor: the design's paint of the same stations, one red pixel each.
static void BM_WorldMapPaintColouredFloorDesign10k(benchmark::State& state) {
    PaintWorldMap(state, MapColours::Stations);
}
BENCHMARK(BM_WorldMapPaintColouredFloorDesign10k)->Unit(benchmark::kMillisecond);

// The station under the pointer among all of them, and its tip.
static void BM_StationTipLookup10k(benchmark::State& state) {
    const StationTable& all = BundledStations();
    const CurrentConditions& conditions = Conditions();
    const auto place = [](const StationRecord& s) {
        return std::optional<platform::Point>(WorldMapPoint(s.dLongitude, s.dColatitude));
    };
    int i = 0;
    for (auto _ : state) {
        const StationRecord& target = all[(i += 997) % all.GetSize()];
        const platform::Point at = WorldMapPoint(target.dLongitude, target.dColatitude);
        const StationRecord* s = NearestStation(all, {at.x + 1, at.y}, place);
        benchmark::DoNotOptimize(StationTip(*s, conditions.RowOf(s->strICAO), true, kNow + 600));
    }
}
BENCHMARK(BM_StationTipLookup10k)->Unit(benchmark::kMicrosecond);

// Floor: every station projected once, nothing compared.
static void BM_StationTipLookupFloorProject10k(benchmark::State& state) {
    const StationTable& all = BundledStations();
    for (auto _ : state) {
        int sum = 0;
        for (const StationRecord& s : all)
            sum += WorldMapPoint(s.dLongitude, s.dColatitude).x;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_StationTipLookupFloorProject10k)->Unit(benchmark::kMicrosecond);
