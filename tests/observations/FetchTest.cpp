#include "observations/PageFetcher.h"
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>

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
    const std::string body = fetcher.Fetch(server.BaseUrl() + "/big", 1000);
    EXPECT_EQ(body.size(), 300003u);
    EXPECT_EQ(body.substr(body.size() - 3), "end");
    EXPECT_EQ(fetcher.Fetch(server.BaseUrl() + "/missing"), "Sorry, not here");
}

TEST(Fetch, SendsBlanksPercentEncoded) {
    TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_param_value("hoursStr"), "text/plain");
    });
    PageFetcher fetcher;
    const std::string body =
        fetcher.Fetch(server.BaseUrl() + "/q?metarIds=KJFK&hoursStr=most recent only&x=1");
    EXPECT_EQ(body, "most recent only");
    EXPECT_NE(server.LastTarget().find("most%20recent%20only"), std::string::npos);
}

TEST(Fetch, FailuresGiveAnEmptyText) {
    PageFetcher fetcher(QuickLimits());
    EXPECT_EQ(
        fetcher.Fetch("http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/x"),
        "");
    EXPECT_EQ(fetcher.Fetch("not a url at all"), "");
    TestHttpServer empty(
        [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/html"); });
    EXPECT_EQ(fetcher.Fetch(empty.BaseUrl() + "/"), "");
}

TEST(Fetch, GivesUpOnAServerThatNeverAnswers) {
    testing_support::SilentServer silent;
    PageFetcher fetcher(QuickLimits());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetcher.Fetch(silent.BaseUrl() + "/weather"), "");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(10)); // a hang would run into the ctest time-out
}

TEST(Fetch, KeepsWhatArrivedBeforeTheTransferStalled) {
    TestHttpServer server([](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            if (offset == 0) {
                sink.write("first part", 10);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3000));
            return false; // the connection then closes without a proper end
        });
    });
    PageFetcher fetcher(QuickLimits());
    EXPECT_EQ(fetcher.Fetch(server.BaseUrl() + "/slow"), "first part");
}

TEST(Fetch, CapsARunawayBody) {
    TestHttpServer server([](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(200000, 'y'), "text/plain");
    });
    PageFetcher::Limits limits;
    limits.maxBodyBytes = 50000;
    PageFetcher fetcher(limits);
    EXPECT_EQ(fetcher.Fetch(server.BaseUrl() + "/"), std::string(50000, 'y'));
}
