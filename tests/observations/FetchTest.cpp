#include "observations/CurlLibrary.h"
#include "observations/PageFetcher.h"
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using testing_support::TestHttpServer;

namespace {

PageFetcher::Limits QuickLimits() {
    PageFetcher::Limits limits;
    limits.connectTimeoutMs = 500;
    limits.idleTimeoutMs = 300;
    return limits;
}

} // namespace

TEST(Fetch, ReturnsTheWholeBodyWhateverTheStatus) {
    TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/missing") {
            res.status = 404;
            res.set_content("Sorry, not here", "text/html");
        } else {
            res.set_content(std::string(300000, 'x') + "end", "text/plain");
        }
    });
    PageFetcher fetcher;
    const std::string body = fetcher.Get(server.BaseUrl() + "/big", 1000).body;
    EXPECT_EQ(body.size(), 300003u);
    EXPECT_EQ(body.substr(body.size() - 3), "end");
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/missing").body, "Sorry, not here");
}

TEST(Fetch, SendsBlanksPercentEncoded) {
    TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_param_value("hoursStr"), "text/plain");
    });
    PageFetcher fetcher;
    const std::string body =
        fetcher.Get(server.BaseUrl() + "/q?metarIds=KJFK&hoursStr=most recent only&x=1").body;
    EXPECT_EQ(body, "most recent only");
    EXPECT_NE(server.LastTarget().find("most%20recent%20only"), std::string::npos);
}

TEST(Fetch, FailuresGiveAnEmptyText) {
    PageFetcher fetcher(QuickLimits());
    EXPECT_EQ(
        fetcher.Get("http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/x")
            .body,
        "");
    EXPECT_EQ(fetcher.Get("not a url at all").body, "");
    TestHttpServer empty(
        [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/html"); });
    EXPECT_EQ(fetcher.Get(empty.BaseUrl() + "/").body, "");
}

TEST(Fetch, GivesUpOnAServerThatNeverAnswers) {
    testing_support::SilentServer silent;
    PageFetcher fetcher(QuickLimits());
    const auto start = std::chrono::steady_clock::now();
    const PageFetcher::Response r = fetcher.Get(silent.BaseUrl() + "/weather");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(r.failure, FetchFailure::TimedOut);
    // After the idle time (0.3 s), long before the low-speed limit (10 s).
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(Fetch, KeepsWhatArrivedBeforeTheTransferStalled) {
    // The server stalls after a first part until the fetch has given up, then closes without a
    // proper end. (A type the test server does not pack, so that the part leaves as written.)
    std::atomic<bool> fetched{false};
    TestHttpServer server([&fetched](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "application/octet-stream", [&fetched](size_t offset, httplib::DataSink& sink) {
                if (offset == 0) {
                    sink.write("first part", 10);
                    return true;
                }
                for (int i = 0; i < 1000 && !fetched.load(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return false;
            });
    });
    PageFetcher fetcher(QuickLimits());
    const auto start = std::chrono::steady_clock::now();
    const PageFetcher::Response r = fetcher.Get(server.BaseUrl() + "/slow");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    fetched = true;
    EXPECT_EQ(r.body, "first part");
    EXPECT_EQ(r.failure, FetchFailure::TimedOut);
    // Given up after the idle time (0.3 s), not when the server closed (10 s).
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(Fetch, CapsARunawayBody) {
    TestHttpServer server([](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(200000, 'y'), "text/plain");
    });
    PageFetcher::Limits limits;
    limits.maxBodyBytes = 50000;
    PageFetcher fetcher(limits);
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/").body, std::string(50000, 'y'));
}

TEST(Fetch, APageSentAByteAtATimeDoesNotHoldTheFetchForEver) {
    // One byte every 100 ms: each byte restarts the idle clock, never the deadline.
    std::atomic<bool> stop{false};
    // (A type the test server does not pack, so that each byte leaves as it is written.)
    TestHttpServer server([&stop](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "application/octet-stream", [&stop](size_t, httplib::DataSink& sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                sink.write("x", 1);
                return !stop.load();
            });
    });
    for (const bool bySpeed : {false, true}) {
        PageFetcher::Limits limits = QuickLimits();
        limits.totalTimeoutMs = bySpeed ? 60000 : 1500;
        limits.lowSpeedBytesPerSecond = bySpeed ? 1000 : 1;
        limits.lowSpeedSeconds = 1;
        PageFetcher fetcher(limits);
        const auto start = std::chrono::steady_clock::now();
        const PageFetcher::Response r = fetcher.Get(server.BaseUrl() + "/drip");
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(r.failure, FetchFailure::TimedOut) << bySpeed;
        EXPECT_FALSE(r.Ok());
        EXPECT_LT(elapsed, std::chrono::seconds(5)) << bySpeed;
        EXPECT_GT(r.body.size(), 0u); // it was sending, just too slowly
    }
    stop = true;
}

TEST(Fetch, TellsWhyAPageIsNotWhole) {
    TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/missing") {
            res.status = 404;
            res.set_content("Sorry, not here", "text/html");
        } else if (req.path == "/cut") {
            res.set_content_provider(1000, "text/html",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset > 0)
                                             return false;
                                         sink.write("half of it", 10);
                                         return true;
                                     });
        } else if (req.path == "/exact" || req.path == "/over") {
            res.set_content(std::string(req.path == "/exact" ? 1000 : 1001, 'z'), "text/plain");
        } else {
            res.set_content(std::string(2000, 'z'), "text/plain");
        }
    });
    PageFetcher::Limits limits = QuickLimits();
    limits.maxBodyBytes = 1000;
    PageFetcher fetcher(limits);
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/missing").failure, FetchFailure::HttpStatus);
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/missing").status, 404);
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/cut").failure, FetchFailure::Cut);
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/big").failure, FetchFailure::TooLarge);
    // The cap is a size a page may have, not one it must stay under.
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/exact").body.size(), 1000u);
    EXPECT_TRUE(fetcher.Get(server.BaseUrl() + "/exact").Ok());
    const PageFetcher::Response over = fetcher.Get(server.BaseUrl() + "/over");
    EXPECT_EQ(over.failure, FetchFailure::TooLarge);
    EXPECT_EQ(DescribeFailure(over, limits),
              "sent a page larger than 1000 bytes, which was not read");
    limits.maxBodyBytes = 3 * 1024 * 1024;
    EXPECT_EQ(DescribeFailure(over, limits), "sent a page larger than 3 MiB, which was not read");
    EXPECT_EQ(
        fetcher.Get("http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/")
            .failure,
        FetchFailure::Refused);
    PageFetcher whole(QuickLimits());
    EXPECT_TRUE(whole.Get(server.BaseUrl() + "/big").Ok());
}

