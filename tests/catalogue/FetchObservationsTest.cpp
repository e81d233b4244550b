#include "catalogue/StationCatalogue.h"
#include "observations/ReportProtocol.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
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
    testing_support::RecordingCatalogueHost host;
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
        catalogue.SetHost(&host);
        PageFetcher::Limits quick;
        quick.connectTimeoutMs = 500;
        quick.idleTimeoutMs = 300;
        fetcher.SetLimits(quick);
    }

    bool Fetch(ObservationSeries* series, const std::string& hours = protocol::HoursText(24)) {
        return catalogue.FetchObservations(&jfk, series, hours, 24);
    }
    // The message of a retrieval of JFK that failed for the server's fault.
    static std::string Failed(const std::string& server, const std::string& what) {
        return "The report server " + server + " " + what +
               ".\n\nThe reports of NYC_JFK ARPT (KJFK) could not be retrieved.";
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
    EXPECT_EQ(lastTarget, "/weather/surface/index.php?metarIds=KJFK&hoursStr=past%2024%20hours&"
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

TEST_F(FetchFixture, AnErrorPageIsExplainedInItsOwnWords) {
    const std::string serverPage =
        "<HTML><HEAD><TITLE>Report server error</TITLE></HEAD><BODY>\n<H2>The report server "
        "cannot serve this request</H2>\n<P>the data service https://x.example/metar cannot be "
        "reached: it did not answer (its host name could not be resolved)</P>\n</BODY></HTML>\n";
    const struct {
        std::string status, type, body, said;
    } cases[] = {
        {"502 Bad Gateway", "text/html", serverPage,
         "answered with an error (HTTP 502 Bad Gateway): the data service "
         "https://x.example/metar cannot be reached: it did not answer (its host name could not "
         "be resolved)"},
        {"503 Service Unavailable", "text/plain", "Down for maintenance\r\nuntil 6 am\r\n",
         "answered with an error (HTTP 503 Service Unavailable): Down for maintenance"},
        {"503 Service Unavailable", "text/plain", std::string(300, 'x') + "\n",
         "answered with an error (HTTP 503 Service Unavailable): " + std::string(200, 'x') + "..."},
        {"502 Bad Gateway", "text/html",
         "<html><head><title>502</title></head><body><h1>502 Bad Gateway</h1></body></html>",
         "answered with an error (HTTP 502 Bad Gateway)"},
        {"500 Internal Server Error", "text/plain", "",
         "answered with an error (HTTP 500 "
         "Internal Server Error)"},
    };
    for (const auto& c : cases) {
        testing_support::RawAnswerServer answer(
            "HTTP/1.1 " + c.status + "\r\nContent-Type: " + c.type + "\r\nContent-Length: " +
            std::to_string(c.body.size()) + "\r\nConnection: close\r\n\r\n" + c.body);
        catalogue.SetServerUrl(answer.BaseUrl());
        recorder.messages.clear();
        EXPECT_FALSE(Fetch(nullptr));
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text, Failed(answer.BaseUrl(), c.said));
    }
}

TEST_F(FetchFixture, AStationWithoutACodeIsNeverAskedFor) {
    StationRecord albemarle = jfk;
    albemarle.strStation = "ALBEMARLE";
    albemarle.strICAO = "    ";
    page = PageHtml(SampleRows(3));
    EXPECT_FALSE(catalogue.FetchObservations(&albemarle, nullptr, protocol::HoursText(0), 1));
    EXPECT_EQ(requests.load(), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text,
              "ALBEMARLE has no ICAO code; its reports cannot be retrieved.");
}

TEST_F(FetchFixture, AStationWithoutElevationIsDescribedWithoutOne) {
    jfk.strElev.clear();
    EXPECT_EQ(StationCatalogue::StationDescription(jfk),
              "NYC_JFK ARPT NY KJFK   (40 38N, 073 46W),  US");
}

TEST_F(FetchFixture, AServerThatGivesNoWholePageIsNamedWithTheCause) {
    const std::string refusing =
        "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort());
    catalogue.SetServerUrl(refusing);
    EXPECT_FALSE(Fetch(nullptr));
    testing_support::SilentServer silent;
    catalogue.SetServerUrl(silent.BaseUrl());
    EXPECT_FALSE(Fetch(nullptr));
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, Failed(refusing, "did not answer (connection refused)"));
    EXPECT_EQ(recorder.messages[1].text, Failed(silent.BaseUrl(), "did not answer in time"));
    EXPECT_EQ(catalogue.ServerDownSince() > 0, true);
}

