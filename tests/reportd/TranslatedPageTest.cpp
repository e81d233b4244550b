#include "reportd/TranslatedPage.h"
#include "observations/LatestTable.h"
#include "observations/PageFetcher.h"
#include "platform/CText.h"
#include "tests/reportd/UtcTime.h"

#include <gtest/gtest.h>

namespace {

StationInfo Jfk() {
    StationInfo s;
    s.record.strICAO = "KJFK";
    s.record.strCD = "NY";
    s.record.strCY = "US";
    s.displayName = "NYC/JFK ARPT";
    return s;
}

// The decoded text of a cell of a one-row page, as the viewer reads it.
std::string CellOf(const std::string& raw, const char* label) {
    const std::string html = TranslatedRow(Jfk(), {UtcTime(2026, 12, 7, 4, 51), raw});
    return PageFetcher::Extract(html, label, "<TD ALIGN=\"left\">", "</TD>", 1);
}

} // namespace

TEST(TranslatedRow, ConditionsAndTemperatures) {
    const std::string raw = "KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012 RMK AO2";
    EXPECT_EQ(CellOf(raw, "Conditions at"),
              "KJFK (NYC/JFK ARPT, NY, US) observed 12/7/2026  04:51 UTC");
    EXPECT_EQ(CellOf(raw, "Temperature"), "13.0\xB0"
                                          "C (55\xB0"
                                          "F)");
    EXPECT_EQ(CellOf(raw, "Dewpoint"), "-1.0\xB0"
                                       "C (30\xB0"
                                       "F) [RH = 38%]");
    EXPECT_EQ(CellOf(raw, "Pressure"), "30.12 inches Hg (1020.0 mb)");
    EXPECT_EQ(CellOf(raw, "Visibility"), "10 or more miles (16+ km)");
    EXPECT_EQ(CellOf(raw, "Ceiling"), "at least 12,000 feet AGL");
    EXPECT_EQ(CellOf(raw, "Clouds"), "few clouds at 25000 feet AGL");
    EXPECT_EQ(CellOf(raw, "Present Weather"), "no significant weather observed at this time");
    EXPECT_EQ(CellOf("KJFK 070451Z 00000KT 10SM M00/M05 A3012", "Temperature"), "0.0\xB0"
                                                                                "C (32\xB0"
                                                                                "F)");
    // Without a temperature the cell still holds the point the viewer reads up to.
    EXPECT_EQ(CellOf("KJFK 070451Z 00000KT 10SM A3012", "Temperature"), "not reported.");
}

TEST(TranslatedRow, Winds) {
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT A3012", "Winds"),
              "from the W (270 degrees) at 10 MPH (9 knots; 4.6 m/s)");
    EXPECT_EQ(CellOf("KJFK 070451Z 00000KT A3012", "Winds"), "calm");
    EXPECT_EQ(CellOf("KJFK 070451Z VRB04KT A3012", "Winds"),
              "variable direction winds at 5 MPH (4 knots; 2.1 m/s)");
    EXPECT_EQ(CellOf("KJFK 070451Z 13518G30KT A3012", "Winds"),
              "from the SE (135 degrees) at 21 MPH (18 knots; 9.3 m/s) gusting to 35 MPH (30 "
              "knots; 15.4 m/s)");
    EXPECT_EQ(CellOf("UUWW 070451Z 36005MPS 9999 Q1016", "Winds"),
              "from the N (360 degrees) at 11 MPH (10 knots; 5.0 m/s)");
}

