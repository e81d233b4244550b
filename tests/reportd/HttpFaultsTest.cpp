// Faults once found in the report server's HTTP layer, each over real sockets: requests framed
// and refused as RFC 9110/9112 say, bodies shared by slow readers, no busy loop without file
// descriptors, a half-closed request still answered, answers at hand never waiting behind
// fetches, one address unable to take every connection.

#include "observations/ReportProtocol.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <thread>

using namespace testing_support;
using SteadyClock = std::chrono::steady_clock;

namespace {

const std::string kList = StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n" +
                          StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E") + "\n";
const std::int64_t kNow = UtcTime(2026, 12, 7, 5, 0);
const std::string kListPath = std::string(protocol::kStationListPath);
std::string Page(const std::string& icao, int hours) {
    return std::string(protocol::kReportPath) + "?" + std::string(protocol::kStationKey) + "=" +
           icao + "&" + std::string(protocol::kHoursKey) + "=past+" + std::to_string(hours) +
           "+hours";
}

std::unique_ptr<RunningServer> Serve(const HttpServer::Options& options = {},
                                     HttpServer::Logger notices = {}) {
    return std::make_unique<RunningServer>(
        kList, std::make_unique<SimulatedSource>(), [] { return kNow; }, options,
        std::move(notices));
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST(HttpFaults, StatusCodesFollowTheRfcs) {
    auto server = Serve();
    const std::string close = "Connection: close\r\n";
    const std::string list = Get(kListPath, close);
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    const Case cases[] = {
        {"an unknown method", "BREW " + kListPath + " HTTP/1.1\r\nHost: x\r\n\r\n", 501},
        {"a known method other than GET", "DELETE " + kListPath + " HTTP/1.1\r\nHost: x\r\n\r\n",
         405},
        {"HTTP/2.0", "GET " + kListPath + " HTTP/2.0\r\nHost: x\r\n\r\n", 505},
        {"a version that is none", "GET " + kListPath + " HTTP/1.x\r\nHost: x\r\n\r\n", 400},
        {"no Host", "GET " + kListPath + " HTTP/1.1\r\n" + close + "\r\n", 400},
        {"two Hosts", Get(kListPath, "Host: y\r\n" + close), 400},
        {"no Host in HTTP/1.0", "GET " + kListPath + " HTTP/1.0\r\n\r\n", 200},
        {"a folded field", Get(kListPath, "X-A: one\r\n two\r\n" + close), 400},
        {"a blank before the colon", Get(kListPath, "X-A : one\r\n" + close), 400},
        {"a bare CR", Get(kListPath, "X-A: one\rtwo\r\n" + close), 400},
        {"a NUL in a value", Get(kListPath, std::string("X-A: o\0ne\r\n", 11) + close), 400},
        {"an absolute-form target",
         "GET http://127.0.0.1" + kListPath + " HTTP/1.1\r\nHost: x\r\n" + close + "\r\n", 200},
        {"Content-Length with Transfer-Encoding",
         Get(kListPath, "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n") +
             "5\r\nhello\r\n0\r\n\r\n",
         400},
        {"HTTP/1.2", "GET " + kListPath + " HTTP/1.2\r\nHost: x\r\n\r\n", 505},
        {"HTTP/0.9", "GET " + kListPath + " HTTP/0.9\r\n\r\n", 505},
    };
    for (const Case& c : cases) {
        const RawTalk talk = Talk(server->Port(), c.request);
        EXPECT_EQ(talk.Status(), c.status) << c.what;
        EXPECT_EQ(talk.answers.size(), 1u) << c.what;
        EXPECT_TRUE(talk.closed) << c.what;
        if (c.status == 200) {
            EXPECT_EQ(talk.answers.at(0).body, kList) << c.what;
        }
        if (c.status == 405) {
            EXPECT_EQ(talk.answers.at(0).Field("allow"), "GET, HEAD");
        }
    }
    // HEAD: the GET answer's head, without its body.
    const RawTalk head =
        Talk(server->Port(), "HEAD " + kListPath + " HTTP/1.1\r\nHost: x\r\n" + close + "\r\n");
    ASSERT_EQ(head.answers.size(), 1u);
    EXPECT_EQ(head.Status(), 200);
    EXPECT_EQ(head.answers[0].Field("content-length"), std::to_string(kList.size()));
    EXPECT_TRUE(head.answers[0].body.empty() && head.rest.empty());
}

TEST(HttpFaults, RequestsAreFramedOnlyByCrlf) {
    auto server = Serve();
    const std::string second = Get("/elsewhere");
    for (const std::string& first :
         {std::string("GET " + kListPath + " HTTP/1.1\nHost: x\n\n"),
          // A name with a NUL must not hide the length of a body that would run as a request.
          "GET " + kListPath + " HTTP/1.1\r\nHost: x\r\n" +
              std::string("Content-Length\0: 40\r\n", 21) + "\r\n"}) {
        const RawTalk talk = Talk(server->Port(), first + second);
        ASSERT_EQ(talk.answers.size(), 1u) << first;
        EXPECT_EQ(talk.Status(), 400) << first;
        EXPECT_TRUE(talk.closed);
    }
}

TEST(HttpFaults, AHalfClosedRequestIsAnswered) {
    auto server = Serve();
    for (int i = 0; i < 200; ++i) {
        const RawTalk talk = Talk(server->Port(), Get(kListPath), true);
        ASSERT_EQ(talk.Status(), 200) << "request " << i;
        ASSERT_TRUE(talk.closed);
    }
}

TEST(HttpFaults, SlowReadersShareOneBody) {
    // A large list, asked for by many clients that read nothing.
    std::string list;
    for (int i = 0; list.size() < 2u * 1024u * 1024u; ++i)
        list += StationLine("  ", "STATION " + std::to_string(i),
                            "X" + std::to_string(100 + i % 900), "10 00N", "010 00E") +
                "\n";
    HttpServer::Options options;
    options.maxConnectionsPerClient = options.maxConnections;
    RunningServer server(
        list, std::make_unique<SimulatedSource>(), [] { return kNow; }, options);
    constexpr int kReaders = 100;
    const long before = ResidentKilobytes();
    std::vector<int> readers;
    for (int i = 0; i < kReaders; ++i) {
        const int fd = ConnectTo(server.Port());
        const int small = 4096;
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        const std::string request = Get(kListPath);
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        readers.push_back(fd);
    }
    // Every answer has begun: the first bytes of each are there.
    for (int fd : readers) {
        char c = 0;
        ASSERT_EQ(::recv(fd, &c, 1, 0), 1);
    }
    const long grown = ResidentKilobytes() - before;
    // A copy per connection would be 200 MB.
    EXPECT_LT(grown, 20 * 1024) << grown << " KB for " << kReaders << " readers";
    for (int fd : readers)
        ::close(fd);
}

TEST(HttpFaults, WithoutFileDescriptorsItRestsInsteadOfSpinning) {
    std::mutex mutex;
    std::vector<std::string> notices;
    auto server = Serve({}, [&](const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex);
        notices.push_back(line);
    });
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    // Leave one descriptor free, for the client: the server cannot accept it.
    rlimit tight = saved;
    tight.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 4096); // lowering is always allowed
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> filler;
    const auto exhaust = [&filler] {
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            filler.push_back(fd);
        ::close(filler.back());
        filler.pop_back();
    };
    const auto release = [&filler](int count) {
        for (int i = 0; i < count; ++i) {
            ::close(filler.back());
            filler.pop_back();
        }
    };
    exhaust();
    const int client = ConnectTo(server->Port());
    ASSERT_GE(client, 0);
    const std::string request = Get(kListPath, "Connection: close\r\n");
    ::send(client, request.data(), request.size(), MSG_NOSIGNAL);

