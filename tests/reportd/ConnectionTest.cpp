// The report server's connection policy over real sockets: the status of each kind of refusal
// at its limit, how connections end, the deadlines and the connection cap.

#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

using namespace testing_support;

namespace {

const std::string kList = StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n" +
                          StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E") + "\n";
const std::int64_t kNow = UtcTime(2026, 12, 7, 5, 0);
const std::string kListPath = std::string(protocol::kStationListPath);
const std::string kPage = std::string(protocol::kReportPath) + "?" +
                          std::string(protocol::kStationKey) + "=KJFK&" +
                          std::string(protocol::kHoursKey) + "=past+2+hours";
constexpr std::size_t kHead = HttpServer::Options{}.maxHeadBytes;

std::unique_ptr<RunningServer> Serve(const HttpServer::Options& options = {}) {
    return std::make_unique<RunningServer>(
        kList, std::make_unique<SimulatedSource>(), [] { return kNow; }, options);
}

// A request for the station list whose head (without its blank line) is `size` bytes, its
// request line made long by a query.
std::string HeadOfSize(std::size_t size, const std::string& fields = "Host: x\r\n") {
    const std::string start = "GET " + kListPath + "?";
    const std::string end = " HTTP/1.1\r\n" + fields;
    return start + std::string(size + 2 - start.size() - end.size(), 'q') + end + "\r\n";
}

} // namespace

TEST(Connection, EachRefusalHasItsStatusAtItsLimit) {
    auto server = Serve();
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    const Case cases[] = {
        {"a head of exactly the limit", HeadOfSize(kHead, "Host: x\r\nConnection: close\r\n"), 200},
        {"a head one byte over, in its fields", HeadOfSize(kHead + 1), 431},
        {"a field over the limit", Get(kListPath, "X-Long: " + std::string(kHead, 'f') + "\r\n"),
         431},
        {"a request line over the limit, still coming", "GET /" + std::string(kHead + 10, 'q'),
         414},
        {"a GET with a body", Get(kListPath, "Content-Length: 5\r\n") + "hello", 413},
        {"a GET with a chunked body",
         Get(kListPath, "Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n0\r\n\r\n", 413},
        {"a POST with a body",
         "POST " + kListPath + " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello", 413},
        {"a POST without one", "POST " + kListPath + " HTTP/1.1\r\nHost: x\r\n\r\n", 405},
        {"Content-Length: 0 is no body",
         Get(kListPath, "Content-Length: 0\r\nConnection: close\r\n"), 200},
        {"a target without its leading slash",
         "GET weather/surface/stations.txt HTTP/1.1\r\nHost: x\r\n\r\n", 400},
        {"no request line", "\x01\x02 nonsense\r\n\r\n", 400},
    };
    for (const Case& c : cases) {
        // The request line still coming is refused without waiting for the rest.
        const RawTalk talk = Talk(server->Port(), c.request, false, std::chrono::seconds(3));
        EXPECT_EQ(talk.Status(), c.status) << c.what;
        if (c.status != 200) {
            EXPECT_TRUE(talk.closed) << c.what << ": a refusal ends the connection";
            EXPECT_EQ(talk.answers.size(), 1u) << c.what;
        }
    }
}

TEST(Connection, HowConnectionsEnd) {
    HttpServer::Options options;
    options.keepAliveRequests = 3;
    auto server = Serve(options);
    const std::string plain = Get(kListPath);
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> connection; // the Connection field of each answer
        bool closed;
    };
    const Case cases[] = {
        {"HTTP/1.0", "GET " + kListPath + " HTTP/1.0\r\n\r\n", {"close"}, true},
        {"Connection: close", Get(kListPath, "Connection: close\r\n"), {"close"}, true},
        {"two pipelined, the second closing",
         plain + Get(kPage, "Connection: close\r\n"),
         {"keep-alive", "close"},
         true},
        {"one request more than a connection takes",
         plain + plain + plain + plain,
         {"keep-alive", "keep-alive", "close"},
         true},
        {"keep-alive stays open", plain + plain, {"keep-alive", "keep-alive"}, false},
    };
    for (const Case& c : cases) {
        const RawTalk talk = Talk(server->Port(), c.bytes, false, std::chrono::milliseconds(400));
        ASSERT_EQ(talk.answers.size(), c.connection.size()) << c.what;
        for (std::size_t i = 0; i < c.connection.size(); ++i) {
            EXPECT_EQ(talk.answers[i].status, 200) << c.what;
            EXPECT_EQ(platform::ToLower(talk.answers[i].Field("connection")), c.connection[i])
                << c.what << " #" << i;
        }
        EXPECT_EQ(talk.closed, c.closed) << c.what;
    }
}

