// A request the report server cannot serve through its own fault gets an error status and a
// page that says so, never the page of a station without reports.

#include "catalogue/StationCatalogue.h"
#include "reportd/MetarDirectory.h"
#include "reportd/UpstreamSource.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kList =
    testing_support::StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n" +
    testing_support::StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E") + "\n";
const std::int64_t kNow = UtcTime(2020, 5, 2, 1, 0);
const std::string kQuery = "metarIds=KJFK&hoursStr=past+2+hours";

} // namespace

TEST(ServerFailure, AnUpstreamThatDoesNotAnswerGivesAnErrorPage) {
    const std::string upstream =
        "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/metar";
    ReportServer server(kList, std::make_unique<UpstreamSource>(upstream, 300, [] { return kNow; }),
                        [] { return kNow; });
    const SharedAnswer answer = server.Handle("/weather/surface/index.php", kQuery);
    EXPECT_EQ(answer->status, 502);
    EXPECT_EQ(answer->body.find("Sorry"), std::string::npos);
    EXPECT_NE(answer->body.find("The report server cannot serve this request"), std::string::npos);
    EXPECT_NE(answer->body.find("the data service at " + upstream +
                                " did not answer (connection refused)."),
              std::string::npos)
        << answer->body;
}

TEST(ServerFailure, AFolderThatCannotBeReadGivesAnErrorPage) {
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");
    testing_support::WriteFile("metar/KJFK.TXT", "2020/05/02 00:51\nKJFK 020051Z 27009KT A3012\n");
    auto source = std::make_unique<MetarDirectorySource>("metar", 60000);
    MetarDirectorySource& folderSource = *source;
    ReportServer server(kList, std::move(source), [] { return kNow; });
    EXPECT_EQ(server.Handle("/weather/surface/index.php", kQuery)->status, 200);
    // A station without reports in a readable folder: the Sorry page, as always.
    const auto none =
        server.Handle("/weather/surface/index.php", "metarIds=EDDH&hoursStr=past+2+hours");
    EXPECT_EQ(none->status, 200);
    EXPECT_NE(none->body.find("Sorry"), std::string::npos);

    std::filesystem::remove_all("metar");
    folderSource.Rescan();
    const auto answer = server.Handle("/weather/surface/index.php", kQuery);
    EXPECT_EQ(answer->status, 500);
    EXPECT_EQ(answer->body.find("Sorry"), std::string::npos);
    EXPECT_NE(answer->body.find("the report folder metar cannot be read"), std::string::npos)
        << answer->body;
}

TEST(ServerFailure, TheViewerTellsTheServersFaultFromAStationWithoutReports) {
    const std::string upstream =
        "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/metar";
    testing_support::RunningServer server(
        kList, std::make_unique<UpstreamSource>(upstream, 300, [] { return kNow; }),
        [] { return kNow; });
    testing_support::MessageRecorder recorder;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue(fetcher, current, all);
    testing_support::RecordingCatalogueHost host;
    catalogue.SetHost(&host);
    catalogue.SetServerUrl(server.BaseUrl());
    StationRecord jfk;
    jfk.strICAO = "KJFK";
    jfk.strStation = "NYC_JFK ARPT";
    ObservationSeries series;
    EXPECT_FALSE(catalogue.FetchObservations(&jfk, &series, "past+2+hours", 2));
    ASSERT_EQ(recorder.messages.size(), 1u);
    // The server's own explanation follows its status.
    EXPECT_EQ(recorder.messages[0].text,
              "The report server " + server.BaseUrl() +
                  " answered with an error (HTTP 502 Bad Gateway): the data service at " +
                  upstream +
                  " did not answer (connection refused).\n\nThe reports of NYC_JFK ARPT (KJFK) "
                  "could not be retrieved.");
}

TEST(ServerFailure, ItsOwnFaultIsAnsweredWithItsOwnPage) {
    // A source that fails in a way nobody foresaw.
    struct Broken : ReportSource {
        std::vector<TimedReport> Reports(const StationRecord&, std::int64_t,
                                         std::int64_t) override {
            throw std::logic_error("unforeseen");
        }
    };
    testing_support::RunningServer server(kList, std::make_unique<Broken>(), [] { return kNow; });
    const testing_support::RawTalk talk = testing_support::Talk(
        server.Port(),
        testing_support::Get("/weather/surface/index.php?" + kQuery, "Connection: close\r\n"));
    EXPECT_EQ(talk.Status(), 500);
    ASSERT_EQ(talk.answers.size(), 1u);
    EXPECT_NE(talk.answers[0].body.find("The report server cannot serve this request"),
              std::string::npos);
    EXPECT_EQ(talk.answers[0].body.find("unforeseen"), std::string::npos);
    // The server goes on answering.
    EXPECT_EQ(
        testing_support::Talk(server.Port(), testing_support::Get("/weather/surface/stations.txt",
                                                                  "Connection: close\r\n"))
            .Status(),
        200);
}
