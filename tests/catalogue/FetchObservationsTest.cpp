#include "catalogue/StationCatalogue.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>

using testing_support::MessageRecorder;
using testing_support::PageHtml;
using testing_support::SampleRows;
using testing_support::TestHttpServer;

namespace {

const char* kNoData = "Sorry, no data available for the Station:\n\n"
                      "NYC_JFK ARPT NY KJFK   (40 38N, 073 46W),  Elevation: 9 m,  US.";

struct FetchFixture : ::testing::Test {
    MessageRecorder recorder;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue{fetcher, current, all};
    StationRecord jfk;
    std::string page; // what the server answers
    std::atomic<int> requests{0};
    std::string lastTarget;
    TestHttpServer server{[this](const httplib::Request& req, httplib::Response& res) {
        ++requests;
        lastTarget = req.target;
        res.set_content(page, "text/html");
    }};

    FetchFixture() {
        jfk.strStation = "NYC_JFK ARPT";
        jfk.strCD = "NY";
        jfk.strICAO = "KJFK";
        jfk.strLat = "40 38N";
        jfk.strLon = "073 46W";
        jfk.strElev = "9";
        jfk.strCY = "US";
        catalogue.SetServerUrl(server.BaseUrl());
        PageFetcher::Limits quick;
        quick.connectTimeoutMs = 500;
        quick.idleTimeoutMs = 300;
        fetcher.SetLimits(quick);
    }

    bool Fetch(ObservationSeries* series, const std::string& hours = "past+24+hours") {
        return catalogue.FetchObservations(&jfk, series, hours, 24);
    }
};

} // namespace

TEST_F(FetchFixture, ReadsPagesOfOneTwoAnd240Rows) {
    for (int n : {1, 2, 240}) {
        page = PageHtml(SampleRows(n));
        ObservationSeries series;
        series.Add(ObservationRecord{}); // emptied first
        ASSERT_TRUE(Fetch(&series)) << n;
        ASSERT_EQ(series.GetSize(), n);
        const auto expected = SampleRows(n);
        for (int i = 0; i < n; ++i) {
            if (i > 0) {
                ASSERT_EQ(series[i - 1].tObserved - series[i].tObserved, 1800) << i;
            }
            ASSERT_DOUBLE_EQ(series[i].dTemperature,
                             std::abs(expected[i].temperature) < 1 ? 0 : expected[i].temperature)
                << i;
            ASSERT_EQ(series[i].dWindDirection, (i * 37) % 360) << i;
        }
    }
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(lastTarget, "/weather/surface/index.php?metarIds=KJFK&hoursStr=past+24+hours&"
                          "std_trans=translated&num_metars=number&submit_metars=Retrieve");
}

TEST_F(FetchFixture, ProbeWithoutSeriesOnlyTellsWhetherDataExist) {
    page = PageHtml(SampleRows(3));
    EXPECT_TRUE(catalogue.FetchObservations(&jfk, nullptr, "most recent only", 1));
    EXPECT_NE(lastTarget.find("hoursStr=most%20recent%20only&"), std::string::npos);
    EXPECT_FALSE(catalogue.FetchObservations(nullptr, nullptr, "most recent only", 1));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(requests.load(), 1);
}

TEST_F(FetchFixture, NoDataIsReportedWithTheStationDescription) {
    for (const std::string& answer :
         {testing_support::SorryPage(), std::string(), std::string("<HTML>nothing</HTML>")}) {
        page = answer;
        ObservationSeries series;
        recorder.messages.clear();
        EXPECT_FALSE(Fetch(&series));
        EXPECT_EQ(series.GetSize(), 0);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text, kNoData);
        EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Exclamation);
    }
}

TEST_F(FetchFixture, UnreachableOrSilentServersGiveTheNoDataMessage) {
    catalogue.SetServerUrl("http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()));
    EXPECT_FALSE(Fetch(nullptr));
    testing_support::SilentServer silent;
    catalogue.SetServerUrl(silent.BaseUrl());
    EXPECT_FALSE(Fetch(nullptr));
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].text, kNoData);
}

TEST_F(FetchFixture, AnUnparsableDateInRowThreeKeepsRowsOneAndTwo) {
    page = PageHtml(SampleRows(5));
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i)
        at = page.find("US) observed ", at + 1);
    page.replace(at + 13, 2, "13"); // month 13
    ObservationSeries series;
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(series.GetSize(), 2);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(FetchFixture, NegativeTemperatures) {
    auto rows = SampleRows(3);
    rows[0].temperature = -3.4;
    rows[1].temperature = -12.0;
    rows[2].temperature = -0.4;
    page = PageHtml(rows);
    ObservationSeries series;
    ASSERT_TRUE(Fetch(&series));
    EXPECT_DOUBLE_EQ(series[0].dTemperature, -3.4);
    EXPECT_DOUBLE_EQ(series[1].dTemperature, -12.0);
    EXPECT_DOUBLE_EQ(series[2].dTemperature, 0.0);
}

TEST_F(FetchFixture, ASecondRetrievalWhileTheFirstShowsItsMessageIsRefused) {
    page = testing_support::SorryPage();
    bool nestedResult = true;
    recorder.whileShown = [&] {
        EXPECT_TRUE(StationCatalogue::RetrievalBusy());
        nestedResult = catalogue.FetchObservations(&jfk, nullptr, "most+recent+only", 1);
    };
    EXPECT_FALSE(Fetch(nullptr));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(recorder.messages.size(), 1u); // no second message
    EXPECT_EQ(requests.load(), 1);           // and no second request
    EXPECT_FALSE(StationCatalogue::RetrievalBusy());

    page = PageHtml(SampleRows(1));
    EXPECT_TRUE(Fetch(nullptr)); // the flag was cleared
}