TEST(Fetch, ErrorPagesAreReadForTheirFirstLineOfText) {
    // A long line is cut at its end, never at its start: it begins with a letter of its own.
    const std::string line200(200, 'w'), line201 = "v" + std::string(200, 'w');
    const struct {
        std::string body, said;
    } cases[] = {
        {"<HTML><BODY><H1>502</H1><P>The data service cannot be reached.</P></BODY></HTML>",
         "The data service cannot be reached"},
        {"<html><p>\r\n\r\n  Busy <b>now</b>\r\nsecond line</p>", "Busy now"},
        {"Not here.\nTry later", "Not here"},
        {"\n\n" + line200 + "\n", line200},
        {line201, line201.substr(0, 200) + "..."},
        {"<HTML><TABLE><TR><TD>a page of reports</TD></TR></TABLE></HTML>", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorPageExplanation(c.body), c.said) << c.body;
}

TEST(Fetch, FollowsAFewRedirectsButNoLoop) {
    std::atomic<int> asked{0};
    TestHttpServer server([&asked](const httplib::Request& req, httplib::Response& res) {
        ++asked;
        if (req.path == "/moved")
            res.set_redirect("/page");
        else if (req.path == "/page")
            res.set_content("here", "text/plain");
        else
            res.set_redirect("/loop" + std::to_string(asked.load()));
    });
    PageFetcher fetcher(QuickLimits());
    EXPECT_EQ(fetcher.Get(server.BaseUrl() + "/moved").body, "here");
    asked = 0;
    EXPECT_FALSE(fetcher.Get(server.BaseUrl() + "/loop").Ok());
    EXPECT_EQ(asked.load(), 6); // the first request and five redirects
}

TEST(Fetch, NotModifiedIsAnAnswerOnlyToARevalidation) {
    TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.path.substr(1));
        if (res.status != 304)
            res.set_content("page", "text/plain");
    });
    const struct {
        int status;
        bool revalidate;
        FetchFailure failure;
    } cases[] = {
        {200, false, FetchFailure::None},      {200, true, FetchFailure::None},
        {304, true, FetchFailure::None},       {304, false, FetchFailure::HttpStatus},
        {500, true, FetchFailure::HttpStatus}, {404, true, FetchFailure::HttpStatus},
    };
    PageFetcher fetcher(QuickLimits());
    for (const auto& c : cases) {
        const PageFetcher::Response r = fetcher.Get(
            server.BaseUrl() + "/" + std::to_string(c.status), 0, c.revalidate ? "\"v1\"" : "");
        EXPECT_EQ(r.failure, c.failure) << c.status << (c.revalidate ? " revalidating" : "");
    }
}

TEST(Fetch, TheLibraryIsLoadedOnceAndALibraryThatIsNoneIsToldApart) {
    std::string failure = "old";
    const CurlLibrary* curl = CurlLibrary::Get(&failure);
    ASSERT_NE(curl, nullptr);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(CurlLibrary::Get(), curl);
    const struct {
        const char* library;
        const char* says;
    } cases[] = {
        {"libno-such-library.so.9", "libno-such-library.so.9 could not be loaded: "},
        {"libz.so.1", "libz.so.1 lacks curl_global_init"},
    };
    for (const auto& c : cases) {
        failure.clear();
        EXPECT_FALSE(CurlLibrary::Load(c.library, failure).has_value()) << c.library;
        EXPECT_EQ(failure.rfind(c.says, 0), 0u) << failure;
    }
}
