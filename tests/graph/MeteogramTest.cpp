#include "graph/Meteogram.h"
#include "tests/support/RecordingSurface.h"

#include "platform/CText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>

using platform::RGB;
using testing_support::DrawOp;

namespace {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

// The calendar value whose local breakdown shows these fields, as report times are held.
std::int64_t Observed(int y, int mo, int d, int h, int mi) {
    return *platform::MakeLocalTime({y, mo, d, h, mi, 0});
}

ObservationRecord Observation(std::int64_t t, double temp = 21.5, double dir = 270) {
    ObservationRecord r;
    r.tObserved = t;
    r.dTemperature = temp;
    r.dPressure = 13.2;
    r.dPressureInHg = 29.92;
    r.dWindSpeed = 5.1;
    r.dWindDirection = dir;
    r.strConditionsAt = "EDDF (FRANKFURT, DE) observed 12/6/2026  09:50 UTC";
    r.strTemperature = "21.5\xB0"
                       "C (71\xB0"
                       "F)";
    r.strPresentWeather = "light rain";
    return r;
}

StationRecord AllOn() {
    StationRecord s;
    s.bShowTemperature = s.bShowPressure = s.bShowWindSpeed = s.bShowWindDirection = 1;
    s.bMetricStyle = 1;
    s.bShowTimeUTC = 1;
    return s;
}

struct Window {
    std::unique_ptr<CGraph> graph;
    StationRecord station;
    ObservationSeries series;
    StationRecord settings = AllOn();
    testing_support::RecordingSurface surface;
    int drawings = 0;
    // The window repaints when told, drawing through the meteogram as its paint does.
    Meteogram meteogram{graph, station, series, settings, [this] {
                            ++drawings;
                            surface.Clear();
                            meteogram.Draw(surface);
                        }};

    Window() {
        station.strStation = "FRANKFURT MAIN A";
        station.strLat = "50 03N";
        station.strLon = "008 36E";
        station.strElev = "113";
        station.strCY = "DE";
    }

    int Period(std::int64_t newest, std::int64_t second) {
        series.RemoveAll();
        series.Add(Observation(newest));
        series.Add(Observation(second));
        return meteogram.ComputeTimeAxis();
    }
};

} // namespace

TEST(Meteogram, PeriodIsTheMinutesBetweenTheTwoNewestModuloADay) {
    Window w;
    EXPECT_EQ(w.Period(Observed(2026, 12, 6, 12, 50), Observed(2026, 12, 6, 11, 50)), 60);
    EXPECT_EQ(w.station.iPeriodMinutes, 60);
    EXPECT_EQ(w.Period(Observed(2026, 12, 6, 12, 0), Observed(2026, 12, 6, 11, 50)), 10);
    EXPECT_EQ(w.Period(Observed(2026, 12, 7, 12, 50), Observed(2026, 12, 6, 11, 50)), 60);
    EXPECT_EQ(w.Period(Observed(2026, 12, 6, 12, 50), Observed(2026, 12, 6, 12, 50)), 0);
    w.series.RemoveAll();
    w.series.Add(Observation(0));
    EXPECT_THROW(w.meteogram.ComputeTimeAxis(), platform::InvalidArgument);
}

// The instant of UTC clock fields.
std::int64_t Utc(int y, int mo, int d, int h, int mi) {
    return *platform::MakeUtcTime({y, mo, d, h, mi, 0});
}

TEST(Meteogram, TheUtcOffsetIsTheZonesOffsetWhenTheNewestReportWasObserved) {
    const struct {
        const char* zone;
        std::int64_t newest;
        int hours;
    } cases[] = {
        {"Europe/Athens", Utc(2026, 12, 6, 11, 50), 2},
        {"Asia/Tokyo", Utc(2026, 12, 6, 14, 50), 9}, // local midnight lies between
        {"America/New_York", Utc(2026, 12, 7, 3, 50), -5},
        {"America/New_York", Utc(2026, 7, 7, 3, 50), -4},  // summer time, months ago
        {"Asia/Kolkata", Utc(2026, 12, 6, 20, 50), 5},     // +5:30
        {"America/St_Johns", Utc(2026, 12, 6, 1, 50), -3}, // -3:30
        {"Pacific/Kiritimati", Utc(2026, 12, 6, 10, 50), 14},
        {"Pacific/Auckland", Utc(2026, 12, 6, 11, 50), 13},
    };
    for (const auto& c : cases) {
        ScopedTimeZone zone(c.zone);
        Window w;
        ObservationRecord newest = Observation(0);
        newest.tObservedUtc = c.newest;
        ObservationRecord second = newest;
        second.tObservedUtc = c.newest - 3600;
        w.series.Add(newest);
        w.series.Add(second);
        EXPECT_EQ(w.meteogram.ComputeTimeAxis(), 60) << c.zone;
        EXPECT_EQ(w.station.iUtcDeltaHours, c.hours) << c.zone;
    }
}

