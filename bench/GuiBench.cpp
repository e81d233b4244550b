// The windowed program's heavy steps: the world map paint, the station lists, opening a
// meteogram over loopback, the meteodata export and a whole screenshot run.

#include "catalogue/StationCatalogue.h"
#include "catalogue/StationList.h"
#include "graph/Meteogram.h"
#include "mapview/MapDrawing.h"
#include "mapview/Meteodata.h"
#include "observations/ReportProtocol.h"
#include "platform/qt/QtDrawingSurface.h"
#include "reportd/Simulation.h"
#include "resources/ResourceImages.h"
#include "stationlist/StationListModel.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestPaths.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTableView>

#include "bench/BenchApplication.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

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

namespace {

// The processor time of the children waited for so far, in seconds.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Runs the program to its end; its processor time in seconds, or a negative value when it
// failed.
double RunProgram(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& env) {
    const double before = ChildrenCpuSeconds();
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return ChildrenCpuSeconds() - before;
}

} // namespace

// `ventora --screenshot` from start to exit, with the bundled list and no server to answer,
// beside an empty main window of the same size shown, grabbed and saved; processor time of
// the two processes.
static void BM_ScreenshotRun(benchmark::State& state) {
    EnsureApplication();
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::copy_file(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt",
                               "stations.txt");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((folder.Path() / "config").string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QStringList ventoraArguments{"--screenshot", "shot.png"};
    if (RunProgram(VENTORA_BINARY, ventoraArguments, env) < 0) {
        state.SkipWithError("ventora failed");
        return;
    }
    const QImage shot("shot.png");
    const QStringList floorArguments{"empty.png", QString::number(shot.width()),
                                     QString::number(shot.height())};
    double ventora = 0, floor = 0;
    for (auto _ : state) {
        const double v = RunProgram(VENTORA_BINARY, ventoraArguments, env);
        const double f = RunProgram(VENTORA_EMPTY_WINDOW_BINARY, floorArguments, env);
        if (v < 0 || f < 0) {
            state.SkipWithError("a program failed");
            return;
        }
        ventora += v;
        floor += f;
        state.SetIterationTime(v);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ventora"] = ventora / n * 1e3;
    state.counters["floor"] = floor / n * 1e3;
    state.counters["ratio"] = ventora / floor;
}
BENCHMARK(BM_ScreenshotRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
