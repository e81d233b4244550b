// What a client sends the report server: bytes over a connection (answers must come back whole
// and well formed, whatever the bytes), and the report query.

#include "reportd/ReportQuery.h"
#include "reportd/ReportServer.h"
#include "reportd/Simulation.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

namespace {

const char kList[] =
    "NY NYC/JFK ARPT      KJFK  JFK   74486  40 38N  073 46W    9   X     T          7 US\n";

// One server for the whole run, on a free loopback port.
int ServerPort() {
    static int port = [] {
        auto* server = new ReportServer(kList, std::make_unique<SimulatedSource>(),
                                        [] { return std::int64_t{1796600000}; });
        server->SetLogging(false);
        HttpServer::Options options;
        options.requestDeadlineMs = 1000;
        options.keepAliveIdleMs = 1000;
        options.ioThreads = 1;
        options.workers = 2;
        options.maxConnectionsPerClient = options.maxConnections;
        server->SetHttpOptions(options);
        const int bound = server->Bind("127.0.0.1", 0);
        std::thread([server] { server->Run(); }).detach();
        return bound;
    }();
    return port;
}

// Sends the bytes, half-closes, and reads what comes back until the server closes.
std::string Exchange(std::string_view bytes) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(ServerPort()));
    // libFuzzer's timeout alarm interrupts calls now and then (EINTR): those are made again.
    // An interrupted connect goes on by itself: its end is waited for, not asked for again.
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EINTR)
            __builtin_trap();
        pollfd p{fd, POLLOUT, 0};
        int ready;
        do
            ready = ::poll(&p, 1, 8000);
        while (ready < 0 && errno == EINTR);
        int error = 0;
        socklen_t length = sizeof error;
        if (ready <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error)
            __builtin_trap();
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        sent += static_cast<std::size_t>(put);
    }
    ::shutdown(fd, SHUT_WR);
    std::string in;
    char buffer[65536];
    // The server ends any request within its 1 s deadline; the margin is for a machine busy
    // with other work. The wait is for the next bytes, not the whole answer.
    constexpr auto kWait = std::chrono::seconds(8);
    auto until = std::chrono::steady_clock::now() + kWait;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        const int ready = ::poll(&p, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            __builtin_trap(); // the server neither answered nor closed
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        until = std::chrono::steady_clock::now() + kWait;
        in.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return in;
}

// Every answer is a whole HTTP/1.1 answer of a status the server gives.
void CheckAnswers(std::string in) {
    while (!in.empty()) {
        const std::size_t end = in.find("\r\n\r\n");
        if (end == std::string::npos || in.rfind("HTTP/1.1 ", 0) != 0)
            __builtin_trap();
        const int status = std::atoi(in.c_str() + 9);
        if (status != 200 && status != 304 && status != 404 && (status < 400 || status > 505))
            __builtin_trap();
        const std::string head = in.substr(0, end);
        const std::size_t field = head.find("\r\nContent-Length: ");
        std::size_t length = 0;
        if (field != std::string::npos)
            length = std::strtoull(head.c_str() + field + 18, nullptr, 10);
        // A HEAD answer says the length of a body it does not send: the next answer, or the
        // end, follows its head or its body.
        const auto answerAt = [&in](std::size_t at) {
            return at == in.size() || in.compare(at, 9, "HTTP/1.1 ") == 0;
        };
        if (end + 4 + length > in.size() || !answerAt(end + 4 + length)) {
            if (!answerAt(end + 4))
                __builtin_trap();
            length = 0;
        }
        in.erase(0, end + 4 + length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckAnswers(Exchange(text));
    if (const auto query = ParseReportQuery(text))
        if (query->icao.empty() || query->hours < 0 || query->hours > 96)
            __builtin_trap();
    DecodeQueryValue(text);
    return 0;
}