TEST(Meteogram, LocalTimeLabelsShowEachReportsTrueLocalTime) {
    // The zone's rules at the moment of each report decide, whatever the report's age and
    // whatever the offset of the newest report was.
    const struct {
        const char* zone;
        std::int64_t observed;
        const char* label;
    } cases[] = {
        {"Asia/Kolkata", Utc(2026, 12, 6, 9, 50), "15:20"},
        {"Asia/Kathmandu", Utc(2026, 12, 6, 9, 50), "15:35"},
        {"America/St_Johns", Utc(2026, 12, 6, 9, 50), "06:20"},
        {"America/St_Johns", Utc(2026, 6, 15, 9, 50), "07:20"},    // summer, months ago
        {"Australia/Adelaide", Utc(2026, 12, 6, 9, 50), "20:20"},  // +10:30 in summer
        {"Australia/Adelaide", Utc(2026, 6, 15, 9, 50), "19:20"},  // +9:30 in winter
        {"Australia/Sydney", Utc(2026, 12, 6, 13, 20), "00:20"},   // +11
        {"Pacific/Auckland", Utc(2026, 12, 6, 13, 20), "02:20"},   // +13
        {"Pacific/Auckland", Utc(2026, 6, 15, 13, 20), "01:20"},   // +12
        {"Pacific/Fiji", Utc(2026, 12, 6, 13, 20), "01:20"},       // +12
        {"Pacific/Kiritimati", Utc(2026, 12, 6, 10, 50), "00:50"}, // +14
        {"Pacific/Honolulu", Utc(2026, 12, 6, 9, 50), "23:50"},    // -10
        {"Etc/GMT+12", Utc(2026, 12, 6, 9, 50), "21:50"},          // -12
        {"Europe/Berlin", Utc(2026, 3, 29, 1, 20), "03:20"},       // just after the change
        {"Europe/Berlin", Utc(2026, 3, 29, 0, 50), "01:50"},       // just before it
        {"UTC", Utc(2026, 12, 6, 9, 50), "09:50"},
    };
    for (const auto& c : cases) {
        ScopedTimeZone zone(c.zone);
        Window w;
        w.settings.bShowTimeUTC = 0;
        w.station.iUtcDeltaHours = 7; // an offset taken at another moment changes nothing
        ObservationRecord r = Observation(0);
        r.tObservedUtc = c.observed;
        EXPECT_EQ(w.meteogram.TimeLabel(r), c.label) << c.zone;
        w.settings.bShowTimeUTC = 1;
        const auto utc = platform::UtcBreakdown(c.observed);
        EXPECT_EQ(w.meteogram.TimeLabel(r),
                  platform::Format("%02d:%02d", utc->tm_hour, utc->tm_min))
            << c.zone;
    }
}

