#include "observations/ReportPage.h"
#include "observations/PageFetcher.h"
#include "observations/ReportNumbers.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/DateParser.h"
#include "tests/support/ReportPageBuilder.h"

#include <gtest/gtest.h>

#include <random>

using testing_support::PageHtml;
using testing_support::PageRow;
using testing_support::SampleRows;

namespace {

// The row loop as first designed: every value of row K searched afresh from the page start.
ReportReadResult ReferenceRead(std::string_view page, ObservationSeries* series,
                               ObservationRecord& w) {
    ReportReadResult result;
    if (page.empty() || page.find("Sorry") != std::string_view::npos)
        return result;
    auto get = [&](ReportValue v, int k) {
        const ReportMarkers& m = MarkersOf(v);
        return PageFetcher::Extract(page, m.label, m.start, m.end, k);
    };
    for (int k = 1;; ++k) {
        const std::string observed = get(ReportValue::Observed, k);
        if (observed.empty()) {
            if (k > 1)
                result.outcome = ReportOutcome::Rows;
            return result;
        }
        const std::string utc = get(ReportValue::Utc, k);
        if (!utc.empty()) {
            auto f = platform::ParseUsDateTime(utc + " " + observed);
            if (!f)
                return result;
            f->second = 0;
            const auto t = platform::MakeLocalTime(*f);
            if (!t)
                return result;
            w.tObserved = *t;
            w.tObservedUtc = *platform::MakeUtcTime(*f);
        }
        const std::string whole = get(ReportValue::TemperatureWhole, k);
        if (whole.empty() || platform::LeadingDouble(whole) == 0) {
            w.dTemperature = 0;
        } else {
            const std::string fraction = get(ReportValue::TemperatureFraction, k);
            if (!fraction.empty())
                w.dTemperature = platform::LeadingDouble(whole + "." + fraction);
        }
        w.strConditionsAt = get(ReportValue::ConditionsCell, k);
        w.strTemperature = get(ReportValue::TemperatureCell, k);
        w.strDewpoint = get(ReportValue::DewpointCell, k);
        w.strPressure = get(ReportValue::PressureCell, k);
        w.strWinds = get(ReportValue::WindsCell, k);
        w.strVisibility = get(ReportValue::VisibilityCell, k);
        w.strCeiling = get(ReportValue::CeilingCell, k);
        w.strClouds = get(ReportValue::CloudsCell, k);
        w.strPresentWeather = get(ReportValue::PresentWeatherCell, k);
        w.strReport = get(ReportValue::Report, k);
        FillReportNumbers(w);
        ++result.rows;
        if (series)
            series->Add(w);
    }
}

void ExpectSameReading(const std::string& page) {
    ObservationSeries fast, reference;
    ObservationRecord fastWorking, referenceWorking;
    const auto a = ReadReportRows(page, &fast, fastWorking);
    const auto b = ReferenceRead(page, &reference, referenceWorking);
    ASSERT_EQ(a.outcome, b.outcome);
    ASSERT_EQ(a.rows, b.rows);
    ASSERT_EQ(fast.GetSize(), reference.GetSize());
    for (int i = 0; i < fast.GetSize(); ++i)
        ASSERT_TRUE(fast[i] == reference[i]) << "row " << i + 1;
}

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
    EXPECT_EQ(calm[0].dPressure, 0);
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

TEST(ReportPage, ResumingReaderMatchesTheRowByRowDesign) {
    for (int n : {1, 2, 3, 12})
        ExpectSameReading(PageHtml(SampleRows(n)));

    // Missing cells, stray markers and "&#38;" sequences, placed at random.
    const std::vector<std::string> inserts = {"Conditions",
                                              "observed",
                                              "&#160;",
                                              "&#160;&#160;",
                                              "&#160;UTC",
                                              "&#46;",
                                              "&deg;C",
                                              "&#38;#160;",
                                              "&#38;",
                                              "Temperature",
                                              "<TD ALIGN=\"left\">",
                                              "</TD>",
                                              "<BR>",
                                              "<SPAN CLASS=\"monospace\">",
                                              "Winds",
                                              "Present Weather",
                                              "Conditions at"};
    std::mt19937 random(20261207);
    const std::string base = PageHtml(SampleRows(8));
    for (int variant = 0; variant < 400; ++variant) {
        std::string page = base;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % page.size();
            switch (random() % 3) {
            case 0:
                page.erase(at, random() % 120);
                break;
            case 1:
                page.insert(at, inserts[random() % inserts.size()]);
                break;
            default:
                page.insert(at, page.substr(at, random() % 300));
                break;
            }
        }
        SCOPED_TRACE("variant " + std::to_string(variant));
        ExpectSameReading(page);
        if (HasFatalFailure())
            return;
    }
}