TEST(TranslatedRow, SkyAndWeather) {
    EXPECT_EQ(
        CellOf("EDDF 070450Z 27010KT 2500 -SN BR BKN008 OVC015CB M01/M02 Q1002", "Present Weather"),
        "light snow; mist");
    EXPECT_EQ(CellOf("EDDF 070450Z 27010KT 2500 -SN BR BKN008 OVC015CB M01/M02 Q1002", "Clouds"),
              "broken clouds at 800 feet AGL; overcast cumulonimbus clouds at 1500 feet AGL");
    EXPECT_EQ(CellOf("EDDF 070450Z 27010KT 2500 -SN BR BKN008 OVC015CB M01/M02 Q1002", "Ceiling"),
              "800 feet AGL");
    EXPECT_EQ(CellOf("EDDF 070450Z 27010KT 2500 -SN BR BKN008 M01/M02 Q1002", "Visibility"),
              "1.60 miles (2.5 km)");
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT 1 1/2SM +TSRA VV003 13/12 A2990", "Present Weather"),
              "heavy thunderstorm with rain");
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT 1 1/2SM +TSRA VV003 13/12 A2990", "Visibility"),
              "1.50 miles (2.4 km)");
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT 1 1/2SM +TSRA VV003 13/12 A2990", "Ceiling"),
              "300 feet AGL");
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT 3SM -SHRA VCFG CLR 13/12 A2990", "Present Weather"),
              "light rain showers; fog in the vicinity");
    EXPECT_EQ(CellOf("KJFK 070451Z 27009KT 3SM -SHRA VCFG CLR 13/12 A2990", "Clouds"), "sky clear");
    EXPECT_EQ(CellOf("EDDF 070450Z 27010KT CAVOK 10/02 Q1020", "Visibility"),
              "6 or more miles (10+ km)");
}

// The latest-report table lists what the page shows.
TEST(TranslatedRow, ShowsTheNumbersOfTheLatestTableRow) {
    for (const char* raw : {"KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012",
                            "UUWW 070451Z 11002MPS CAVOK M00/M03 Q1016",
                            "KBOS 070451Z 13518G30KT 1/2SM FG VV002 05/05 A2990",
                            "EDDF 070450Z VRB03KT 2500 -SN BKN008 OVC015CB M01/M02 Q1002",
                            "EDDF 070450Z 24012MPS 9999 OVC009 M12/ Q0998",
                            "CERM 070451Z AUTO 00000KT 10/ RMK AO1"}) {
        SCOPED_TRACE(raw);
        const ReportValues v = MakeLatestRow("KJFK", UtcTime(2026, 12, 7, 4, 51), raw).values;
        auto shows = [&](const char* label, const std::string& text) {
            EXPECT_NE(CellOf(raw, label).find(text), std::string::npos) << label << ": " << text;
        };
        if (v.temperatureC)
            shows("Temperature", platform::Format("%.1f\xB0", *v.temperatureC));
        if (v.dewpointC)
            shows("Dewpoint", platform::Format("%.1f\xB0", *v.dewpointC));
        else
            shows("Dewpoint", "not reported");
        if (v.altimeterHpa)
            shows("Pressure", platform::Format("(%.1f mb)", *v.altimeterHpa));
        if (v.windDirectionDeg && *v.windSpeedKt > 0)
            shows("Winds", platform::Format("(%d degrees) at", *v.windDirectionDeg));
        if (v.windSpeedKt && *v.windSpeedKt > 0)
            shows("Winds", platform::Format("(%d knots;", *v.windSpeedKt));
        if (v.windGustKt)
            shows("Winds", platform::Format("(%d knots;", *v.windGustKt));
        // Ceilings below 1,000 ft, written without a thousands separator.
        shows("Ceiling", v.ceilingFt ? platform::Format("%d feet AGL", *v.ceilingFt)
                                     : std::string("at least"));
    }
}

TEST(TranslatedPage, HeadingTellsSimulatedPagesApartAndHoldsNoMarkerText) {
    const std::vector<TimedReport> one = {
        {UtcTime(2026, 12, 7, 4, 50), "KJFK 070450Z 27009KT 10SM 13/M01 A3012 RMK SIMULATED"}};
    const std::string simulated = TranslatedPage(Jfk(), one, true);
    const std::string real = TranslatedPage(Jfk(), one, false);
    EXPECT_NE(simulated.find("SIMULATED REPORTS - NOT REAL WEATHER"), std::string::npos);
    EXPECT_EQ(real.find("SIMULATED REPORTS"), std::string::npos);
    const std::size_t firstRow = simulated.find("<TR>");
    for (const char* marker : {"Conditions", "Temperature", "Dewpoint", "Pressure", "Winds",
                               "Visibility", "Ceiling", "Clouds", "Present Weather", "observed",
                               "&#160;", "&#46;", "Sorry", "<SPAN CLASS=\"monospace\">"})
        EXPECT_GT(simulated.find(marker), firstRow) << marker;
    EXPECT_NE(SorryPage("nothing").find("Sorry"), std::string::npos);
    EXPECT_EQ(SorryPage("<b>").find("<b>"), std::string::npos);
}
