// What the report server tells caches: tags, last changes, how long to keep an answer; 304 for a
// copy still good; gzip for clients that take it; pages made once per minute, not per request.

#include "observations/PageFetcher.h"
#include "observations/ReportProtocol.h"
#include "reportd/HttpAnswer.h"
#include "reportd/Simulation.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/StationLine.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace testing_support;

namespace {

std::string BigList() {
    std::string list;
    for (int i = 0; i < 200; ++i)
        list += StationLine("  ", "STATION " + std::to_string(i), "X" + std::to_string(100 + i),
                            "10 00N", "010 00E") +
                "\n";
    return list + StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n";
}
const std::string kList = BigList();
const std::int64_t kNow = UtcTime(2026, 12, 7, 5, 0);
const std::string kListPath = std::string(protocol::kStationListPath);
const std::string kQuery = std::string(protocol::kStationKey) + "=KJFK&" +
                           std::string(protocol::kHoursKey) + "=past+24+hours";
const std::string kPage = std::string(protocol::kReportPath) + "?" + kQuery;
const std::string kClose = "Connection: close\r\n";

std::string Gunzip(const std::string& packed) {
    z_stream z{};
    inflateInit2(&z, 15 + 16);
    std::string out(packed.size() * 20 + 1024, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return result == Z_STREAM_END ? out : "(not gzip)";
}

} // namespace

TEST(HttpCaching, AnswersSayHowLongTheyMayBeKept) {
    RunningServer server(kList, std::make_unique<SimulatedSource>(), [] { return kNow; });
    struct Case {
        std::string target;
        int status;
        std::string cacheControl;
    };
    const Case cases[] = {
        {kListPath, 200, "max-age=3600"},
        {kPage, 200, "max-age=60"},
        {"/elsewhere", 404, "no-store"},
    };
    for (const Case& c : cases) {
        const RawTalk talk = Talk(server.Port(), Get(c.target, kClose));
        ASSERT_EQ(talk.Status(), c.status) << c.target;
        const RawAnswer& a = talk.answers[0];
        EXPECT_EQ(a.Field("cache-control"), c.cacheControl) << c.target;
        EXPECT_EQ(a.Field("etag").empty(), c.status != 200) << c.target;
        EXPECT_EQ(a.Field("last-modified").empty(), c.status != 200) << c.target;
        EXPECT_FALSE(a.Field("date").empty());
    }
    const RawAnswer page = Talk(server.Port(), Get(kPage, kClose)).answers.at(0);
    EXPECT_EQ(page.Field("last-modified"), HttpDate(kNow));
    // A refusal is no-store too.
    EXPECT_EQ(Talk(server.Port(), Get(kPage, "Content-Length: 1\r\n") + "x")
                  .answers.at(0)
                  .Field("cache-control"),
              "no-store");
}

TEST(HttpCaching, ACopyStillGoodGetsNotModified) {
    RunningServer server(kList, std::make_unique<SimulatedSource>(), [] { return kNow; });
    const RawAnswer first = Talk(server.Port(), Get(kPage, kClose)).answers.at(0);
    const std::string tag = first.Field("etag");
    ASSERT_EQ(tag.front(), '"');
    const std::string modified = first.Field("last-modified");
    struct Case {
        const char* what;
        std::string fields;
        int status;
    };
    const Case cases[] = {
        {"its tag", "If-None-Match: " + tag + "\r\n", 304},
        {"its tag among others, weak", "If-None-Match: \"x\", W/" + tag + "\r\n", 304},
        {"another tag", "If-None-Match: \"other\"\r\n", 200},
        {"another tag wins over the date",
         "If-None-Match: \"other\"\r\nIf-Modified-Since: " + modified + "\r\n", 200},
        {"its date", "If-Modified-Since: " + modified + "\r\n", 304},
        {"a later date", "If-Modified-Since: " + HttpDate(kNow + 1) + "\r\n", 304},
        {"an earlier date", "If-Modified-Since: " + HttpDate(kNow - 1) + "\r\n", 200},
        {"a date that is none", "If-Modified-Since: yesterday\r\n", 200},
    };
    for (const Case& c : cases) {
        const RawTalk talk = Talk(server.Port(), Get(kPage, c.fields + kClose));
        ASSERT_EQ(talk.Status(), c.status) << c.what;
        EXPECT_EQ(talk.answers[0].body.empty(), c.status == 304) << c.what;
        EXPECT_EQ(talk.answers[0].Field("etag"), tag) << c.what;
    }
}

TEST(HttpCaching, GzipForClientsThatTakeIt) {
    RunningServer server(kList, std::make_unique<SimulatedSource>(), [] { return kNow; });
    struct Case {
        const char* acceptEncoding;
        bool gzip;
    };
    const Case cases[] = {{"gzip", true},      {"deflate, gzip;q=0.5", true}, {"*", true},
                          {"gzip;q=0", false}, {"identity", false},           {"", false}};
    for (const std::string& target : {kListPath, kPage}) {
        std::string identityTag;
        for (const Case& c : cases) {
            const std::string fields =
                *c.acceptEncoding ? "Accept-Encoding: " + std::string(c.acceptEncoding) + "\r\n"
                                  : "";
            const RawTalk talk = Talk(server.Port(), Get(target, fields + kClose));
            ASSERT_EQ(talk.Status(), 200) << c.acceptEncoding;
            const RawAnswer& a = talk.answers[0];
            EXPECT_EQ(a.Field("vary"), "Accept-Encoding");
            EXPECT_EQ(a.Field("content-encoding"), c.gzip ? "gzip" : "") << c.acceptEncoding;
            const std::string body = c.gzip ? Gunzip(a.body) : a.body;
            EXPECT_GT(body.size(), a.body.size() * c.gzip);
            if (target == kListPath) {
                EXPECT_EQ(body, kList) << c.acceptEncoding;
            }
            // Each representation has a tag of its own.
            if (!c.gzip && identityTag.empty())
                identityTag = a.Field("etag");
            if (c.gzip) {
                EXPECT_NE(a.Field("etag"), identityTag);
            }
        }
    }
}

TEST(HttpCaching, PagesAreMadeOncePerMaxAgeAndShared) {
    // A source that counts what it is asked.
    struct Counting : SimulatedSource {
        std::atomic<int> asked{0};
        std::vector<TimedReport> Reports(const StationRecord& s, std::int64_t from,
                                         std::int64_t to) override {
            ++asked;
            return SimulatedSource::Reports(s, from, to);
        }
    };
    auto source = std::make_unique<Counting>();
    Counting& counting = *source;
    std::atomic<std::int64_t> now{kNow};
    ReportServer server(kList, std::move(source), [&now] { return now.load(); });
    const SharedAnswer first = server.Handle(std::string(protocol::kReportPath), kQuery);
    now += ReportServer::kPageMaxAge - 1;
    EXPECT_EQ(server.HandleAtOnce(std::string(protocol::kReportPath), kQuery), first);
    EXPECT_EQ(counting.asked.load(), 1);
    now += 1;
    EXPECT_NE(server.Handle(std::string(protocol::kReportPath), kQuery), first);
    EXPECT_EQ(counting.asked.load(), 2);
    // Bodies from 512 bytes on are offered compressed; smaller ones are not worth it.
    EXPECT_TRUE(MakeAnswer("text/plain", std::string(511, 'a'), kNow, 60)->gzipBody.empty());
    EXPECT_FALSE(MakeAnswer("text/plain", std::string(512, 'a'), kNow, 60)->gzipBody.empty());
    // The list is one answer for every request, compressed once.
    EXPECT_EQ(server.HandleAtOnce(kListPath, ""), server.Handle(kListPath, ""));
    EXPECT_FALSE(server.Handle(kListPath, "")->gzipBody.empty());
}

TEST(HttpCaching, TheViewerTakesGzipAndRevalidatesByTag) {
    RunningServer server(kList, std::make_unique<SimulatedSource>(), [] { return kNow; });
    const PageFetcher fetcher;
    const std::string url = server.BaseUrl() + kListPath;
    const PageFetcher::Response first = fetcher.Get(url);
    ASSERT_TRUE(first.Ok());
    EXPECT_EQ(first.body, kList);               // unpacked
    EXPECT_TRUE(first.etag.ends_with("-gz\"")); // sent packed
    const PageFetcher::Response again = fetcher.Get(url, 0, first.etag);
    EXPECT_TRUE(again.NotModified());
    EXPECT_TRUE(again.body.empty());
    // A tag of another list gets the list; a 304 asked for by no tag is no page.
    const PageFetcher::Response other = fetcher.Get(url, 0, "\"not-this-one\"");
    EXPECT_EQ(other.status, 200);
    EXPECT_EQ(other.body, kList);
}
