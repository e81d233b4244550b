// The latest-report table as the maps show it: rows by ICAO code, the pointer's tip, counts and
// times as the legend and the status line say them.

#include "catalogue/CurrentConditions.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t k1450 = 1796655000; // 7 December 2026, 14:50 UTC

StationRecord Station(const std::string& name, const std::string& icao) {
    StationRecord s;
    s.strStation = name;
    s.strICAO = icao;
    return s;
}

} // namespace

TEST(CurrentConditions, FindsRowsByCodeAndTellsTheTablesTime) {
    CurrentConditions c;
    EXPECT_FALSE(c.HasTable());
    EXPECT_EQ(c.RowOf("KJFK"), nullptr);
    EXPECT_EQ(c.AsOf(k1450), "");
    LatestTable table;
    table.rows = {MakeLatestRow("KJFK", k1450, "KJFK 071450Z 27009KT 10SM FEW250 13/M01 A3012"),
                  MakeLatestRow("KJFK", k1450 - 60, "KJFK 071449Z 00000KT 13/M01 A3012")};
    table.skippedRows = 1;
    c.Take(table, k1450 + 300);
    ASSERT_TRUE(c.RowOf("KJFK"));
    EXPECT_EQ(c.RowOf("KJFK")->observedUtc, k1450); // the first row of a code counts
    EXPECT_EQ(c.RowOf(""), nullptr);
    EXPECT_EQ(c.StatusText(), "Current conditions: 2 stations, as of 14:55 UTC; 1 bad row skipped");
    EXPECT_EQ(c.AsOf(k1450 + 3600), "as of 14:55 UTC");
    c.NoteFailure(k1450 + 900);
    EXPECT_EQ(c.FailingSince(), k1450 + 900);
    EXPECT_EQ(c.AsOf(k1450 + 300 + 32 * 60), "as of 14:55 UTC, 32 min ago");
    ASSERT_TRUE(c.RowOf("KJFK")) << "a failure keeps the rows";
    c.Take(table, k1450 + 1200);
    EXPECT_EQ(c.FailingSince(), 0);
}

TEST(CurrentConditions, CountsAndClockTexts) {
    const std::pair<long long, const char*> counts[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {5210, "5,210"}, {1234567, "1,234,567"}};
    for (const auto& [n, text] : counts)
        EXPECT_EQ(GroupedCount(n), text);
    const std::pair<std::int64_t, const char*> ages[] = {
        {0, "14:50 UTC, 0 min ago"},          {23 * 60 + 59, "14:50 UTC, 23 min ago"},
        {119 * 60, "14:50 UTC, 119 min ago"}, {2 * 3600, "14:50 UTC, 2 h ago"},
        {47 * 3600, "14:50 UTC, 47 h ago"},   {3 * 86400, "14:50 UTC, 3 days ago"},
        {-60, "14:50 UTC, 0 min ago"}};
    for (const auto& [age, text] : ages)
        EXPECT_EQ(UtcClockAndAge(k1450, k1450 + age), text) << age;
    for (int mode = 0; mode < kMapColoursCount; ++mode)
        EXPECT_EQ(ReadMapColours(MapColoursName(static_cast<MapColours>(mode))),
                  static_cast<MapColours>(mode));
    EXPECT_FALSE(ReadMapColours("Category"));
    EXPECT_FALSE(ReadMapColours(""));
}

