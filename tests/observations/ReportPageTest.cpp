#include "observations/ReportPage.h"
#include "observations/PageFetcher.h"
#include "observations/ReportNumbers.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/DateParser.h"
#include "tests/support/ReportPageBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using testing_support::PageHtml;
using testing_support::PageRow;
using testing_support::SampleRows;

namespace {

ObservationSeries Read(const std::string& page, ReportOutcome expected) {
    ObservationSeries series;
    ObservationRecord working;
    EXPECT_EQ(ReadReportRows(page, &series, working).outcome, expected);
    return series;
}

} // namespace

TEST(ReportPage, ReadsRowsInPageOrderWithCellsAndNumbers) {
    std::vector<PageRow> rows(2);
    rows[1].hour = 3;
    rows[1].temperature = -3.4;
    rows[1].report = "KJFK 070351Z VRB03KT 10SM M03/M08 Q1021";
    rows[1].windsCell = "variable direction winds at 3 MPH";
    const ObservationSeries s = Read(PageHtml(rows), ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 2);

    const auto when = platform::LocalBreakdown(s[0].tObserved);
    ASSERT_TRUE(when);
    EXPECT_EQ(when->tm_year + 1900, 2026);
    EXPECT_EQ(when->tm_mon + 1, 12);
    EXPECT_EQ(when->tm_mday, 7);
    EXPECT_EQ(when->tm_hour, 4);
    EXPECT_EQ(when->tm_min, 51);
    EXPECT_EQ(s[0].tObserved - s[1].tObserved, 3600);

    EXPECT_DOUBLE_EQ(s[0].dTemperature, 12.8);
    EXPECT_DOUBLE_EQ(s[1].dTemperature, -3.4);
    EXPECT_EQ(s[0].strConditionsAt, "KJFK (NEW YORK/JFK, NY, US) observed 12/7/2026  04:51 UTC");
    EXPECT_EQ(s[0].strTemperature, "12.8\xB0"
                                   "C (55\xB0"
                                   "F)");
    EXPECT_EQ(s[1].strDewpoint, "-1.1\xB0"
                                "C (30\xB0"
                                "F) [RH = 38%]");
    EXPECT_EQ(s[0].strPressure, "30.12 inches Hg (1019.9 mb)");
    EXPECT_EQ(s[0].strVisibility, "10 or more miles (16+ km)");
    EXPECT_EQ(s[0].strCeiling, "at least 12,000 feet AGL");
    EXPECT_EQ(s[0].strClouds, "few clouds at 25000 feet AGL");
    EXPECT_EQ(s[0].strPresentWeather, "no significant weather observed at this time");
    EXPECT_EQ(s[0].strReport, "KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012 RMK AO2");

    // Numbers from the coded report: knots to m/s, inches Hg to hPa.
    EXPECT_DOUBLE_EQ(s[0].dWindDirection, 270);
    EXPECT_NEAR(s[0].dWindSpeed, 9 * 0.514444, 1e-9);
    EXPECT_DOUBLE_EQ(s[0].dPressureInHg, 30.12);
    EXPECT_NEAR(s[0].dPressure, 19.98, 0.01);
    EXPECT_DOUBLE_EQ(s[1].dPressure, 21);
    EXPECT_DOUBLE_EQ(s[1].dWindDirection, 0);
}

TEST(ReportPage, FallsBackToTheCellsWhereTheReportLacksAGroup) {
    PageRow row;
    row.report = "KJFK 070451Z 10SM FEW250 13/M01 RMK AO2";
    row.windsCell = "from the SE (140 degrees) at 12 MPH (10 knots; 5&#46;1 m/s)";
    row.pressureCell = "29&#46;92 inches Hg (1013&#46;2 mb)";
    const ObservationSeries s = Read(PageHtml({row}), ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 1);
    EXPECT_DOUBLE_EQ(s[0].dWindDirection, 140);
    EXPECT_DOUBLE_EQ(s[0].dWindSpeed, 5.1);
    EXPECT_NEAR(s[0].dPressure, 13.2, 1e-9);
    EXPECT_DOUBLE_EQ(s[0].dPressureInHg, 29.92);

    row.report = "";
    row.windsCell = "calm";
    row.pressureCell = "not reported";
    const ObservationSeries calm = Read(PageHtml({row}), ReportOutcome::Rows);
    EXPECT_EQ(calm[0].dWindSpeed, 0);
    EXPECT_EQ(calm[0].dWindDirection, 0);
    // A value given nowhere is not made up: no pressure at all.
    EXPECT_TRUE(std::isnan(calm[0].dPressure));
    EXPECT_TRUE(std::isnan(calm[0].dPressureInHg));
}

