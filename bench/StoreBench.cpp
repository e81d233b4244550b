#include "graph/Meteogram.h"
#include "observations/ReportPage.h"
#include "platform/CalendarTime.h"
#include "platform/qt/QtDrawingSurface.h"
#include "store/ObservationMerge.h"
#include "store/ObservationStore.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestPaths.h"

#include "bench/BenchApplication.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

// The store as the viewer meets it after a few weeks: one million rows, an hour apart, over
// 1,000 stations, each row with the texts a served page gives.
namespace {

constexpr int kStations = 1000;
constexpr int kRowsPerStation = 1000;
constexpr std::int64_t kHour = 3600;

std::string Icao(int station) {
    std::string icao = "K000";
    for (int i = 3; i > 0; --i, station /= 10)
        icao[i] = static_cast<char>('0' + station % 10);
    return icao;
}

// The station's rows at hours [first, first + count) back from the newest, newest first.
ObservationSeries Rows(std::int64_t newest, int first, int count) {
    static const ObservationSeries templates = [] {
        ObservationSeries series;
        ObservationRecord working;
        ReadReportRows(testing_support::PageHtml(testing_support::SampleRows(96)), &series,
                       working);
        return series;
    }();
    ObservationSeries rows;
    rows.Reserve(count);
    for (int h = first; h < first + count; ++h) {
        // The same instant always with the same texts and numbers, as the server repeats it.
        const std::int64_t instant = newest - h * kHour;
        ObservationRecord r = templates[static_cast<int>(instant / kHour % templates.GetSize())];
        r.tObservedUtc = instant;
        r.tObserved = r.tObservedUtc;
        rows.Add(r);
    }
    return rows;
}

struct BenchStore {
    testing_support::ScopedWorkingFolder folder;
    std::int64_t newest = platform::CurrentTime() / kHour * kHour - 10 * 60;
    std::unique_ptr<ObservationStore> store;
    sqlite3* raw = nullptr;
    double bytes = 0;

    BenchStore() {
        store = std::make_unique<ObservationStore>(folder.Path());
        for (int s = 0; s < kStations; ++s)
            store->SaveSeries(Icao(s), Rows(newest, 0, kRowsPerStation));
        // The size once the log is folded into the file, as at the next start.
        store.reset();
        bytes =
            static_cast<double>(std::filesystem::file_size(folder.Path() / kObservationStoreFile));
        store = std::make_unique<ObservationStore>(folder.Path());
        sqlite3_open((folder.Path() / kObservationStoreFile).c_str(), &raw);
    }
    ~BenchStore() { sqlite3_close(raw); }
};

BenchStore& Shared() {
    static BenchStore shared;
    return shared;
}

} // namespace

// A station's last 96 hours, as a window opening from the store reads them.
static void BM_StoreRead96Hours(benchmark::State& state) {
    BenchStore& b = Shared();
    int station = 0;
    for (auto _ : state) {
        const ObservationSeries rows =
            b.store->ReadPeriod(Icao(station), b.newest - 95 * kHour, b.newest);
        benchmark::DoNotOptimize(rows.GetSize());
        station = (station + 7) % kStations;
    }
    state.counters["rows"] =
        b.store->ReadPeriod(Icao(0), b.newest - 95 * kHour, b.newest).GetSize();
    state.counters["file_MB_per_million_rows"] =
        b.bytes / 1e6 / (kStations * kRowsPerStation / 1e6);
}
BENCHMARK(BM_StoreRead96Hours)->Unit(benchmark::kMicrosecond);

// A station window opening from the store, to its first paint: the 96 hours read, the time
// axis, the meteogram's set-up, every row added and the whole window drawn.
static void BM_StoreOpenWindowToFirstPaint96Hours(benchmark::State& state) {
    EnsureApplication();
    BenchStore& b = Shared();
    StationRecord settings;
    settings.bShowTemperature = settings.bShowPressure = settings.bShowWindSpeed =
        settings.bShowWindDirection = settings.bMetricStyle = settings.bShowTimeUTC = 1;
    settings.iShowPastHours = 96;
    QImage window(650, 670, QImage::Format_RGB32);
    int station = 0;
    for (auto _ : state) {
        std::unique_ptr<CGraph> graph = std::make_unique<CGraph>();
        StationRecord own;
        own.strICAO = Icao(station);
        own.strStation = own.strICAO;
        ObservationSeries series =
            b.store->ReadPeriod(own.strICAO, b.newest - 96 * kHour, b.newest);
        Meteogram meteogram(graph, own, series, settings);
        meteogram.ComputeTimeAxis();
        meteogram.SetUpMeteogram();
        for (int i = series.GetSize() - 1; i >= 0; --i)
            meteogram.AddObservation(series[i]);
        QPainter painter(&window);
        platform::QtDrawingSurface surface(painter, {0, 0, 650, 670});
        meteogram.Draw(surface);
        station = (station + 7) % kStations;
    }
}
BENCHMARK(BM_StoreOpenWindowToFirstPaint96Hours)->Unit(benchmark::kMillisecond);