TEST(Meteogram, SeriesTableAndTitlesByTheSettings) {
    Window w;
    w.station.iPeriodMinutes = 30;
    w.meteogram.SetUpMeteogram();
    CGraph& g = *w.graph;
    EXPECT_EQ(g.m_strTitle, "FRANKFURT MAIN A      (50 03N, 008 36E),  elevation 113 m,  DE");
    // A station without an elevation in its list line shows none.
    w.station.strElev.clear();
    w.meteogram.SetUpMeteogram();
    EXPECT_EQ(g.m_strTitle, "FRANKFURT MAIN A      (50 03N, 008 36E),  DE");
    ASSERT_EQ(g.SeriesCount(), 5);
    EXPECT_EQ(g.m_nColumns, 5);
    EXPECT_EQ(g.Series(0).strTitle, "Time UTC (every 30 min)");
    EXPECT_FALSE(g.Series(0).pen);
    EXPECT_EQ(g.Series(0).nMarkSize, 0);
    EXPECT_EQ(g.Series(1).strTitle, "Temperature     \xB0"
                                    "C");
    EXPECT_EQ(g.Series(1).pen->color, RGB(250, 0, 0));
    EXPECT_EQ(g.Series(2).strTitle, "Pressure           hps-1000");
    EXPECT_EQ(g.Series(2).pen->color, RGB(0, 200, 0));
    EXPECT_EQ(g.Series(3).strTitle, "Wind speed       m/s");
    EXPECT_EQ(g.Series(3).pen->color, RGB(0, 0, 250));
    EXPECT_EQ(g.Series(4).strTitle, "Wind direction    -18...+18");
    EXPECT_EQ(g.Series(4).pen->color, RGB(0, 200, 250));
    EXPECT_EQ(g.Series(4).nMarkSize, 4);

    // Imperial units: other unit titles and a Y delta of 10.
    w.settings.bMetricStyle = 0;
    g.m_dYDelta = 2;
    w.meteogram.SetUpMeteogram();
    EXPECT_EQ(g.Series(2).strTitle, "Pressure           inches Hg");
    EXPECT_EQ(g.Series(3).strTitle, "Wind speed        MpH");
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 10.0);

    // Local time, only temperature and wind direction.
    w.settings.bShowTimeUTC = 0;
    w.settings.bShowPressure = 0;
    w.settings.bShowWindSpeed = 0;
    g.m_dYDelta = 2;
    g.m_bShowMarks = 1;
    w.meteogram.SetUpMeteogram();
    ASSERT_EQ(g.SeriesCount(), 3);
    EXPECT_EQ(g.Series(0).strTitle, "Time local (every 30 min)");
    EXPECT_EQ(g.Series(1).strTitle, "Temperature     \xB0"
                                    "F");
    EXPECT_EQ(g.Series(2).strTitle, "Wind direction    -18...+18");
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 10.0);
    EXPECT_EQ(g.m_bShowMarks, 1); // the user's parameters survive a set-up
    w.settings.bMetricStyle = 1;
    g.m_dYDelta = 2;
    w.meteogram.SetUpMeteogram();
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 2.0); // kept in the metric style
}

TEST(Meteogram, RowsHoldTheTimeAndTheValuesOfTheEnabledQuantities) {
    Window w;
    w.station.iPeriodMinutes = 30;
    w.meteogram.SetUpMeteogram();
    for (double dir : {180.0, 359.0, 0.0, 270.0, 90.0})
        w.meteogram.AddObservation(Observation(Observed(2026, 12, 6, 9, 50), 21.5, dir));
    const CGraph& g = *w.graph;
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Row(0).At(0), "09:50");
    EXPECT_EQ(g.Row(0).At(1), "21.50");
    EXPECT_EQ(g.Row(0).At(2), "13.20");
    EXPECT_EQ(g.Row(0).At(3), "5.10");
    std::vector<std::string> directions;
    for (int i = 0; i < 5; ++i)
        directions.push_back(g.Row(i).At(4));
    EXPECT_EQ(directions, (std::vector<std::string>{"-18.00", "-0.10", "0.00", "-9.00", "9.00"}));

    // The panel becomes the notes of the last series.
    ASSERT_TRUE(g.Series(4).notes);
    const auto& notes = *g.Series(4).notes;
    ASSERT_EQ(notes.size(), 9u);
    EXPECT_EQ(notes[0], "DATE: EDDF (FRANKFURT, DE) observed 12/6/2026  09:50 UTC");
    EXPECT_EQ(notes[1], "TEMP: 21.5\xB0"
                        "C (71\xB0"
                        "F)");
    EXPECT_EQ(notes[2], "DEWPOINT: ");
    EXPECT_EQ(notes[8], "PRESENT: light rain");
    EXPECT_FALSE(g.Series(3).notes);
    EXPECT_EQ(w.drawings, 5);
}

TEST(Meteogram, OnlySomeQuantitiesOrNone) {
    Window w;
    w.settings.bShowPressure = 0;
    w.settings.bShowWindSpeed = 0;
    w.meteogram.SetUpMeteogram();
    w.meteogram.AddObservation(Observation(Observed(2026, 12, 6, 9, 50), 21.5, 350));
    ASSERT_EQ(w.graph->Row(0).GetSize(), 3);
    EXPECT_EQ(w.graph->Row(0).At(2), "-1.00");

    w.settings.bShowTemperature = 0;
    w.settings.bShowWindDirection = 0;
    w.meteogram.SetUpMeteogram();
    w.meteogram.AddObservation(Observation(Observed(2026, 12, 6, 9, 50)));
    ASSERT_EQ(w.graph->SeriesCount(), 1);
    ASSERT_EQ(w.graph->Row(0).GetSize(), 1);
    ASSERT_TRUE(w.graph->Series(0).notes); // the panel sits on the X entry and is not drawn
    // Axes, title and the wind dial are drawn, no curve and no panel.
    EXPECT_TRUE(w.surface.FindText("270\xB0"));
    EXPECT_FALSE(w.surface.FindText("PRESENT: light rain"));
    EXPECT_EQ(w.surface.OfKind(testing_support::DrawOp::Ellipse).size(), 2u);
    EXPECT_TRUE(w.surface.FindText("Time UTC (every 0 min)"));
}