    const double cpuBefore = CpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const double spent = CpuSeconds() - cpuBefore;
    // Descriptors come free: the waiting client is served soon.
    release(8);
    const auto freed = SteadyClock::now();
    const RawTalk talk = TalkOn(client, "");
    const auto waited = SteadyClock::now() - freed;
    // Out of them once more, later: said again.
    exhaust();
    const int again = ConnectTo(server->Port());
    ASSERT_GE(again, 0);
    ::send(again, request.data(), request.size(), MSG_NOSIGNAL);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    release(8);
    const RawTalk talkAgain = TalkOn(again, "");
    ::close(client);
    ::close(again);
    for (int fd : filler)
        ::close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_LT(spent, 0.2) << "CPU seconds spent in one second without descriptors";
    EXPECT_EQ(talk.Status(), 200);
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    EXPECT_EQ(talkAgain.Status(), 200);
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(notices.size(), 2u) << "once per time without descriptors";
    EXPECT_NE(notices[0].find("file descriptors"), std::string::npos) << notices[0];
}

TEST(HttpFaults, AnswersAtHandNeverWaitBehindFetches) {
    // The service holds New York until the test lets it go, and answers Hamburg at once.
    std::mutex mutex;
    std::condition_variable changed;
    int held = 0;
    bool release = false;
    TestHttpServer upstream([&](const httplib::Request& req, httplib::Response& res) {
        if (req.get_param_value("ids") == "KJFK") {
            std::unique_lock<std::mutex> lock(mutex);
            ++held;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
        }
        res.set_content("EDDH 070450Z 27009KT 9999 FEW030 05/01 Q1013\n", "text/plain");
    });
    HttpServer::Options options;
    options.workers = 1;
    options.maxQueuedWork = 1;
    RunningServer server(
        kList,
        std::make_unique<UpstreamSource>(upstream.BaseUrl() + "/metar", 300, [] { return kNow; }),
        [] { return kNow; }, options);
    const std::string close = "Connection: close\r\n";
    ASSERT_EQ(Talk(server.Port(), Get(Page("EDDH", 2), close)).Status(), 200);

    // One fetch is under way; the next waits for the worker (its client gives up, the work
    // stays queued); the one after that is refused at once, to be tried again.
    std::thread waiting([&] { Talk(server.Port(), Get(Page("KJFK", 2), close)); });
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return held == 1; }));
    }
    int queued = 0;
    RawTalk busy;
    for (int hours = 3; hours < 10 && busy.Status() != 503; ++hours) {
        busy = Talk(server.Port(), Get(Page("KJFK", hours), close), false,
                    std::chrono::milliseconds(300));
        queued += busy.answers.empty();
    }
    EXPECT_EQ(queued, options.maxQueuedWork);
    ASSERT_EQ(busy.Status(), 503);
    EXPECT_EQ(busy.answers.at(0).Field("retry-after"), "5");
    const auto start = SteadyClock::now();
    // Hamburg's page, and a shorter one the service's answer holds too, come at once.
    for (int hours : {2, 1}) {
        const RawTalk hamburg = Talk(server.Port(), Get(Page("EDDH", hours), close));
        EXPECT_EQ(hamburg.Status(), 200) << hours;
        EXPECT_EQ(hamburg.answers.at(0).body.find(std::string(protocol::kNoData)),
                  std::string::npos);
    }
    EXPECT_LT(SteadyClock::now() - start, std::chrono::milliseconds(500));
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
    }
    changed.notify_all();
    waiting.join();
}

TEST(HttpFaults, OneAddressCannotTakeEveryConnection) {
    HttpServer::Options options;
    options.maxConnectionsPerClient = 3;
    auto server = Serve(options);
    std::vector<int> held;
    for (int i = 0; i < options.maxConnectionsPerClient; ++i) {
        held.push_back(ConnectTo(server->Port()));
        const std::string request = Get(kListPath);
        ::send(held.back(), request.data(), request.size(), MSG_NOSIGNAL);
        std::string in;
        char buffer[65536];
        while (ReadAnswers(in).empty()) {
            const ssize_t got = ::recv(held.back(), buffer, sizeof buffer, 0);
            ASSERT_GT(got, 0);
            in.append(buffer, static_cast<std::size_t>(got));
        }
    }
    const std::string request = Get(kListPath, "Connection: close\r\n");
    EXPECT_TRUE(Talk(server->Port(), request, false, std::chrono::seconds(2)).answers.empty());
    // Another address is served.
    const int other = ConnectTo(server->Port(), "127.0.0.2");
    ASSERT_GE(other, 0);
    EXPECT_EQ(TalkOn(other, request).Status(), 200);
    for (int fd : held)
        ::close(fd);
}
