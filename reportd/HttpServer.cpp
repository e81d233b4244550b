#include "reportd/HttpServer.h"

#include "observations/PageFetcher.h"
#include "platform/CText.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

std::optional<RequestHead> ParseRequestHead(std::string_view text) {
    const std::string head(text);
    const std::size_t lineEnd = head.find('\n');
    const std::string line = platform::Trim(head.substr(0, lineEnd));
    const std::size_t s1 = line.find(' ');
    const std::size_t s2 = s1 == std::string::npos ? s1 : line.find(' ', s1 + 1);
    if (s1 == std::string::npos || s2 == std::string::npos)
        return std::nullopt;
    RequestHead result;
    result.method = line.substr(0, s1);
    result.target = line.substr(s1 + 1, s2 - s1 - 1);
    const std::string version = line.substr(s2 + 1);
    if (version.rfind("HTTP/1.", 0) != 0 || result.target.empty() || result.target[0] != '/' ||
        result.method.empty())
        return std::nullopt;
    result.keepAlive = version == "HTTP/1.1";
    std::size_t at = lineEnd == std::string::npos ? head.size() : lineEnd + 1;
    while (at < head.size()) {
        std::size_t next = head.find('\n', at);
        if (next == std::string::npos)
            next = head.size();
        const std::string field = head.substr(at, next - at);
        at = next + 1;
        const std::size_t colon = field.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = platform::ToLower(platform::Trim(field.substr(0, colon)));
        const std::string value = platform::ToLower(platform::Trim(field.substr(colon + 1)));
        if (name == "connection")
            result.keepAlive = value.find("close") == std::string::npos &&
                               (result.keepAlive || value.find("keep-alive") != std::string::npos);
        else if (name == "transfer-encoding" || (name == "content-length" && value != "0"))
            result.body = true;
    }
    return result;
}

struct HttpServer::Connection {
    // Draining: after a refusal, what the client still sends is read and dropped for a moment,
    // so that closing does not reset the connection before the client has read the answer.
    enum class State { Reading, Working, Writing, Draining };
    std::uint64_t id = 0;
    int fd = -1;
    std::string remote;
    State state = State::Reading;
    std::string in;       // bytes read and not yet taken as a request
    std::string out;      // the response being sent
    std::size_t sent = 0; // bytes of `out` sent
    bool closeAfter = false;
    bool drainAfter = false;
    std::size_t drained = 0;
    int requests = 0; // taken on this connection
    Request pending;  // the request a worker is answering
    std::int64_t deadline = 0;
};

HttpServer::HttpServer(Handler handler, ErrorPage errorPage, Options options)
    : m_handler(std::move(handler)), m_errorPage(std::move(errorPage)), m_options(options) {}

HttpServer::~HttpServer() {
    Stop();
    for (auto& [id, c] : m_connections)
        ::close(c->fd);
    if (m_listen >= 0)
        ::close(m_listen);
    if (m_wake >= 0)
        ::close(m_wake);
}

int HttpServer::Bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found) != 0 ||
        !found) {
        errno = EADDRNOTAVAIL;
        return -1;
    }
    int error = 0;
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        // Only a port left in TIME_WAIT is taken again; a port another server listens on is not
        // (no SO_REUSEPORT, which would let two servers split the requests).
        int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, m_options.backlog) == 0 &&
            SetNonBlocking(fd)) {
            m_listen = fd;
            break;
        }
        error = errno;
        ::close(fd);
    }
    freeaddrinfo(found);
    if (m_listen < 0) {
        errno = error;
        return -1;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&bound), &length);
    const int actual = bound.ss_family == AF_INET6
                           ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                           : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return actual;
}

void HttpServer::Wake() {
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    }
}

void HttpServer::Stop() {
    m_stopping = true;
    m_workReady.notify_all();
    Wake();
}

HttpServer::Response HttpServer::Handle(const Request& request) const {
    try {
        return m_handler(request);
    } catch (...) {
        return {500, "text/html", m_errorPage(500)};
    }
}

void HttpServer::Work() {
    for (;;) {
        std::pair<std::uint64_t, Request> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_workReady.wait(lock, [this] { return m_stopping || !m_work.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_work.front());
            m_work.pop_front();
        }
        Response response = Handle(job.second);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done.push_back({job.first, std::move(response)});
        }
        Wake();
    }
}