TEST(ReportPage, ARowWithoutItsReportSpanNeverTakesTheNextRowsReport) {
    std::vector<PageRow> rows(3);
    rows[1].hour = 3;
    rows[2].hour = 2;
    rows[1].report = "KJFK 070351Z 18004KT 10SM M03/M08 Q1021";
    rows[2].report = "KJFK 070251Z 09011KT 10SM M04/M08 Q1009";
    std::string page = PageHtml(rows);
    // The middle row loses its whole report line, span and all.
    const std::size_t line =
        page.find("<TR><TD COLSPAN=\"2\"><SPAN", page.find(rows[1].report) - 60);
    page.erase(line, page.find('\n', line) + 1 - line);
    ASSERT_EQ(page.find(rows[1].report), std::string::npos);
    const ObservationSeries s = Read(page, ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 3);
    EXPECT_EQ(s[1].strReport, "");
    EXPECT_EQ(s[2].strReport, rows[2].report);
    EXPECT_NE(s[1].dWindDirection, 90); // not the next row's wind
    EXPECT_DOUBLE_EQ(s[2].dWindDirection, 90);
    EXPECT_DOUBLE_EQ(s[2].dPressure, 9);
}

TEST(ReportPage, ACellWithoutItsEndGivesNoText) {
    PageRow row;
    std::string page = PageHtml({row});
    const std::string weather = "no significant weather observed at this time</TD>";
    page.erase(page.find(weather) + weather.size() - 5, 5);
    const ObservationSeries s = Read(page, ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 1);
    EXPECT_EQ(s[0].strPresentWeather, ""); // not the rest of the row
    EXPECT_EQ(s[0].strClouds, "few clouds at 25000 feet AGL");
}

TEST(ReportPage, ValuesARowDoesNotGiveAreMissingNotZero) {
    PageRow row;
    row.report = "KJFK 070451Z 10SM FEW250 RMK AO2";
    row.windsCell = "not reported";
    row.pressureCell = "not reported";
    std::string page = PageHtml({row});
    const std::size_t temperature = page.find("12&#46;8&deg;C (55&deg;F)");
    page.replace(temperature, 25, "not reported&#46;");
    const ObservationSeries s = Read(page, ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 1);
    EXPECT_TRUE(std::isnan(s[0].dTemperature));
    EXPECT_TRUE(std::isnan(s[0].dPressure));
    EXPECT_TRUE(std::isnan(s[0].dWindSpeed));
    EXPECT_TRUE(std::isnan(s[0].dWindDirection));
    EXPECT_EQ(s[0].strTemperature, "not reported.");
}

TEST(ReportPage, TemperatureRules) {
    std::vector<PageRow> rows(4);
    rows[0].temperature = 0.5;  // whole part 0: 0 whatever the fraction
    rows[1].temperature = -0.7; // whole part -0
    rows[2].temperature = 21.5;
    rows[3].temperature = -12.0;
    const ObservationSeries s = Read(PageHtml(rows), ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 4);
    EXPECT_EQ(s[0].dTemperature, 0);
    EXPECT_EQ(s[1].dTemperature, 0);
    EXPECT_EQ(s[2].dTemperature, 21.5);
    EXPECT_EQ(s[3].dTemperature, -12);

    // An empty fraction keeps the previous row's value.
    std::string page = PageHtml({rows[2], rows[2]});
    const std::size_t second = page.rfind("21&#46;5&deg;C");
    page.replace(second, 14, "17&#46;&deg;C");
    const ObservationSeries kept = Read(page, ReportOutcome::Rows);
    ASSERT_EQ(kept.GetSize(), 2);
    EXPECT_EQ(kept[1].dTemperature, 21.5);
}

TEST(ReportPage, NoDataCases) {
    ObservationRecord working;
    EXPECT_EQ(ReadReportRows("", nullptr, working).outcome, ReportOutcome::NoData);
    EXPECT_EQ(ReadReportRows(testing_support::SorryPage(), nullptr, working).outcome,
              ReportOutcome::NoData);
    // "Sorry" anywhere, even inside a row, means no data; lower case does not.
    std::vector<PageRow> rows(1);
    rows[0].report = "KJFK 070451Z 27009KT Sorry";
    EXPECT_EQ(ReadReportRows(PageHtml(rows), nullptr, working).outcome, ReportOutcome::NoData);
    rows[0].report = "KJFK 070451Z 27009KT sorry";
    EXPECT_EQ(ReadReportRows(PageHtml(rows), nullptr, working).outcome, ReportOutcome::Rows);
    EXPECT_EQ(ReadReportRows("<HTML>no rows here</HTML>", nullptr, working).outcome,
              ReportOutcome::NoData);
}

