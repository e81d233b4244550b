// The report server under slow, idle and hostile clients and a slow upstream service: it keeps
// answering, refuses bodies, and stops at once.

#include "observations/ReportProtocol.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/reportd/SpawnedServer.h"
#include "tests/support/RunCommand.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestPaths.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using testing_support::RunningServer;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kList =
    testing_support::StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n" +
    testing_support::StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E") + "\n";
const std::int64_t kNow = UtcTime(2026, 12, 7, 5, 0);
const std::string kPage = "/weather/surface/index.php?metarIds=KJFK&hoursStr=past+2+hours";

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Clients that send a request a byte at a time, for as long as they live.
class Drippers {
public:
    Drippers(int port, int count) {
        for (int i = 0; i < count; ++i)
            m_fds.push_back(Connect(port));
        m_thread = std::thread([this] {
            const std::string request = "GET " + kPage + " HTTP/1.1\r\nHost: x\r\n";
            for (std::size_t at = 0; !m_stop; at = (at + 1) % request.size()) {
                for (int fd : m_fds)
                    if (fd >= 0)
                        ::send(fd, &request[at], 1, MSG_NOSIGNAL);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    ~Drippers() {
        m_stop = true;
        m_thread.join();
        for (int fd : m_fds)
            if (fd >= 0)
                ::close(fd);
    }

private:
    std::vector<int> m_fds;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// How long a plain request takes to be answered, and with what.
std::pair<Clock::duration, int> TimeRequest(int port, const std::string& target) {
    const auto start = Clock::now();
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(10, 0);
    const auto res = client.Get(target.c_str());
    return {Clock::now() - start, res ? res->status : 0};
}

} // namespace

TEST(ServerRobustness, SlowIdleAndLingeringClientsDoNotTakeItOutOfService) {
    // The many clients here share one address.
    HttpServer::Options options;
    options.maxConnectionsPerClient = options.maxConnections;
    RunningServer server(
        kList, std::make_unique<SimulatedSource>(), [] { return kNow; }, options);
    Drippers drippers(server.Port(), 32);
    std::vector<int> idle; // connected, saying nothing
    for (int i = 0; i < 64; ++i)
        idle.push_back(Connect(server.Port()));
    // Keep-alive clients that asked once and linger.
    std::vector<std::unique_ptr<httplib::Client>> lingering;
    for (int i = 0; i < 50; ++i) {
        lingering.push_back(std::make_unique<httplib::Client>("127.0.0.1", server.Port()));
        lingering.back()->set_keep_alive(true);
        const auto res = lingering.back()->Get("/weather/surface/stations.txt");
        ASSERT_TRUE(res);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const std::string& target : {kPage, std::string("/weather/surface/stations.txt")}) {
        const auto [elapsed, status] = TimeRequest(server.Port(), target);
        EXPECT_EQ(status, 200) << target;
        EXPECT_LT(elapsed, std::chrono::seconds(2)) << target;
    }
    for (int fd : idle)
        ::close(fd);
}

TEST(ServerRobustness, ARequestMustArriveWithinItsDeadline) {
    HttpServer::Options options;
    options.requestDeadlineMs = 300;
    options.keepAliveIdleMs = 300;
    RunningServer server(
        kList, std::make_unique<SimulatedSource>(), [] { return kNow; }, options);
    // Half a request, then nothing more: the connection is closed, not held.
    const int fd = Connect(server.Port());
    const std::string half = "GET " + kPage;
    ::send(fd, half.data(), half.size(), MSG_NOSIGNAL);
    const auto start = Clock::now();
    char buffer[64];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0); // blocks until the server closes
    EXPECT_LE(got, 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    ::close(fd);
}

TEST(ServerRobustness, BodiesAreRefusedUnread) {
    RunningServer server(kList, std::make_unique<SimulatedSource>(), [] { return kNow; });
    // A POST that announces 4 GB and sends a little of it.
    const int fd = Connect(server.Port());
    const std::string head = "POST " + kPage +
                             " HTTP/1.1\r\nHost: x\r\nContent-Length: 4294967296\r\n\r\n" +
                             std::string(100000, 'b');
    ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    EXPECT_EQ(answer.rfind("HTTP/1.1 413 ", 0), 0u) << answer.substr(0, 80);
    // A GET with a body is refused too; the server goes on answering.
    const testing_support::RawTalk get = testing_support::Talk(
        server.Port(),
        testing_support::Get(kPage, "Content-Length: 1000\r\n") + std::string(1000, 'x'));
    EXPECT_EQ(get.Status(), 413);
    EXPECT_EQ(TimeRequest(server.Port(), kPage).second, 200);
}

TEST(ServerRobustness, ASlowUpstreamHoldsNeitherTheListNorOtherStations) {
    // The service holds New York until the test lets it go, and answers Hamburg at once.
    std::mutex mutex;
    std::condition_variable changed;
    int held = 0;
    bool release = false;
    testing_support::TestHttpServer upstream(
        [&](const httplib::Request& req, httplib::Response& res) {
            if (req.get_param_value("ids") == "KJFK") {
                std::unique_lock<std::mutex> lock(mutex);
                ++held;
                changed.notify_all();
                changed.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
            }
            res.set_content("EDDH 070450Z 27009KT 9999 FEW030 05/01 Q1013\n", "text/plain");
        });
    RunningServer server(
        kList,
        std::make_unique<UpstreamSource>(upstream.BaseUrl() + "/metar", 300, [] { return kNow; }),
        [] { return kNow; });
    // Several viewers wait for New York (fewer than the fake service's own threads).
    constexpr int kWaiting = 4;
    std::vector<std::thread> waiting;
    for (int i = 0; i < kWaiting; ++i)
        waiting.emplace_back([&] { TimeRequest(server.Port(), kPage); });
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(
            changed.wait_for(lock, std::chrono::seconds(5), [&] { return held == kWaiting; }));
    }
    const auto list = TimeRequest(server.Port(), "/weather/surface/stations.txt");
    EXPECT_EQ(list.second, 200);
    EXPECT_LT(list.first, std::chrono::seconds(1));
    const auto hamburg = TimeRequest(
        server.Port(), "/weather/surface/index.php?metarIds=EDDH&hoursStr=past+2+hours");
    EXPECT_EQ(hamburg.second, 200);
    EXPECT_LT(hamburg.first, std::chrono::seconds(1));
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
    }
    changed.notify_all();
    for (auto& t : waiting)
        t.join();
}

TEST(ServerRobustness, AnUpstreamThatNeverAnswersMeetsItsDeadline) {
    testing_support::SilentServer silent;
    PageFetcher::Limits limits = UpstreamSource::DefaultLimits();
    limits.totalTimeoutMs = 800;
    ReportServer server(kList,
                        std::make_unique<UpstreamSource>(
                            silent.BaseUrl(), 300, [] { return kNow; }, limits),
                        [] { return kNow; });
    const auto start = Clock::now();
    const auto answer =
        server.Handle("/weather/surface/index.php", "metarIds=KJFK&hoursStr=past+2+hours");
    EXPECT_EQ(answer->status, 502);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

TEST(ServerRobustness, SigtermStopsItWithinASecondWhateverTheClientsDo) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", kList);
    testing_support::SpawnedServer spawned({});
    ASSERT_GT(spawned.Port(), 0) << spawned.Said();
    Drippers drippers(spawned.Port(), 32);
    std::vector<int> idle;
    for (int i = 0; i < 16; ++i)
        idle.push_back(Connect(spawned.Port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = Clock::now();
    const int status = spawned.Kill(SIGTERM);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (int fd : idle)
        ::close(fd);
}

TEST(ServerRobustness, EachRequestIsLoggedUnlessQuiet) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", kList);
    testing_support::SpawnedServer spawned({}, false);
    ASSERT_GT(spawned.Port(), 0) << spawned.Said();
    const std::string path(protocol::kStationListPath);
    const auto talk = testing_support::Talk(spawned.Port(), testing_support::Get(path));
    ASSERT_EQ(talk.Status(), 200);
    const std::string line = spawned.ReadLine();
    EXPECT_EQ(line.rfind("127.0.0.1 GET " + path + " 200 ", 0), 0u) << line;
}

TEST(ServerRobustness, AMissingReportFolderIsAnErrorAtStart) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", kList);
    const std::string command = "timeout 10 " + std::string(VENTORA_REPORTD_BINARY) +
                                " --port 0 --metar-dir no-such-folder 2>&1";
    const auto run = testing_support::RunCommand(command);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find("the report folder no-such-folder does not exist"), std::string::npos)
        << run.output;
}
