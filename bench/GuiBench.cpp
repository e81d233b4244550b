// The windowed program's heavy steps: the world map paint, the station lists, opening a
// meteogram over loopback, the meteodata export and a whole screenshot run.

#include "catalogue/StationCatalogue.h"
#include "catalogue/StationList.h"
#include "graph/Meteogram.h"
#include "mapview/MapDrawing.h"
#include "mapview/Meteodata.h"
#include "observations/ReportProtocol.h"
#include "platform/qt/QtDrawingSurface.h"
#include "resources/ResourceImages.h"
#include "stationlist/StationListModel.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestPaths.h"
#include "reportd/Simulation.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTableView>

#include "bench/BenchApplication.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

bool LoadPublicList(StationTable& all) {
    const auto path = testing_support::SharedDataFile("stations.txt");
    if (path.empty())
        return false;
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::copy_file(path, "stations.txt");
    PageFetcher fetcher;
    StationRecord current;
    StationCatalogue catalogue(fetcher, current, all);
    return catalogue.LoadStationList(StationCatalogue::Source::LocalFile);
}

} // namespace

static void BM_WorldMapPaint(benchmark::State& state) {
    EnsureApplication();
    StationTable all, opened;
    if (!LoadPublicList(all)) {
        state.SkipWithError("public station list not present");
        return;
    }
    for (int i = 0; i < 20; ++i)
        opened.Add(all[i * 400]);
    const platform::QtBitmap map(resources::WorldMap());
    QImage window(550, 350, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        platform::QtDrawingSurface surface(painter, {0, 0, 550, 350});
        benchmark::DoNotOptimize(DrawWorldMap(surface, map, all, true, opened));
    }
    state.counters["stations"] = all.GetSize();
}
BENCHMARK(BM_WorldMapPaint)->Unit(benchmark::kMillisecond);

static void BM_AllStationsListOpened(benchmark::State& state) {
    EnsureApplication();
    StationTable all;
    if (!LoadPublicList(all)) {
        state.SkipWithError("public station list not present");
        return;
    }
    for (auto _ : state) {
        StationListModel model;
        QTableView table;
        table.setModel(&model);
        table.resize(501, 580);
        model.Fill(all);
        model.SortRows(0, false);
        table.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_AllStationsListOpened)->Unit(benchmark::kMillisecond);

static void BM_AllStationsListResorted(benchmark::State& state) {
    EnsureApplication();
    StationTable all;
    if (!LoadPublicList(all)) {
        state.SkipWithError("public station list not present");
        return;
    }
    StationListModel model;
    model.Fill(all);
    int column = 0;
    bool descending = false;
    for (auto _ : state) {
        column = (column + 3) % 8;
        descending = !descending;
        model.SortRows(column, descending);
    }
}
BENCHMARK(BM_AllStationsListResorted)->Unit(benchmark::kMillisecond);

// Retrieval of 96 hours of half-hourly reports over loopback, the meteogram's set-up, every row
// added, and the window's drawing.
static void BM_OpenStationWindow96Hours(benchmark::State& state) {
    EnsureApplication();
    testing_support::MessageRecorder quiet;
    const std::string list =
        testing_support::ReadFile(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt");
    testing_support::RunningServer server(list, std::make_unique<SimulatedSource>(),
                                          [] { return UtcTime(2026, 12, 7, 5, 0); });
    PageFetcher fetcher;
    StationRecord settings;
    settings.bShowTemperature = settings.bShowPressure = settings.bShowWindSpeed =
        settings.bShowWindDirection = settings.bMetricStyle = settings.bShowTimeUTC = 1;
    settings.iShowPastHours = 96;
    StationTable all;
    ParseStationList(list, all);
    StationCatalogue catalogue(fetcher, settings, all);
    catalogue.SetServerUrl(server.BaseUrl());
    StationRecord station;
    for (const StationRecord& s : all)
        if (ReportsHalfHourly(s) && s.strCY == "US") {
            station = s;
            break;
        }
    QImage window(650, 670, QImage::Format_RGB32);
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<CGraph> graph = std::make_unique<CGraph>();
        ObservationSeries series;
        StationRecord own = station;
        Meteogram meteogram(graph, own, series, settings);
        catalogue.FetchObservations(&own, &series, protocol::HoursText(96), 96);
        meteogram.ComputeTimeAxis();
        meteogram.SetUpMeteogram();
        for (int i = series.GetSize() - 1; i >= 0; --i)
            meteogram.AddObservation(series[i]);
        QPainter painter(&window);
        platform::QtDrawingSurface surface(painter, {0, 0, 650, 670});
        meteogram.Draw(surface);
        rows = series.GetSize();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenStationWindow96Hours)->Unit(benchmark::kMillisecond);

static void BM_WriteMeteodata96Hours(benchmark::State& state) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::MessageRecorder quiet;
    ObservationSeries series;
    for (int i = 0; i < 193; ++i) {
        ObservationRecord r;
        r.tObserved = UtcTime(2026, 12, 7, 4, 50) - i * 1800;
        r.dTemperature = 5 + i % 7;
        r.dPressure = 13.2;
        r.dWindDirection = 270;
        r.dWindSpeed = 5.1;
        series.Add(r);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(
            WriteMeteodata("NYC_JFK ARPT", series, UtcTime(2026, 12, 7, 5, 0)));
}
BENCHMARK(BM_WriteMeteodata96Hours)->Unit(benchmark::kMicrosecond);

// `ventora --screenshot` from start to exit, with the bundled list and no server to answer.
static void BM_ScreenshotRun(benchmark::State& state) {
    EnsureApplication();
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::copy_file(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt",
                               "stations.txt");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((folder.Path() / "config").string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto _ : state) {
        QProcess ventora;
        ventora.setProcessEnvironment(env);
        ventora.start(VENTORA_BINARY, {"--screenshot", "shot.png"});
        ventora.waitForFinished(30000);
        if (ventora.exitCode() != 0)
            state.SkipWithError("ventora failed");
    }
}
BENCHMARK(BM_ScreenshotRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