TEST(ReportPage, AnUnreadableDateEndsTheReadingKeepingEarlierRows) {
    std::string page = PageHtml(SampleRows(5));
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i)
        at = page.find("US) observed ", at + 1);
    page.replace(at, 13, "US) observed yesterday ");
    ObservationSeries series;
    ObservationRecord working;
    const auto result = ReadReportRows(page, &series, working);
    EXPECT_EQ(result.outcome, ReportOutcome::NoData);
    EXPECT_EQ(result.rows, 2);
    EXPECT_EQ(series.GetSize(), 2);
}

TEST(ReportPage, AnEmptyUtcTextKeepsThePreviousTime) {
    std::string page = PageHtml(SampleRows(2));
    const std::size_t second = page.rfind("&#160;&#160;");
    const std::size_t end = page.find("&#160;UTC", second);
    page.erase(second + 12, end - second - 12); // "&#160;&#160;&#160;UTC": an empty time
    const ObservationSeries s = Read(page, ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 2);
    EXPECT_EQ(s[1].tObserved, s[0].tObserved);
}

TEST(ReportPage, WordsOfAReportAreNeverTakenForLabels) {
    std::vector<PageRow> rows = SampleRows(3);
    rows[0].report =
        "KJFK 070450Z 27009KT 10SM A3012 RMK Conditions observed 5 Temperature 99&#46;9"
        "&deg;C Pressure 1 Winds calm";
    rows[1].report = "KJFK 070420Z 27009KT 10SM A3012 RMK <TD ALIGN=\"left\">Temperature";
    const ObservationSeries s = Read(PageHtml(rows), ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const PageRow& r = rows[static_cast<std::size_t>(i)];
        EXPECT_DOUBLE_EQ(s[i].dTemperature, std::fabs(r.temperature) < 1 ? 0 : r.temperature);
        EXPECT_EQ(s[i].strWinds, platform::Trim(r.windsCell));
        const auto when = platform::UtcBreakdown(s[i].tObservedUtc);
        EXPECT_EQ(when->tm_hour * 60 + when->tm_min, r.hour * 60 + r.minute);
    }
    EXPECT_EQ(s[0].strReport.substr(0, 12), "KJFK 070450Z");
    // A label word that starts no row of its own does not end the page either.
    PageRow alone;
    alone.report = "KJFK 070451Z 27009KT RMK Conditions";
    EXPECT_EQ(Read(PageHtml({alone, SampleRows(1)[0]}), ReportOutcome::Rows).GetSize(), 2);
}

TEST(ReportPage, RowsComeNewestFirstAndExactDuplicatesOnce) {
    std::vector<PageRow> rows = SampleRows(4); // 04:50, 04:20, 03:50, 03:20
    // Out of order, one row twice, and a correction of another with the same time.
    std::vector<PageRow> shuffled = {rows[2], rows[0], rows[3], rows[0], rows[1]};
    PageRow correction = rows[1];
    correction.report = rows[1].report + " COR";
    shuffled.push_back(correction);
    const ObservationSeries s = Read(PageHtml(shuffled), ReportOutcome::Rows);
    ASSERT_EQ(s.GetSize(), 5);
    std::vector<int> minutes;
    for (int i = 0; i < s.GetSize(); ++i) {
        const auto when = platform::UtcBreakdown(s[i].tObservedUtc);
        minutes.push_back(when->tm_hour * 60 + when->tm_min);
    }
    EXPECT_EQ(minutes, (std::vector<int>{290, 260, 260, 230, 200}));
    // Of two reports with one time, the page's order stays.
    EXPECT_EQ(s[1].strReport, rows[1].report);
    EXPECT_EQ(s[2].strReport, correction.report);
}

TEST(ReportPage, ManyRowsAndAHugeDateText) {
    const std::string page = PageHtml(SampleRows(20000));
    ObservationSeries series;
    ObservationRecord working;
    const auto result = ReadReportRows(page, &series, working);
    EXPECT_EQ(result.outcome, ReportOutcome::Rows);
    EXPECT_EQ(series.GetSize(), 20000);

    // Megabytes where a date belongs: not a date, and not held many times over.
    std::string huge = PageHtml(SampleRows(1));
    huge.insert(huge.find("observed ") + 9, std::string(8 * 1024 * 1024, '1'));
    EXPECT_EQ(ReadReportRows(huge, &series, working).outcome, ReportOutcome::NoData);
}
