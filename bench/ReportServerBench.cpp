// The report server beside lighttpd serving the same bytes as static files, in one run: 24-hour
// pages and the station list at 16 keep-alive connections (requests per second, 99th
// percentile), and the memory each holds under 1,000 clients that read nothing.

#include "observations/ReportProtocol.h"
#include "reportd/Simulation.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/RunningServer.h"
#include "tests/reportd/SpawnedServer.h"
#include "tests/support/TestPaths.h"

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace testing_support;
using SteadyClock = std::chrono::steady_clock;

namespace {

const char kLighttpd[] = "/usr/sbin/lighttpd";
const char* const kStations[] = {"KJFK", "EDDF", "YSSY", "EGLL", "RJTT", "CYYZ", "FAOR", "SBGR"};
constexpr int kConnections = 16;

std::string PagePath(const std::string& icao) {
    return std::string(protocol::kReportPath) + "?" + std::string(protocol::kStationKey) + "=" +
           icao + "&" + std::string(protocol::kHoursKey) + "=past+24+hours&" +
           std::string(protocol::kReportExtra);
}

struct Load {
    double perSecond = 0;
    double p99Ms = 0;
    int errors = 0;
};

// kConnections clients, each asking for the targets in turn on a keep-alive connection (a new
// one when the server ends it), for `duration`.
Load Measure(int port, const std::vector<std::string>& targets,
             std::chrono::milliseconds duration) {
    std::vector<std::vector<float>> latencies(kConnections);
    std::atomic<int> errors{0};
    const auto end = SteadyClock::now() + duration;
    std::vector<std::thread> clients;
    for (int c = 0; c < kConnections; ++c)
        clients.emplace_back([&, c] {
            int fd = -1;
            std::string in;
            char buffer[65536];
            for (std::size_t i = c; SteadyClock::now() < end; ++i) {
                if (fd < 0) {
                    fd = ConnectTo(port);
                    in.clear();
                }
                const std::string request = Get(targets[i % targets.size()]);
                const auto start = SteadyClock::now();
                ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
                std::vector<RawAnswer> answers;
                while ((answers = ReadAnswers(in)).empty()) {
                    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                    if (got <= 0)
                        break;
                    in.append(buffer, static_cast<std::size_t>(got));
                }
                if (answers.size() != 1 || answers[0].status != 200)
                    ++errors;
                else
                    latencies[c].push_back(
                        std::chrono::duration<float, std::milli>(SteadyClock::now() - start)
                            .count());
                const std::string connection =
                    answers.empty() ? "" : answers[0].Field("connection");
                if (answers.empty() || connection == "close") {
                    ::close(fd);
                    fd = -1;
                }
            }
            if (fd >= 0)
                ::close(fd);
        });
    for (auto& t : clients)
        t.join();
    std::vector<float> all;
    for (const auto& l : latencies)
        all.insert(all.end(), l.begin(), l.end());
    std::sort(all.begin(), all.end());
    Load load;
    load.perSecond = all.size() / std::chrono::duration<double>(duration).count();
    load.p99Ms = all.empty() ? 0 : all[all.size() * 99 / 100];
    load.errors = errors;
    return load;
}

// lighttpd in the foreground, serving a folder.
class Lighttpd {
public:
    Lighttpd(const std::filesystem::path& root, int port) {
        const std::string conf = (root.parent_path() / "lighttpd.conf").string();
        std::ofstream(conf) << "server.document-root = \"" << root.string() << "\"\n"
                            << "server.bind = \"127.0.0.1\"\nserver.port = " << port << "\n"
                            << "server.max-fds = 4096\nserver.max-connections = 2000\n"
                            << "server.errorlog = \"" << (root.parent_path() / "error.log").string()
                            << "\"\nmimetype.assign = (\".txt\" => \"text/plain\", "
                               "\".html\" => \"text/html\")\n";
        const char* argv[] = {kLighttpd, "-D", "-f", conf.c_str(), nullptr};
        posix_spawn(&m_pid, kLighttpd, nullptr, nullptr, const_cast<char* const*>(argv), environ);
        for (int i = 0; i < 500; ++i) {
            const int fd = ConnectTo(port);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Lighttpd() {
        ::kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
};

int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t length = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length);
    ::close(s);
    return ntohs(addr.sin_port);
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// A folder with the server's answers as files, for lighttpd: the same bytes.
struct StaticCopy {
    ScopedWorkingFolder folder;
    std::filesystem::path root = folder.Path() / "www";
    std::vector<std::string> pages;
    std::string list;

    explicit StaticCopy(int serverPort) {
        std::filesystem::create_directories(root / "weather/surface");
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::all);
        for (const char* icao : kStations) {
            const RawTalk talk = Talk(serverPort, Get(PagePath(icao), "Connection: close\r\n"));
            WriteFile(root / (std::string(icao) + ".html"), talk.answers.at(0).body);
            pages.push_back("/" + std::string(icao) + ".html");
        }
        list = std::string(protocol::kStationListPath);
        WriteFile(root / list.substr(1),
                  ReadFile(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt"));
    }
};

void Report(benchmark::State& state, const Load& ours, const Load& theirs) {
    state.counters["reportd_per_s"] = ours.perSecond;
    state.counters["lighttpd_per_s"] = theirs.perSecond;
    state.counters["ratio"] = theirs.perSecond > 0 ? ours.perSecond / theirs.perSecond : 0;
    state.counters["reportd_p99_ms"] = ours.p99Ms;
    state.counters["lighttpd_p99_ms"] = theirs.p99Ms;
    if (ours.errors || theirs.errors)
        state.SkipWithError("requests failed");
}

} // namespace

// 24-hour pages of eight stations (list:0) or the station list (list:1).
static void BM_ReportServerBesideLighttpd(benchmark::State& state) {
    if (!std::filesystem::exists(kLighttpd)) {
        state.SkipWithError("lighttpd is not installed (scripts/deps installs it)");
        return;
    }
    const std::string list = ReadFile(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt");
    RunningServer server(list, std::make_unique<SimulatedSource>(),
                         [] { return UtcTime(2026, 12, 7, 5, 0); });
    StaticCopy copy(server.Port());
    const int port = FreePort();
    Lighttpd lighttpd(copy.root, port);
    const bool pages = state.range(0) == 0;
    std::vector<std::string> ours, theirs;
    if (pages) {
        for (const char* icao : kStations)
            ours.push_back(PagePath(icao));
        theirs = copy.pages;
    } else {
        ours = theirs = {copy.list};
    }
    // Half-second turns, taken in alternation so that what else the machine does weighs on both;
    // each server's best turn counts.
    Load mine, other;
    for (auto _ : state) {
        for (int turn = 0; turn < 4; ++turn) {
            const Load a = Measure(server.Port(), ours, std::chrono::milliseconds(500));
            const Load b = Measure(port, theirs, std::chrono::milliseconds(500));
            if (a.perSecond > mine.perSecond)
                mine = a;
            if (b.perSecond > other.perSecond)
                other = b;
            mine.errors += a.errors;
            other.errors += b.errors;
        }
    }
    Report(state, mine, other);
}
BENCHMARK(BM_ReportServerBesideLighttpd)
    ->ArgName("list")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

// The resident memory of each server while 1,000 clients (from 32 loopback addresses, within
// the report server's limit per address) have asked for the station list and read nothing.
static void BM_MemoryUnderSlowReaders(benchmark::State& state) {
    if (!std::filesystem::exists(kLighttpd)) {
        state.SkipWithError("lighttpd is not installed (scripts/deps installs it)");
        return;
    }
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 8192);
    setrlimit(RLIMIT_NOFILE, &files);
    constexpr int kReaders = 1000;
    const std::string listFile = std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt";
    SpawnedServer server({"--stations", listFile});
    StaticCopy copy(server.Port());
    const int port = FreePort();
    Lighttpd lighttpd(copy.root, port);

    auto held = [&](int serverPort, pid_t pid) {
        const long before = ResidentKilobytes(pid);
        std::vector<int> readers;
        for (int i = 0; i < kReaders; ++i) {
            const int fd = ConnectTo(serverPort, "127.0.0." + std::to_string(10 + i % 32));
            if (fd < 0)
                continue;
            const int small = 4096;
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
            const std::string request = Get(copy.list);
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            readers.push_back(fd);
        }
        int answered = 0;
        for (int fd : readers) { // each answer has begun
            char c = 0;
            answered += ::recv(fd, &c, 1, 0) == 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const long after = ResidentKilobytes(pid);
        for (int fd : readers)
            ::close(fd);
        return std::make_pair((after - before) / 1024.0, answered);
    };
    std::pair<double, int> mine, other;
    for (auto _ : state) {
        mine = held(server.Port(), server.Pid());
        other = held(port, lighttpd.Pid());
    }
    state.counters["reportd_MB"] = mine.first;
    state.counters["lighttpd_MB"] = other.first;
    state.counters["reportd_answering"] = mine.second;
    state.counters["lighttpd_answering"] = other.second;
}
BENCHMARK(BM_MemoryUnderSlowReaders)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
