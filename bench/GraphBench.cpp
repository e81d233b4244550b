#include "graph/Meteogram.h"
#include "platform/qt/QtDrawingSurface.h"

#include <QImage>
#include <QPainter>

#include "bench/BenchApplication.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

ObservationRecord Row(int i) {
    ObservationRecord r;
    r.tObserved = 1796600000 + i * 1800;
    r.dTemperature = 6 + 5 * std::sin(i * 0.13);
    r.dPressure = 12 + 6 * std::sin(i * 0.02);
    r.dWindSpeed = 4 + 3 * std::cos(i * 0.3);
    r.dWindDirection = std::fmod(200 + i * 3.0, 360);
    r.strConditionsAt = "EDDF (FRANKFURT/MAIN, DE) observed 12/6/2026  11:50 UTC";
    r.strWinds = "from the WSW (250 degrees) at 7 MPH (6 knots; 3.1 m/s)";
    return r;
}

struct Fixture {
    std::unique_ptr<CGraph> graph;
    StationRecord station;
    ObservationSeries series;
    StationRecord settings;
    QImage picture{650, 670, QImage::Format_RGB32};
    Meteogram meteogram;

    // With `draw`, every change is painted at once, as if the window repainted after each row.
    explicit Fixture(bool draw)
        : meteogram(graph, station, series, settings,
                    draw ? std::function<void()>([this] { Paint(); }) : std::function<void()>()) {
        settings.bShowTemperature = settings.bShowPressure = settings.bShowWindSpeed =
            settings.bShowWindDirection = settings.bMetricStyle = 1;
        station.iPeriodMinutes = 30;
        meteogram.SetUpMeteogram();
    }

    void Paint() {
        QPainter painter(&picture);
        platform::QtDrawingSurface surface(painter, {0, 0, 650, 670});
        meteogram.Draw(surface);
    }
};

} // namespace

// One drawing of a 240-row, four-series meteogram with its wind dial.
static void BM_DrawMeteogram240(benchmark::State& state) {
    EnsureApplication();
    Fixture f(false);
    for (int i = 0; i < 240; ++i)
        f.meteogram.AddObservation(Row(i));
    for (auto _ : state)
        f.Paint();
}
BENCHMARK(BM_DrawMeteogram240)->Unit(benchmark::kMillisecond);

// 240 rows added one after another, each drawn, as a station window fills its graph.
static void BM_AddObservation240(benchmark::State& state) {
    EnsureApplication();
    for (auto _ : state) {
        Fixture f(true);
        for (int i = 0; i < 240; ++i)
            f.meteogram.AddObservation(Row(i));
        benchmark::DoNotOptimize(f.graph->RowCount());
    }
}
BENCHMARK(BM_AddObservation240)->Unit(benchmark::kMillisecond);