TEST(Connection, ARefusedBodyIsDrainedSoTheClientReadsTheAnswer) {
    auto server = Serve();
    // A client that sends its body only after it has the answer (as one that reads the answer
    // while sending would): a server that closed without reading the body would reset the
    // connection, failing the client's sending and losing what it had not read.
    const std::size_t size = 1024 * 1024;
    const int fd = ConnectTo(server->Port());
    const std::string head = Get(kPage, "Content-Length: " + std::to_string(size) + "\r\n");
    ASSERT_EQ(::send(fd, head.data(), head.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(head.size()));
    std::string in;
    char buffer[65536];
    std::vector<RawAnswer> answers;
    while ((answers = ReadAnswers(in)).empty()) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        ASSERT_GT(got, 0);
        in.append(buffer, static_cast<std::size_t>(got));
    }
    EXPECT_EQ(answers[0].status, 413);
    EXPECT_NE(answers[0].body.find("Sorry"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string chunk(65536, 'b');
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t put = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (put <= 0)
            break;
        sent += static_cast<std::size_t>(put);
    }
    EXPECT_GE(sent, size) << "the server reset the connection";
    const RawTalk rest = TalkOn(fd, "", true);
    EXPECT_TRUE(rest.closed);
    EXPECT_FALSE(rest.reset);
}

TEST(Connection, TheRequestDeadlineEndsWaitingNotAnswering) {
    // New York's answer takes longer than a request may take to arrive.
    std::atomic<bool> slow{true};
    TestHttpServer upstream([&slow](const httplib::Request&, httplib::Response& res) {
        if (slow)
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
        res.set_content("KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012\n", "text/plain");
    });
    HttpServer::Options options;
    options.requestDeadlineMs = 200;
    options.keepAliveIdleMs = 200;
    RunningServer server(
        kList,
        std::make_unique<UpstreamSource>(upstream.BaseUrl() + "/metar", 300, [] { return kNow; }),
        [] { return kNow; }, options);
    EXPECT_EQ(Talk(server.Port(), Get(kPage)).Status(), 200);
    // A connection that sends nothing, or half a request, is closed once its time is up.
    for (const std::string& bytes : {std::string(), std::string("GET / HTTP/1.1\r\n")}) {
        const auto start = std::chrono::steady_clock::now();
        const RawTalk talk = Talk(server.Port(), bytes, false, std::chrono::seconds(3));
        EXPECT_TRUE(talk.closed && talk.answers.empty()) << bytes;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST(Connection, TheConnectionCapIsExact) {
    HttpServer::Options options;
    options.maxConnections = 4;
    auto server = Serve(options);
    std::vector<int> held;
    for (int i = 0; i < options.maxConnections; ++i) {
        held.push_back(ConnectTo(server->Port()));
        // Each is served (and so accepted) before the next comes.
        const std::string request = Get(kListPath);
        ASSERT_EQ(::send(held.back(), request.data(), request.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(request.size()));
        std::string in;
        char buffer[65536];
        while (ReadAnswers(in).empty()) {
            const ssize_t got = ::recv(held.back(), buffer, sizeof buffer, 0);
            ASSERT_GT(got, 0) << "connection " << i << " was not served";
            in.append(buffer, static_cast<std::size_t>(got));
        }
    }
    // One more is closed unanswered; once one of the others goes, a new one is served.
    const RawTalk over = Talk(server->Port(), Get(kListPath), false, std::chrono::seconds(3));
    EXPECT_TRUE(over.answers.empty());
    ::close(held.back());
    held.pop_back();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Talk(server->Port(), Get(kListPath, "Connection: close\r\n")).Status(), 200);
    for (int fd : held)
        ::close(fd);
}
