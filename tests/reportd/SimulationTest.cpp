#include "reportd/Simulation.h"
#include "observations/MetarDecoder.h"
#include "tests/reportd/UtcTime.h"

#include <gtest/gtest.h>

namespace {

StationRecord Station(const std::string& icao, double lat, double lon, double elevation = 0) {
    StationRecord s;
    s.strICAO = icao;
    s.dColatitude = 90 - lat;
    s.dLongitude = lon + 180;
    s.dElevation = elevation;
    return s;
}

const std::int64_t kDecember7 = UtcTime(2026, 12, 7, 4, 50);

} // namespace

TEST(Simulation, TheSameStationAndTimeGiveTheSameReport) {
    const StationRecord jfk = Station("KJFK", 40.6, -73.8);
    const std::string a = SimulatedReport(jfk, kDecember7);
    EXPECT_EQ(a, SimulatedReport(jfk, kDecember7));
    EXPECT_EQ(a, SimulatedReport(Station("KJFK", 40.6, -73.8), kDecember7));
    EXPECT_NE(a, SimulatedReport(jfk, kDecember7 + 3600));
    EXPECT_EQ(a.substr(0, 13), "KJFK 070450Z ");
    EXPECT_EQ(a.substr(a.size() - 14), " RMK SIMULATED");

    SimulatedSource source;
    const auto first = source.Reports(jfk, kDecember7 - 6 * 3600, kDecember7 + 600);
    const auto second = SimulatedSource().Reports(jfk, kDecember7 - 6 * 3600, kDecember7 + 600);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].raw, second[i].raw);
}

TEST(Simulation, ReportsAtTwentyAndFiftyPastOrHourlyAtFifty) {
    SimulatedSource source;
    int halfHourly = 0;
    int hourly = 0;
    for (const char* icao :
         {"KJFK", "EDDF", "YSSY", "RJTT", "SBGR", "FAOR", "CYYZ", "EGLL", "ZBAA"}) {
        const StationRecord s = Station(icao, 10, 10);
        const auto reports = source.Reports(s, kDecember7 - 96 * 3600, kDecember7 + 25 * 60);
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.front().time, kDecember7); // 05:20 lies after the end of the period
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const int minute = platform::UtcBreakdown(reports[i].time)->tm_min;
            EXPECT_TRUE(minute == 50 || (ReportsHalfHourly(s) && minute == 20)) << icao;
            if (i > 0) {
                EXPECT_GT(reports[i - 1].time, reports[i].time); // newest first
            }
            EXPECT_GE(reports[i].time, kDecember7 - 96 * 3600);
        }
        (ReportsHalfHourly(s) ? halfHourly : hourly) += 1;
        EXPECT_EQ(reports.size(), ReportsHalfHourly(s) ? 193u : 97u) << icao;
    }
    EXPECT_GT(halfHourly, 0);
    EXPECT_GT(hourly, 0);
}

TEST(Simulation, StaysInPhysicalRangesOverAYearAtEveryLatitude) {
    int samples = 0, precipitation = 0, snow = 0, mist = 0, gusts = 0, calm = 0;
    double warmest = -100, coldest = 100;
    for (int lat = -85; lat <= 85; lat += 17) {
        const StationRecord s =
            Station("X" + std::to_string(lat + 100), lat, lat * 2.0, lat > 60 ? 2500 : 50);
        for (std::int64_t t = UtcTime(2026, 1, 1, 0, 50); t < UtcTime(2027, 1, 1, 0, 0);
             t += 5 * 3600 + 1200) {
            const SimulatedWeather w = SimulateWeather(s, t);
            ++samples;
            ASSERT_GT(w.temperatureC, -80) << lat;
            ASSERT_LT(w.temperatureC, 55) << lat;
            ASSERT_LE(w.dewpointC, w.temperatureC);
            ASSERT_GT(w.pressureHpa, 950);
            ASSERT_LT(w.pressureHpa, 1060);
            ASSERT_GE(w.windDirection, 0);
            ASSERT_LE(w.windDirection, 360);
            ASSERT_LT(w.windKnots, 80);
            if (w.gustKnots) {
                ASSERT_GT(w.gustKnots, w.windKnots);
            }
            warmest = std::max(warmest, w.temperatureC);
            coldest = std::min(coldest, w.temperatureC);
            precipitation += w.weather.find("RA") != std::string::npos;
            snow += w.weather.find("SN") != std::string::npos;
            mist += w.weather == "BR" || w.weather == "FG";
            gusts += w.gustKnots > 0;
            calm += w.windKnots == 0;

            // The coded report decodes to what was simulated.
            const MetarReport r = DecodeMetar(SimulatedReport(s, t));
            ASSERT_TRUE(r.temperatureC && r.wind && r.pressureHpa);
            ASSERT_NEAR(*r.temperatureC, w.temperatureC, 0.5 + 1e-9);
            ASSERT_EQ(r.wind->speedKnots, w.windKnots);
        }
    }
    // Occasional, not constant: rain, snow, mist and gusts all happen, none all the time.
    for (int count : {precipitation, snow, mist, gusts, calm})
        EXPECT_GT(count, 0);
    EXPECT_LT(precipitation + snow, samples / 4);
    EXPECT_LT(calm, samples / 10);
    EXPECT_GT(warmest, 30);
    EXPECT_LT(coldest, -25);
}