TEST(Meteogram, RowsKeepTheQuantitiesOfTheSetUpUntilTheNext) {
    Window w;
    w.meteogram.SetUpMeteogram();
    // The user switches temperature off while the window is open: its rows keep their columns.
    w.settings.bShowTemperature = 0;
    w.meteogram.AddObservation(Observation(Observed(2026, 12, 6, 9, 50), 21.5, 90));
    ASSERT_EQ(w.graph->Row(0).GetSize(), 5);
    EXPECT_EQ(w.graph->Row(0).At(1), "21.50");
    EXPECT_EQ(w.graph->Row(0).At(2), "13.20");
    EXPECT_EQ(w.graph->Row(0).At(4), "9.00");
    EXPECT_TRUE(w.surface.FindText("Temperature     \xB0"
                                   "C"));
    // The next set-up takes the new choice.
    w.meteogram.SetUpMeteogram();
    w.meteogram.AddObservation(Observation(Observed(2026, 12, 6, 10, 50), 21.5, 90));
    ASSERT_EQ(w.graph->SeriesCount(), 4);
    ASSERT_EQ(w.graph->Row(0).GetSize(), 4);
    EXPECT_EQ(w.graph->Row(0).At(1), "13.20");
}

TEST(Meteogram, TimeLabelsOfRecordsKnownByTheirLocalCalendarValueOnly) {
    // A record that carries only tObserved: its local breakdown is the report's UTC clock.
    ScopedTimeZone zone("America/New_York");
    Window w;
    const ObservationRecord r = Observation(Observed(2026, 12, 6, 3, 50));
    EXPECT_EQ(w.meteogram.TimeLabel(r), "03:50");
    w.settings.bShowTimeUTC = 0;
    EXPECT_EQ(w.meteogram.TimeLabel(r), "22:50");
    ObservationRecord broken = r;
    broken.tObserved = -100000;
    EXPECT_EQ(w.meteogram.TimeLabel(broken), "-1:-1");
}

namespace {

// A window of rows 30 minutes apart, the newest at 09:50 UTC on 6 December 2026, drawn once.
struct ReadoutWindow : Window {
    explicit ReadoutWindow(int rows) {
        station.iPeriodMinutes = 30;
        meteogram.SetUpMeteogram();
        for (int i = rows - 1; i >= 0; --i) {
            ObservationRecord r = Observation(0, 10.0 + i);
            r.tObservedUtc = Utc(2026, 12, 6, 9, 50) - i * 1800;
            meteogram.AddObservation(r);
        }
        surface.Clear();
        meteogram.Draw(surface);
    }
};

} // namespace

