#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// What a request head (the text before its blank line) says, as far as the server needs it.
struct RequestHead {
    std::string method;
    std::string target;
    bool keepAlive = false; // HTTP/1.1 unless "Connection: close", HTTP/1.0 with "keep-alive"
    bool body = false;      // a body is announced
};
// None for a head that is not an HTTP/1.x request line (with headers) for a path.
std::optional<RequestHead> ParseRequestHead(std::string_view head);

// A small HTTP/1.1 server for GET requests that slow or hostile clients cannot take out of
// service. One thread accepts connections and does all reading and writing without blocking,
// so a client that sends or reads a byte a second holds no worker; a request must arrive whole
// within a deadline; keep-alive is limited in requests and idle time; request bodies are
// refused unread. Complete requests go to a pool of workers, or are answered at once on paths
// whose answers are ready-made.
class HttpServer {
public:
    struct Request {
        std::string method;
        std::string target; // as sent, query included
        std::string path;   // the target up to "?"
        std::string query;  // after "?", still encoded
        std::string remote; // the client's address
    };
    struct Response {
        int status = 200;
        std::string contentType = "text/html";
        std::string body;
    };
    using Handler = std::function<Response(const Request&)>;
    // Answers for requests the server refuses itself (too long, malformed, with a body, not GET).
    using ErrorPage = std::function<std::string(int status)>;
    using Logger = std::function<void(const Request&, const Response&)>;

    struct Options {
        int workers = 16;
        int backlog = 512;
        int maxConnections = 1024;    // beyond these, new connections are closed at once
        int requestDeadlineMs = 5000; // from the first byte (or the connection) to the whole head
        int keepAliveIdleMs = 5000;   // between requests on one connection
        int keepAliveRequests = 100;  // requests on one connection
        int writeDeadlineMs = 30000;  // for sending one response
        std::size_t maxHeadBytes = 8192;
    };

    HttpServer(Handler handler, ErrorPage errorPage, Options options);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Requests for these paths are answered on the connection thread (their handler must not
    // wait for anything).
    void AnswerAtOnce(const std::string& path) { m_quickPaths.insert(path); }
    void SetLogger(Logger logger) { m_logger = std::move(logger); }

    // Binds to the address and listens; returns the port (the free one chosen for port 0), or
    // -1 with errno telling why (EADDRINUSE for a port another server holds).
    int Bind(const std::string& host, int port);
    // Serves until Stop; false when nothing was bound.
    bool Run();
    // From any thread: Run returns soon after, every connection closed.
    void Stop();
    bool IsRunning() const { return m_running.load(); }

private:
    struct Connection;
    struct Done {
        std::uint64_t id;
        Response response;
    };

    void Accept();
    void ReadFrom(Connection& c, std::int64_t now);
    void WriteTo(Connection& c, std::int64_t now);
    // Takes a whole request head from the buffer, if there is one, and starts answering it.
    void TryRequest(Connection& c, std::int64_t now);
    void Answer(Connection& c, const Request& request, Response response, bool keepAlive,
                std::int64_t now);
    void Refuse(Connection& c, int status, std::int64_t now);
    void Drain(Connection& c);
    void CloseConnection(std::uint64_t id);
    void Wake();
    void Work();
    // The handler's answer, or the error page of a handler that failed.
    Response Handle(const Request& request) const;

    Handler m_handler;
    ErrorPage m_errorPage;
    Options m_options;
    Logger m_logger;
    std::set<std::string> m_quickPaths;

    int m_listen = -1;
    int m_wake = -1; // an eventfd: Stop and finished work
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopping{false};

    std::map<std::uint64_t, std::unique_ptr<Connection>> m_connections;
    std::uint64_t m_nextId = 1;

    // Work for the pool, and what it finished.
    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::deque<std::pair<std::uint64_t, Request>> m_work;
    std::vector<Done> m_done;
    std::vector<std::thread> m_workers;
};
