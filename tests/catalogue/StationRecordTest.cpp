#include "catalogue/StationRecord.h"

#include <gtest/gtest.h>

namespace {

StationRecord Settings() {
    StationRecord s;
    s.bShowTemperature = s.bShowPressure = s.bShowWindSpeed = s.bShowWindDirection = 1;
    s.bMetricStyle = 1;
    s.bShowTimeUTC = 0;
    s.bWriteFile = 1;
    s.iShowPastHours = 36;
    s.iUtcDeltaHours = 2;
    s.dNearestMinutes = 45.5;
    return s;
}

StationRecord Station() {
    StationRecord s;
    s.strStation = "FRANKFURT MAIN A";
    s.strICAO = "EDDF";
    s.strCY = "DE";
    s.strLat = "50 03N";
    s.strLon = "008 36E";
    s.strCol79 = "6";
    s.dLongitude = 188.6;
    s.dColatitude = 39.95;
    s.dElevation = 113;
    s.iPeriodMinutes = 30;
    s.bShowTemperature = 0; // catalogue records carry no parameters; these must not travel
    s.iShowPastHours = 3;
    return s;
}

} // namespace

TEST(StationRecord, TakeStationKeepsTheTargetsParameters) {
    StationRecord current = Settings();
    TakeStation(current, Station());
    EXPECT_EQ(current.strStation, "FRANKFURT MAIN A");
    EXPECT_EQ(current.strICAO, "EDDF");
    EXPECT_EQ(current.strCol79, "6");
    EXPECT_EQ(current.dLongitude, 188.6);
    EXPECT_EQ(current.dElevation, 113);
    EXPECT_EQ(current.iPeriodMinutes, 30);
    EXPECT_EQ(current.bShowTemperature, 1);
    EXPECT_EQ(current.bWriteFile, 1);
    EXPECT_EQ(current.iShowPastHours, 36);
    EXPECT_EQ(current.iUtcDeltaHours, 2);
    EXPECT_EQ(current.dNearestMinutes, 45.5);
}

TEST(StationRecord, ClearStationEmptiesOnlyTheStation) {
    StationRecord r = Settings();
    TakeStation(r, Station());
    ClearStation(r);
    StationRecord expected = Settings();
    EXPECT_TRUE(r == expected);
}
