// The upstream source against a local fake of an aviation-weather data service.

#include "reportd/UpstreamSource.h"
#include "tests/reportd/UtcTime.h"
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>

using testing_support::TestHttpServer;

namespace {

struct FakeUpstream {
    std::atomic<int> status{200};
    std::atomic<int> requests{0};
    std::string lastQuery;
    std::mutex mutex;
    TestHttpServer server{[this](const httplib::Request& req, httplib::Response& res) {
        ++requests;
        {
            std::lock_guard<std::mutex> lock(mutex);
            lastQuery = req.target;
        }
        res.status = status.load();
        if (res.status == 200)
            res.set_content("METAR KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012\n"
                            "KJFK 070351Z 26008KT 10SM FEW250 12/M01 A3013\n"
                            "SPECI KJFK 302351Z 25007KT 10SM FEW250 11/M01 A3014\n",
                            "text/plain");
        else
            res.set_content("busy", "text/plain");
    }};
};

StationRecord Jfk() {
    StationRecord s;
    s.strICAO = "KJFK";
    return s;
}

} // namespace

TEST(RawReports, ArePlacedInTimeFromTheirDayGroups) {
    const std::int64_t now = UtcTime(2026, 12, 7, 5, 0);
    // Reports without a day and time group of their own, or a day no month has, are left out.
    const auto reports = ParseRawReports("METAR KJFK 070451Z 27009KT A3012\n\n"
                                         "SPECI KJFK 302351Z 25007KT A3014\ngarbage\n"
                                         "KJFK 010051Z 25007KT A3014\nKJFK 27009KT A3012\n"
                                         "KJFK 000451Z 27009KT A3012\nKJFK 320451Z 27009KT\n",
                                         now);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].time, UtcTime(2026, 12, 7, 4, 51));
    EXPECT_EQ(reports[0].raw, "KJFK 070451Z 27009KT A3012");
    EXPECT_EQ(reports[1].time, UtcTime(2026, 12, 1, 0, 51));
    EXPECT_EQ(reports[2].time, UtcTime(2026, 11, 30, 23, 51)); // last month
}

TEST(UpstreamSource, CachesAnswersPerStation) {
    FakeUpstream upstream;
    std::atomic<std::int64_t> now{UtcTime(2026, 12, 7, 5, 0)};
    UpstreamSource source(upstream.server.BaseUrl() + "/api/data/metar", 300,
                          [&] { return now.load(); });

    auto reports = source.Reports(Jfk(), now - 3 * 3600, now);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].raw, "KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012");
    EXPECT_EQ(upstream.lastQuery, "/api/data/metar?ids=KJFK&hours=3&format=raw");

    now += 299; // the last second it is fresh
    EXPECT_EQ(source.Reports(Jfk(), now - 2 * 3600, now).size(), 2u);
    EXPECT_EQ(upstream.requests.load(), 1); // served from the cache

    EXPECT_EQ(source.Reports(Jfk(), now - 24 * 3600, now).size(), 2u);
    EXPECT_EQ(upstream.requests.load(), 2); // more hours than the cache holds

    now += 299;
    source.Reports(Jfk(), now - 2 * 3600, now);
    EXPECT_EQ(upstream.requests.load(), 2);
    now += 1; // expired
    source.Reports(Jfk(), now - 2 * 3600, now);
    EXPECT_EQ(upstream.requests.load(), 3);
}

TEST(UpstreamSource, BacksOffWhenOverloadedAndServesTheCache) {
    FakeUpstream upstream;
    std::atomic<std::int64_t> now{UtcTime(2026, 12, 7, 5, 0)};
    UpstreamSource source(upstream.server.BaseUrl() + "/metar", 60, [&] { return now.load(); });
    ASSERT_EQ(source.Reports(Jfk(), now - 3 * 3600, now).size(), 2u);

    for (int status : {429, 500, 503}) {
        upstream.status = status;
        now += 3600; // the cache has expired
        const int before = upstream.requests.load();
        EXPECT_EQ(source.Reports(Jfk(), now - 12 * 3600, now).size(), 2u) << status;
        EXPECT_EQ(upstream.requests.load(), before + 1);
        now += 5;
        EXPECT_EQ(source.Reports(Jfk(), now - 12 * 3600, now).size(), 2u);
        EXPECT_EQ(upstream.requests.load(), before + 1) << "asked again while backing off";
    }

    upstream.status = 200;
    now += 3600;                                                      // after the back-off
    EXPECT_EQ(source.Reports(Jfk(), now - 2 * 3600, now).size(), 0u); // newest is now 2 h old
    EXPECT_EQ(upstream.requests.load(), 5);
}

TEST(UpstreamSource, AnUnreachableServiceIsTheServersOwnFailure) {
    const int port = testing_support::RefusingPort();
    const std::int64_t now = UtcTime(2026, 12, 7, 5, 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/metar";
    UpstreamSource source(url, 300, [now] { return now; });
    try {
        source.Reports(Jfk(), now - 3600, now);
        ADD_FAILURE() << "no failure";
    } catch (const SourceFailure& failure) {
        EXPECT_EQ(failure.Status(), 502);
        EXPECT_EQ(std::string(failure.what()),
                  "the data service at " + url + " did not answer (connection refused).");
    }
    // While it rests before asking again, it says so.
    try {
        source.Reports(Jfk(), now - 3600, now);
        ADD_FAILURE() << "no failure";
    } catch (const SourceFailure& failure) {
        EXPECT_EQ(failure.Status(), 503);
        EXPECT_NE(std::string(failure.what()).find("asked again in 30 seconds"), std::string::npos);
    }
}

TEST(UpstreamSource, NoContentMeansNoReports) {
    TestHttpServer upstream(
        [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
    const std::int64_t now = UtcTime(2026, 12, 7, 5, 0);
    UpstreamSource source(upstream.BaseUrl() + "/metar", 300, [now] { return now; });
    EXPECT_TRUE(source.Reports(Jfk(), now - 3600, now).empty());
}

TEST(UpstreamSource, AProbeSaysWhetherTheServiceAnswersAndLeavesNoTrace) {
    FakeUpstream upstream;
    std::int64_t now = UtcTime(2026, 12, 7, 5, 0);
    UpstreamSource source(upstream.server.BaseUrl() + "/metar", 300, [&now] { return now; });
    EXPECT_EQ(source.Probe("KJFK"), "");
    EXPECT_EQ(upstream.lastQuery, "/metar?ids=KJFK&hours=1&format=raw");

    upstream.status = 404;
    // The service's own words follow its status.
    EXPECT_EQ(source.Probe("KJFK"), "answered with an error (HTTP 404 Not Found): busy");
    upstream.status = 503;
    EXPECT_EQ(source.Probe("KJFK"), "answered with an error (HTTP 503 Service Unavailable): busy");

    // Neither the failed probe nor the good one stands for a real answer: the first request
    // asks the service, without a back-off and without a cached answer.
    upstream.status = 200;
    const int before = upstream.requests.load();
    EXPECT_EQ(source.Reports(Jfk(), now - 3 * 3600, now).size(), 2u);
    EXPECT_EQ(upstream.requests.load(), before + 1);

    const std::string refused =
        "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/metar";
    UpstreamSource dead(refused, 300, [&now] { return now; });
    EXPECT_EQ(dead.Probe("KJFK"), "did not answer (connection refused)");
}