bool HttpServer::Run() {
    if (m_listen < 0 || m_wake < 0)
        return false;
    m_running = true;
    for (int i = 0; i < m_options.workers; ++i)
        m_workers.emplace_back([this] { Work(); });

    std::vector<pollfd> polls;
    std::vector<std::uint64_t> ids;
    while (!m_stopping) {
        const std::int64_t now = NowMs();
        // Connections past their deadline go.
        std::vector<std::uint64_t> late;
        for (auto& [id, c] : m_connections)
            if (c->state != Connection::State::Working && now >= c->deadline)
                late.push_back(id);
        for (std::uint64_t id : late)
            CloseConnection(id);

        polls.clear();
        ids.clear();
        polls.push_back({m_wake, POLLIN, 0});
        ids.push_back(0);
        polls.push_back({m_listen, POLLIN, 0});
        ids.push_back(0);
        std::int64_t nearest = now + 1000;
        for (auto& [id, c] : m_connections) {
            if (c->state == Connection::State::Working)
                continue;
            polls.push_back(
                {c->fd,
                 static_cast<short>(c->state == Connection::State::Writing ? POLLOUT : POLLIN), 0});
            ids.push_back(id);
            nearest = std::min(nearest, c->deadline);
        }
        const int timeout = static_cast<int>(std::clamp<std::int64_t>(nearest - now, 0, 1000));
        if (::poll(polls.data(), polls.size(), timeout) < 0 && errno != EINTR)
            break;
        if (m_stopping)
            break;

        const std::int64_t after = NowMs();
        if (polls[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = ::read(m_wake, &count, sizeof count);
        }
        // Answers the workers finished.
        std::vector<Done> done;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            done.swap(m_done);
        }
        for (Done& d : done) {
            const auto it = m_connections.find(d.id);
            if (it == m_connections.end())
                continue;
            Connection& c = *it->second;
            Answer(c, c.pending, std::move(d.response), !c.closeAfter, after);
        }
        if (polls[1].revents & POLLIN)
            Accept();
        for (std::size_t i = 2; i < polls.size(); ++i) {
            if (!polls[i].revents)
                continue;
            const auto it = m_connections.find(ids[i]);
            if (it == m_connections.end())
                continue;
            Connection& c = *it->second;
            if (polls[i].revents & (POLLERR | POLLNVAL)) {
                CloseConnection(c.id);
                continue;
            }
            if (c.state == Connection::State::Reading)
                ReadFrom(c, after);
            else if (c.state == Connection::State::Writing)
                WriteTo(c, after);
            else if (c.state == Connection::State::Draining)
                Drain(c);
        }
    }

    // Stopping: no new work; every connection closes; workers end after what they are doing.
    m_stopping = true;
    m_workReady.notify_all();
    for (std::thread& t : m_workers)
        t.join();
    m_workers.clear();
    std::vector<std::uint64_t> all;
    for (auto& [id, c] : m_connections)
        all.push_back(id);
    for (std::uint64_t id : all)
        CloseConnection(id);
    ::close(m_listen);
    m_listen = -1;
    m_running = false;
    return true;
}

void HttpServer::Accept() {
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(m_listen, reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (static_cast<int>(m_connections.size()) >= m_options.maxConnections) {
            ::close(fd); // full: the client may try again
            continue;
        }
        int yes = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto c = std::make_unique<Connection>();
        c->id = m_nextId++;
        c->fd = fd;
        char host[INET6_ADDRSTRLEN] = "";
        if (address.ss_family == AF_INET)
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&address)->sin_addr, host,
                      sizeof host);
        else if (address.ss_family == AF_INET6)
            inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&address)->sin6_addr, host,
                      sizeof host);
        c->remote = host;
        c->deadline = NowMs() + m_options.requestDeadlineMs;
        m_connections.emplace(c->id, std::move(c));
    }
}

void HttpServer::ReadFrom(Connection& c, std::int64_t now) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (got == 0) {
            CloseConnection(c.id);
            return;
        }
        if (got < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (errno == EINTR)
                continue;
            CloseConnection(c.id);
            return;
        }
        // A request begins: from now on its head has the request deadline.
        if (c.in.empty() && c.requests > 0)
            c.deadline = now + m_options.requestDeadlineMs;
        c.in.append(buffer, static_cast<std::size_t>(got));
        if (c.in.size() > m_options.maxHeadBytes + sizeof buffer)
            break;
    }
    TryRequest(c, now);
}

