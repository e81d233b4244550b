#include "tests/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testing_support {

TestHttpServer::TestHttpServer(Handler handler, int port) {
    m_server.Get(".*", [this, handler](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lastTarget = req.target;
        }
        ++m_requests;
        handler(req, res);
    });
    m_port = port == 0 ? m_server.bind_to_any_port("127.0.0.1")
                       : (m_server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (m_port <= 0)
        throw std::runtime_error("test server could not bind");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // stop() before the server runs can hang, so wait until it does.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestHttpServer::~TestHttpServer() {
    m_server.stop();
    m_thread.join();
}

std::string TestHttpServer::LastTarget() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastTarget;
}

namespace {

int BindLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

} // namespace

SilentServer::SilentServer() {
    m_socket = BindLoopback(m_port);
    ::listen(m_socket, 16);
}

SilentServer::~SilentServer() {
    ::close(m_socket);
}

RawAnswerServer::RawAnswerServer(std::string answer) : m_answer(std::move(answer)) {
    m_socket = BindLoopback(m_port);
    ::listen(m_socket, 16);
    m_thread = std::thread([this] {
        for (;;) {
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0)
                return; // the listening socket was shut down
            // The request head, then the answer as it stands.
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                head.append(buffer, static_cast<std::size_t>(n));
            }
            ::send(client, m_answer.data(), m_answer.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    });
}

RawAnswerServer::~RawAnswerServer() {
    ::shutdown(m_socket, SHUT_RDWR);
    ::close(m_socket);
    m_thread.join();
}

int RefusingPort() {
    int port = 0;
    const int fd = BindLoopback(port);
    ::close(fd);
    return port;
}

} // namespace testing_support