TEST(MeteogramReadout, ThePointerChoosesTheNearestObservationInsideThePlot) {
    ReadoutWindow w(5);
    const platform::Rect plot = w.graph->m_rcPlot;
    const double step = w.graph->m_dXStepPixels;
    ASSERT_GT(step, 1.0);
    const int middle = (plot.top + plot.bottom) / 2;
    const auto at = [&](double rows) { return plot.left + static_cast<int>(rows * step); };
    const struct {
        int x, y;
        std::optional<int> row;
    } cases[] = {
        {plot.left, middle, 0},
        {at(0.4), middle, 0},
        {at(0.6), middle, 1},
        {at(2.0), plot.top, 2},
        {at(3.49), plot.bottom, 3},
        {plot.right, middle, 4},
        {plot.left - 1, middle, std::nullopt},
        {plot.right + 1, middle, std::nullopt},
        {at(2.0), plot.top - 1, std::nullopt},
        {at(2.0), plot.bottom + 1, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(w.meteogram.RowAt(c.x, c.y), c.row) << c.x << "," << c.y;

    ReadoutWindow empty(0);
    EXPECT_EQ(empty.meteogram.RowAt(plot.left, middle), std::nullopt);
}

TEST(MeteogramReadout, TextsInBothTimeSettingsAndBothUnitSystems) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* zone;
        bool utc;
        bool metric;
        double temperature;
        double speed;
        const char* text;
    } cases[] = {
        {"Asia/Kolkata", true, true, 21.5, 5.1,
         "09:50  21.5 \xB0"
         "C  1013.2 hPa  5.1 m/s  270\xB0"},
        {"Asia/Kolkata", false, true, 21.5, 5.1,
         "15:20  21.5 \xB0"
         "C  1013.2 hPa  5.1 m/s  270\xB0"},
        {"America/New_York", false, false, 21.5, 5.1,
         "04:50  70.7 \xB0"
         "F  29.92 inHg  11.4 mph  270\xB0"},
        {"UTC", true, true, kNaN, kNaN, "09:50  -  1013.2 hPa  -  270\xB0"},
        {"UTC", true, false, kNaN, 5.1, "09:50  -  29.92 inHg  11.4 mph  270\xB0"},
    };
    for (const auto& c : cases) {
        ScopedTimeZone zone(c.zone);
        Window w;
        w.settings.bShowTimeUTC = c.utc;
        w.settings.bMetricStyle = c.metric;
        w.station.iPeriodMinutes = 30;
        w.meteogram.SetUpMeteogram();
        ObservationRecord r = Observation(0, c.temperature);
        r.dWindSpeed = c.speed;
        r.tObservedUtc = Utc(2026, 12, 6, 9, 50);
        if (!c.metric)
            ToImperial(r); // the window adds its rows in the units it shows
        w.meteogram.AddObservation(r);
        EXPECT_EQ(w.meteogram.ReadoutText(0), c.text) << c.zone;
    }

    // Only the quantities shown, in their order.
    Window w;
    w.settings.bShowPressure = 0;
    w.settings.bShowWindDirection = 0;
    w.meteogram.SetUpMeteogram();
    ObservationRecord r = Observation(0);
    r.tObservedUtc = Utc(2026, 12, 6, 9, 50);
    w.meteogram.AddObservation(r);
    EXPECT_EQ(w.meteogram.ReadoutText(0), "09:50  21.5 \xB0"
                                          "C  5.1 m/s");
    EXPECT_EQ(w.meteogram.ReadoutText(1), "");
}

TEST(MeteogramReadout, KeysMoveItWithinTheRowsAndTheDrawingShowsItOnlyWhenSet) {
    ReadoutWindow w(3);
    const std::vector<DrawOp> plain = w.surface.ops;

    w.meteogram.MoveReadout(-1); // from none: the newest
    EXPECT_EQ(w.meteogram.Readout(), 2);
    w.meteogram.MoveReadout(-1);
    w.meteogram.MoveReadout(-1);
    w.meteogram.MoveReadout(-1);
    EXPECT_EQ(w.meteogram.Readout(), 0);
    w.meteogram.MoveReadout(1);
    EXPECT_EQ(w.meteogram.Readout(), 1);

    // The cursor runs down the plot at the row, beside it the row's text.
    w.surface.Clear();
    w.meteogram.Draw(w.surface);
    const DrawOp* text = w.surface.FindText(w.meteogram.ReadoutText(1));
    ASSERT_TRUE(text);
    EXPECT_EQ(w.meteogram.ReadoutText(1).substr(0, 14), "09:20  11.0 \xB0"
                                                        "C");
    const int x = w.graph->RowToX(1);
    bool cursor = false;
    for (const DrawOp& op : w.surface.OfKind(DrawOp::Line))
        cursor |= op.x1 == x && op.x2 == x && op.y1 == w.graph->m_rcPlot.top &&
                  op.y2 == w.graph->m_rcPlot.bottom;
    EXPECT_TRUE(cursor);

    // Hidden, or a row that does not exist: the picture is the meteogram alone.
    w.meteogram.SetReadout(7);
    EXPECT_EQ(w.meteogram.Readout(), std::nullopt);
    w.meteogram.SetReadout(1);
    w.meteogram.SetReadout(std::nullopt);
    w.surface.Clear();
    w.meteogram.Draw(w.surface);
    ASSERT_EQ(w.surface.ops.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_TRUE(w.surface.ops[i].kind == plain[i].kind &&
                    w.surface.ops[i].text == plain[i].text && w.surface.ops[i].x1 == plain[i].x1 &&
                    w.surface.ops[i].y1 == plain[i].y1)
            << i;

    // A new set-up starts without one.
    w.meteogram.SetReadout(0);
    w.meteogram.SetUpMeteogram();
    EXPECT_EQ(w.meteogram.Readout(), std::nullopt);
    EXPECT_TRUE(w.meteogram.Rows().empty());
}