TEST(CurrentConditions, TheTipTellsTheReportInTheChosenUnits) {
    const struct {
        const char* report;
        bool metric;
        const char* tip;
    } cases[] = {
        {"KJFK 071450Z 27009G18KT 10SM BKN025 13/M01 A3012", true,
         "NYC/JFK ARPT (KJFK)\n14:50 UTC, 23 min ago\nTemperature 13 \xB0"
         "C, dew point -1 \xB0"
         "C\nWind 270\xB0 at 9 kt (5 m/s), gusts 18 kt\nVisibility 16 km\nCeiling 2,500 ft\n"
         "Flight category MVFR\nKJFK 071450Z 27009G18KT 10SM BKN025 13/M01 A3012"},
        {"KJFK 071450Z 27009G18KT 10SM BKN025 13/M01 A3012", false,
         "NYC/JFK ARPT (KJFK)\n14:50 UTC, 23 min ago\nTemperature 55 \xB0"
         "F, dew point 30 \xB0"
         "F\nWind 270\xB0 at 9 kt (10 mph), gusts 18 kt\nVisibility 10.0 mi\nCeiling 2,500 ft\n"
         "Flight category MVFR\nKJFK 071450Z 27009G18KT 10SM BKN025 13/M01 A3012"},
        {"KJFK 071450Z 00000KT 0800 FG VV002 M02/ A3012", true,
         "NYC/JFK ARPT (KJFK)\n14:50 UTC, 23 min ago\nTemperature -2 \xB0"
         "C, dew point not "
         "reported\nWind calm\nVisibility 800 m\nCeiling 200 ft\nFlight category LIFR\n"
         "KJFK 071450Z 00000KT 0800 FG VV002 M02/ A3012"},
        {"KJFK 071450Z VRB03KT RMK AO1", true,
         "NYC/JFK ARPT (KJFK)\n14:50 UTC, 23 min ago\nTemperature not reported, dew point not "
         "reported\nWind variable at 3 kt (2 m/s)\nVisibility not reported\nCeiling none\n"
         "Flight category unknown\nKJFK 071450Z VRB03KT RMK AO1"},
    };
    const StationRecord jfk = Station("NYC/JFK ARPT     ", "KJFK");
    const LatestRow coded =
        MakeLatestRow("EDDF", k1450, "EDDF 071450Z 27010KT 9999 FEW030 11/03 Q1013");
    EXPECT_NE(StationTip(jfk, &coded, true, k1450).find("\nVisibility 10 km or more\n"),
              std::string::npos);
    for (const auto& c : cases) {
        const LatestRow row = MakeLatestRow("KJFK", k1450, c.report);
        EXPECT_EQ(StationTip(jfk, &row, c.metric, k1450 + 23 * 60), c.tip) << c.report;
    }
    EXPECT_EQ(StationTip(jfk, nullptr, true, k1450),
              "NYC/JFK ARPT (KJFK)\nno report in the table of current conditions");
}

TEST(CurrentConditions, TheLegendCountsClassesInTheChosenUnits) {
    CurrentConditions c;
    LatestTable table;
    table.rows = {MakeLatestRow("KJFK", k1450, "KJFK 071450Z 27009KT 10SM FEW250 31/M01 A3012"),
                  MakeLatestRow("KBOS", k1450, "KBOS 071450Z 27009KT 10SM FEW250 M25/M30 A3012")};
    c.Take(table, k1450);
    StationTable stations;
    for (const char* icao : {"KJFK", "KBOS", "KBOS", "CYUL"})
        stations.Add(Station(icao, icao));
    std::vector<std::string> metric, imperial;
    for (const LegendLine& line : c.Legend(MapColours::Temperature, stations, true))
        metric.push_back(line.text);
    for (const LegendLine& line : c.Legend(MapColours::Temperature, stations, false))
        imperial.push_back(line.text);
    EXPECT_EQ(metric, (std::vector<std::string>{"below -20 \xB0"
                                                "C 2",
                                                "-20 to 0 \xB0"
                                                "C 0",
                                                "0 to 15 \xB0"
                                                "C 0",
                                                "15 to 30 \xB0"
                                                "C 0",
                                                "30 \xB0"
                                                "C and above 1",
                                                "no report 1"}));
    EXPECT_EQ(imperial, (std::vector<std::string>{"below -4 \xB0"
                                                  "F 2",
                                                  "-4 to 32 \xB0"
                                                  "F 0",
                                                  "32 to 59 \xB0"
                                                  "F 0",
                                                  "59 to 86 \xB0"
                                                  "F 0",
                                                  "86 \xB0"
                                                  "F and above 1",
                                                  "no report 1"}));
    EXPECT_TRUE(c.Legend(MapColours::Stations, stations, true).empty());
}