// Floor: SQLite stepping the same rows and reading each column, without making records.
static void BM_StoreRead96HoursFloor(benchmark::State& state) {
    BenchStore& b = Shared();
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(b.raw,
                       "SELECT * FROM observation WHERE station = ?1 AND observed_utc BETWEEN ?2 "
                       "AND ?3 ORDER BY observed_utc DESC",
                       -1, &select, nullptr);
    int station = 0;
    for (auto _ : state) {
        const std::string icao = Icao(station);
        sqlite3_bind_text(select, 1, icao.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int64(select, 2, b.newest - 95 * kHour);
        sqlite3_bind_int64(select, 3, b.newest);
        std::size_t bytes = 0;
        while (sqlite3_step(select) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(select); ++c)
                bytes += sqlite3_column_bytes(select, c);
        sqlite3_reset(select);
        benchmark::DoNotOptimize(bytes);
        station = (station + 7) % kStations;
    }
    sqlite3_finalize(select);
}
BENCHMARK(BM_StoreRead96HoursFloor)->Unit(benchmark::kMicrosecond);

// A 96-row page of the last 96 hours saved in one transaction. Argument 0: a refresh, one
// row new and the others as stored (merged first with what the window shows); 1: every row
// changed, the most a page can write.
static void BM_StoreMergeAndSave96RowPage(benchmark::State& state) {
    BenchStore& b = Shared();
    ObservationSeries page = Rows(b.newest + kHour, 0, 96);
    const ObservationSeries shown = Rows(b.newest, 0, 96);
    int station = 0;
    double change = 0;
    for (auto _ : state) {
        if (state.range(0) == 1)
            for (ObservationRecord& r : page)
                r.dTemperature = ++change;
        benchmark::DoNotOptimize(MergeObservations(shown, page).GetSize());
        if (!b.store->SaveSeries(Icao(station), page))
            state.SkipWithError("save failed");
        station = (station + 7) % kStations;
    }
}
BENCHMARK(BM_StoreMergeAndSave96RowPage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Floor: the same rows through SQLite's own insert-or-update in one transaction, without the
// store's conversions.
static void BM_StoreSave96RowPageFloor(benchmark::State& state) {
    BenchStore& b = Shared();
    ObservationSeries page = Rows(b.newest + kHour, 0, 96);
    const char* values = "temperature_c, pressure_hpa_less_1000, pressure_inhg, wind_speed_ms, "
                         "wind_direction_deg, conditions_at, temperature_text, dewpoint_text, "
                         "pressure_text, winds_text, visibility_text, ceiling_text, clouds_text, "
                         "present_weather_text, report";
    std::string fresh = values;
    for (std::size_t at = 0; (at = fresh.find_first_not_of(", ", at)) != std::string::npos;
         at = fresh.find(',', at)) {
        fresh.insert(at, "excluded.");
        at += 9;
    }
    const std::string sql = std::string("INSERT INTO observation VALUES (?1, ?2, ?3, ?4, ?5, ?6, "
                                        "?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17) ON "
                                        "CONFLICT (station, observed_utc) DO UPDATE SET (") +
                            values + ") = (" + fresh + ") WHERE (" + values + ") IS NOT (" + fresh +
                            ")";
    sqlite3_stmt* upsert = nullptr;
    if (sqlite3_prepare_v2(b.raw, sql.c_str(), -1, &upsert, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(b.raw));
        return;
    }
    int station = 0;
    double change = 0.5;
    for (auto _ : state) {
        const std::string icao = Icao(station);
        sqlite3_exec(b.raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (ObservationRecord& r : page) {
            if (state.range(0) == 1)
                r.dTemperature = ++change;
            sqlite3_bind_text(upsert, 1, icao.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int64(upsert, 2, r.tObservedUtc);
            int i = 3;
            for (const double v :
                 {r.dTemperature, r.dPressure, r.dPressureInHg, r.dWindSpeed, r.dWindDirection})
                sqlite3_bind_double(upsert, i++, v);
            for (const std::string* t :
                 {&r.strConditionsAt, &r.strTemperature, &r.strDewpoint, &r.strPressure,
                  &r.strWinds, &r.strVisibility, &r.strCeiling, &r.strClouds, &r.strPresentWeather,
                  &r.strReport})
                sqlite3_bind_text(upsert, i++, t->c_str(), -1, SQLITE_STATIC);
            sqlite3_step(upsert);
            sqlite3_reset(upsert);
        }
        sqlite3_exec(b.raw, "COMMIT", nullptr, nullptr, nullptr);
        station = (station + 7) % kStations;
    }
    sqlite3_finalize(upsert);
}
BENCHMARK(BM_StoreSave96RowPageFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Retention removing the oldest 100 hours of every station: 100,000 rows.
static void BM_StorePrune100kRows(benchmark::State& state) {
    BenchStore& b = Shared();
    constexpr int kOld = 100;
    constexpr int kKeepDays = 30;
    // The moment from which 30 days back falls just after the oldest 100 hours.
    const std::int64_t now = b.newest - (kRowsPerStation - kOld) * kHour + 1 + kKeepDays * 86400;
    b.store->SetKeepDays(kKeepDays);
    int removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int s = 0; s < kStations; ++s)
            b.store->SaveSeries(Icao(s), Rows(b.newest, kRowsPerStation - kOld, kOld));
        state.ResumeTiming();
        removed = b.store->Prune(now);
    }
    b.store->SetKeepDays(ObservationStore::kDefaultKeepDays);
    state.counters["rows_removed"] = removed;
}
BENCHMARK(BM_StorePrune100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
