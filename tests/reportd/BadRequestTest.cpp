#include "observations/PageFetcher.h"
#include "observations/ReportProtocol.h"
#include "reportd/HttpPolicy.h"
#include "reportd/ReportQuery.h"
#include "reportd/Simulation.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/RunCommand.h"
#include "tests/support/StationLine.h"

#include <httplib.h>

#include <gtest/gtest.h>

using testing_support::RunningServer;

TEST(ReportQuery, ReadsEveryWayOfWritingTheHours) {
    for (const char* q : {"metarIds=KJFK&hoursStr=most recent only",
                          "metarIds=kjfk&hoursStr=most%20recent%20only&std_trans=translated",
                          "metarIds=KJFK&hoursStr=most+recent+only&num_metars=number"}) {
        const auto r = ParseReportQuery(q);
        ASSERT_TRUE(r) << q;
        EXPECT_EQ(r->icao, "KJFK");
        EXPECT_EQ(r->hours, 0);
    }
    for (const char* q :
         {"metarIds=KJFK&hoursStr=past+24+hours", "hoursStr=past%2024%20hours&metarIds=KJFK",
          "metarIds=KJFK&hoursStr=past 24 hours", "metarIds=KJFK&hoursStr=past%2B24%2Bhours"})
        EXPECT_EQ(ParseReportQuery(q)->hours, 24) << q;
    // Every period the viewer asks for reads back as itself, whichever way it travels.
    for (int hours = 0; hours <= protocol::kMaxHours; ++hours) {
        const std::string text = protocol::HoursText(hours);
        EXPECT_EQ(protocol::ReadHoursText(text), hours) << text;
        EXPECT_EQ(ParseReportQuery("metarIds=KJFK&hoursStr=" + PageFetcher::EscapeQueryValue(text))
                      ->hours,
                  hours)
            << text;
    }
}

TEST(ReportQuery, RefusesMalformedQueries) {
    for (const char* q :
         {"", "hoursStr=past+24+hours", "metarIds=&hoursStr=past+24+hours", "metarIds=KJFK",
          "metarIds=KJFK&hoursStr=past+-5+hours", "metarIds=KJFK&hoursStr=past+0+hours",
          "metarIds=KJFK&hoursStr=past+97+hours", "metarIds=KJFK&hoursStr=past+99999+hours",
          "metarIds=KJFK&hoursStr=past+x+hours", "metarIds=KJFK&hoursStr=past+24",
          "metarIds=K%ZZK&hoursStr=past+24+hours", "metarIds=KJFK&hoursStr=past+24+hours%",
          "metarIds=KJFK&hoursStr=most%2", "metarIds=KJ/FK&hoursStr=past+24+hours",
          "metarIds=KJFKX&hoursStr=past+2+hours"})
        EXPECT_FALSE(ParseReportQuery(q)) << q;
}

TEST(ReportServer, BadRequestsGetASorryPageNeverAnError) {
    const std::string list =
        testing_support::StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n";
    RunningServer server(list, std::make_unique<SimulatedSource>(),
                         [] { return UtcTime(2026, 12, 7, 5, 0); });
    httplib::Client client("127.0.0.1", server.Port());

    auto get = [&client](const std::string& target) {
        auto res = client.Get(target.c_str());
        EXPECT_TRUE(res) << target;
        return res;
    };
    const std::string base = "/weather/surface/index.php?";
    const std::string junk(10 * 1024, 'x');
    for (const std::string& target :
         {base + "hoursStr=past+24+hours", base + "metarIds=&hoursStr=past+24+hours",
          base + "metarIds=KJFK&hoursStr=past+-5+hours",
          base + "metarIds=KJFK&hoursStr=past+99999+hours",
          base + "metarIds=" + junk + "&hoursStr=past+2+hours",
          base + "metarIds=KJFK&hoursStr=" + junk.substr(0, 5000),
          base + "metarIds=%G1FK&hoursStr=past+2+hours", base + "metarIds=KJFK&hoursStr=%",
          base + "metarIds=EGLL&hoursStr=past+2+hours", base}) {
        const auto res = get(target);
        if (!res)
            continue;
        EXPECT_NE(res->status, 500) << target.substr(0, 80);
        EXPECT_NE(res->body.find("Sorry"), std::string::npos) << target.substr(0, 80);
        EXPECT_EQ(res->body.find("Conditions"), std::string::npos) << target.substr(0, 80);
    }

    const auto good = get(base + "metarIds=KJFK&hoursStr=past+2+hours&std_trans=translated");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 200);
    EXPECT_EQ(good->body.find("Sorry"), std::string::npos) << good->body;
    const auto stations = get("/weather/surface/stations.txt");
    ASSERT_TRUE(stations);
    EXPECT_EQ(stations->body, list);
    EXPECT_EQ(get("/elsewhere")->status, 404);
}

// What the parser refused, as a status: a version is "unsupported" only on a whole request line.
TEST(HttpPolicy, ParseFailuresByWhatWasReceived) {
    using http_policy::ParseFailure;
    const struct {
        ParseFailure failure;
        std::string_view received;
        int status;
    } cases[] = {
        {ParseFailure::BadVersion, "GET / HTTP/2.0\r\n", 505},
        {ParseFailure::BadVersion, "GET / HTTP/2.0\r", 400}, // the line never ended
        {ParseFailure::BadVersion, "GET / HTTP/2.0\n", 400}, // without its CR
        {ParseFailure::BadVersion, "\r\n", 400},
        {ParseFailure::BadVersion, "GET / HTTP/2.10\r\n", 400},
        {ParseFailure::BadVersion, "GET / HTTPS/2.0\r\n", 400},
        {ParseFailure::OverLimit, "GET /aaaa", 414},
        {ParseFailure::OverLimit, "GET / HTTP/1.1\r\nX: aaaa", 431},
        {ParseFailure::Malformed, "GET / HTTP/2.0\r\n", 400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(http_policy::ParseFailureStatus(c.failure, c.received), c.status) << c.received;
}

TEST(ReportServerPort, APortInUseIsRefused) {
    const std::string list =
        testing_support::StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n";
    auto running = std::make_unique<RunningServer>(list, std::make_unique<SimulatedSource>(),
                                                   [] { return 1796600000; });
    RunningServer& first = *running;
    ReportServer second(list, std::make_unique<SimulatedSource>(), [] { return 1796600000; });
    second.SetLogging(false);
    EXPECT_EQ(second.Bind("127.0.0.1", first.Port()), -1);

    // The program says so and ends with a failure.
    const std::string command = "timeout 10 " + std::string(VENTORA_REPORTD_BINARY) + " --port " +
                                std::to_string(first.Port()) + " --stations /dev/null 2>&1";
    const auto run = testing_support::RunCommand(command);
    EXPECT_GT(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("the port is in use"), std::string::npos) << run.output;
    // The first server still answers alone.
    httplib::Client client("127.0.0.1", first.Port());
    const auto answer = client.Get("/weather/surface/stations.txt");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, list);

    // Once it has ended, its port is taken again at once, although the connections it closed
    // linger (TIME_WAIT).
    const int port = first.Port();
    EXPECT_EQ(
        testing_support::Talk(port, testing_support::Get(std::string(protocol::kStationListPath),
                                                         "Connection: close\r\n"))
            .Status(),
        200);
    running.reset();
    ReportServer again(list, std::make_unique<SimulatedSource>(), [] { return 1796600000; });
    again.SetLogging(false);
    EXPECT_EQ(again.Bind("127.0.0.1", port), port);
}