TEST_F(FetchFixture, ErrorPagesAndCutPagesAreNotReadAsObservations) {
    // A 500 answer whose body holds report rows, and a page that ends half-way.
    testing_support::FakeReportServer broken;
    broken.SetPage("KJFK", SampleRows(6));
    catalogue.SetServerUrl(broken.BaseUrl());
    broken.SetStatus(500);
    ObservationSeries series;
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(series.GetSize(), 0);
    broken.SetStatus(200);
    broken.SetCut(true);
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(series.GetSize(), 0);
    ASSERT_EQ(recorder.messages.size(), 2u);
    // A page of rows sent with an error status explains nothing: only the status is said.
    EXPECT_EQ(recorder.messages[0].text,
              Failed(broken.BaseUrl(), "answered with an error (HTTP 500 Internal Server Error)"));
    const std::string cutShort =
        "sent a page that was cut short (the connection ended before the page was complete)";
    EXPECT_EQ(recorder.messages[1].text, Failed(broken.BaseUrl(), cutShort));

    // Without a length the page is whole only with its end: a connection that closes mid-row
    // gives a cut page, not a half-filled last row.
    const std::string whole = PageHtml(SampleRows(3));
    testing_support::RawAnswerServer unsized(
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n" +
        whole.substr(0, whole.rfind("Clouds")));
    catalogue.SetServerUrl(unsized.BaseUrl());
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(series.GetSize(), 0);
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[2].text, Failed(unsized.BaseUrl(), cutShort));
    catalogue.SetServerUrl(broken.BaseUrl());

    // Whole again: read as before. A page that says there are no reports keeps its message.
    broken.SetCut(false);
    EXPECT_TRUE(Fetch(&series));
    EXPECT_EQ(series.GetSize(), 6);
    EXPECT_EQ(catalogue.ServerDownSince(), 0);
    page = testing_support::SorryPage();
    catalogue.SetServerUrl(server.BaseUrl());
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(recorder.messages.back().text, kNoData);
}

TEST(FetchFailureWords, EveryCauseInPlainWords) {
    PageFetcher::Limits limits;
    limits.maxBodyBytes = 64u * 1024u * 1024u;
    const struct {
        FetchFailure failure;
        long status;
        const char* words;
    } cases[] = {
        {FetchFailure::Refused, 0, "did not answer (connection refused)"},
        {FetchFailure::NameNotFound, 0, "did not answer (its host name could not be resolved)"},
        {FetchFailure::TimedOut, 0, "did not answer in time"},
        {FetchFailure::Cut, 200,
         "sent a page that was cut short (the connection ended before the page was complete)"},
        {FetchFailure::TooLarge, 200, "sent a page larger than 64 MiB, which was not read"},
        {FetchFailure::HttpStatus, 503, "answered with an error (HTTP 503 Service Unavailable)"},
        {FetchFailure::HttpStatus, 418, "answered with an error (HTTP 418)"},
    };
    for (const auto& c : cases) {
        PageFetcher::Response r;
        r.failure = c.failure;
        r.status = c.status;
        EXPECT_EQ(DescribeFailure(r, limits), c.words);
    }
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

TEST_F(FetchFixture, EveryPageReadIsHandedOverToBeKept) {
    page = PageHtml(SampleRows(3));
    ObservationSeries series;
    ASSERT_TRUE(Fetch(&series));
    ASSERT_TRUE(catalogue.FetchObservations(&jfk, nullptr, "most recent only", 1));
    // A page without rows, or none at all, hands nothing over.
    page = testing_support::SorryPage();
    EXPECT_FALSE(Fetch(&series));
    EXPECT_EQ(host.pagesRead, (std::vector<std::pair<std::string, int>>{{"KJFK", 3}, {"KJFK", 3}}));
}
