#include "tests/reportd/RawClient.h"

#include "platform/CText.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace testing_support {

int ConnectTo(int port, const std::string& from) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    if (!from.empty()) {
        inet_pton(AF_INET, from.c_str(), &addr.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            return -1;
        }
    }
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::vector<RawAnswer> ReadAnswers(std::string& bytes, int headAnswers) {
    std::vector<RawAnswer> answers;
    for (;;) {
        const std::size_t end = bytes.find("\r\n\r\n");
        if (end == std::string::npos || bytes.rfind("HTTP/1.", 0) != 0)
            return answers;
        RawAnswer a;
        a.status = std::atoi(bytes.c_str() + 9);
        std::size_t at = bytes.find("\r\n") + 2;
        while (at < end + 2) {
            const std::size_t next = bytes.find("\r\n", at);
            const std::string line = bytes.substr(at, next - at);
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos)
                a.fields[platform::ToLower(line.substr(0, colon))] =
                    platform::Trim(line.substr(colon + 1));
            at = next + 2;
        }
        std::size_t length = 0;
        if (static_cast<int>(answers.size()) >= headAnswers && a.status != 304)
            length = std::strtoull(a.Field("content-length").c_str(), nullptr, 10);
        if (bytes.size() < end + 4 + length)
            return answers;
        a.body = bytes.substr(end + 4, length);
        bytes.erase(0, end + 4 + length);
        answers.push_back(std::move(a));
    }
}

RawTalk TalkOn(int fd, const std::string& bytes, bool halfClose, std::chrono::milliseconds wait) {
    RawTalk talk;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put <= 0)
            break;
        sent += static_cast<std::size_t>(put);
    }
    if (halfClose)
        ::shutdown(fd, SHUT_WR);
    std::string in;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[65536];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got == 0) {
            talk.closed = true;
            break;
        }
        if (got < 0) {
            talk.reset = errno == ECONNRESET;
            break;
        }
        in.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    const int heads = static_cast<int>(bytes.rfind("HEAD ", 0) == 0);
    talk.answers = ReadAnswers(in, heads);
    talk.rest = in;
    return talk;
}

RawTalk Talk(int port, const std::string& bytes, bool halfClose, std::chrono::milliseconds wait) {
    const int fd = ConnectTo(port);
    if (fd < 0)
        return {};
    return TalkOn(fd, bytes, halfClose, wait);
}

std::string Get(const std::string& target, const std::string& fields) {
    return "GET " + target + " HTTP/1.1\r\nHost: x\r\n" + fields + "\r\n";
}

} // namespace testing_support