void HttpServer::TryRequest(Connection& c, std::int64_t now) {
    std::size_t end = c.in.find("\r\n\r\n");
    std::size_t skip = 4;
    if (end == std::string::npos) {
        end = c.in.find("\n\n");
        skip = 2;
    }
    if (end == std::string::npos) {
        if (c.in.size() > m_options.maxHeadBytes)
            Refuse(c, c.in.find('\n') == std::string::npos ? 414 : 431, now);
        return;
    }
    if (end > m_options.maxHeadBytes) {
        Refuse(c, 431, now);
        return;
    }
    const std::string text = c.in.substr(0, end);
    c.in.erase(0, end + skip);
    const auto head = ParseRequestHead(text);
    if (!head) {
        Refuse(c, 400, now);
        return;
    }
    Request request;
    request.remote = c.remote;
    request.method = head->method;
    request.target = head->target;
    const std::size_t mark = request.target.find('?');
    request.path = request.target.substr(0, mark);
    request.query = mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
    bool keepAlive = head->keepAlive;
    const bool body = head->body;

    // The server takes GET only: a body is never read, however large it says it is.
    if (body) {
        Refuse(c, 413, now);
        return;
    }
    if (request.method != "GET") {
        Refuse(c, 405, now);
        return;
    }
    ++c.requests;
    keepAlive = keepAlive && c.requests < m_options.keepAliveRequests;
    if (m_quickPaths.count(request.path)) {
        Answer(c, request, Handle(request), keepAlive, now);
        return;
    }
    // A worker answers it; the connection waits meanwhile, and Run sends the answer.
    c.state = Connection::State::Working;
    c.closeAfter = !keepAlive;
    c.pending = request;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_work.emplace_back(c.id, std::move(request));
    }
    m_workReady.notify_one();
}

void HttpServer::Answer(Connection& c, const Request& request, Response response, bool keepAlive,
                        std::int64_t now) {
    if (m_logger)
        m_logger(request, response);
    c.closeAfter = !keepAlive;
    const std::string reason = HttpReasonPhrase(response.status);
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " +
                      (reason.empty() ? "Error" : reason) +
                      "\r\nContent-Type: " + response.contentType +
                      "\r\nContent-Length: " + std::to_string(response.body.size()) +
                      "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") + "\r\n";
    if (response.status == 405)
        out += "Allow: GET\r\n";
    out += "\r\n";
    out += response.body;
    c.out = std::move(out);
    c.sent = 0;
    c.state = Connection::State::Writing;
    c.deadline = now + m_options.writeDeadlineMs;
    WriteTo(c, now);
}

void HttpServer::Refuse(Connection& c, int status, std::int64_t now) {
    Request request;
    request.remote = c.remote;
    request.method = "-";
    request.target = "(refused)";
    c.in.clear();
    c.drainAfter = true;
    Answer(c, request, {status, "text/html", m_errorPage(status)}, false, now);
}

void HttpServer::Drain(Connection& c) {
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            c.drained += static_cast<std::size_t>(got);
            if (c.drained < 4u * 1024u * 1024u)
                continue;
        } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else if (got < 0 && errno == EINTR) {
            continue;
        }
        CloseConnection(c.id); // the client closed, or sent enough to be dropped
        return;
    }
}

void HttpServer::WriteTo(Connection& c, std::int64_t now) {
    while (c.sent < c.out.size()) {
        const ssize_t put =
            ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
        if (put < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            if (errno == EINTR)
                continue;
            CloseConnection(c.id);
            return;
        }
        c.sent += static_cast<std::size_t>(put);
    }
    if (c.closeAfter && c.drainAfter) {
        ::shutdown(c.fd, SHUT_WR);
        c.state = Connection::State::Draining;
        c.deadline = now + 1000;
        return;
    }
    if (c.closeAfter) {
        CloseConnection(c.id);
        return;
    }
    c.out.clear();
    c.sent = 0;
    c.state = Connection::State::Reading;
    c.deadline = now + m_options.keepAliveIdleMs;
    if (!c.in.empty()) { // the next request came along already
        c.deadline = now + m_options.requestDeadlineMs;
        TryRequest(c, now);
    }
}

void HttpServer::CloseConnection(std::uint64_t id) {
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    ::close(it->second->fd);
    m_connections.erase(it);
}
