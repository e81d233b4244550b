#pragma once

#include "reportd/HttpAnswer.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// What the server passes its handlers of a request it took.
struct HttpRequest {
    std::string method;
    std::string target; // as sent
    std::string path;   // of the origin form, up to "?"
    std::string query;  // after "?", still encoded
    std::string remote; // the client's address
};

// The report server's HTTP layer: Boost.Beast on Boost.Asio reads, frames and writes; this
// class keeps the policy. Slow or idle clients hold no thread (a head must arrive whole within
// a deadline, an answer be read within another); keep-alive is limited in requests and idle
// time; bodies are refused unread; one client address cannot take every connection. Answers
// that are at hand are sent from the I/O threads; the others are made on a bounded pool of
// workers, so that a slow source never holds an answer that is ready.
class HttpServer {
public:
    // At once: the answer from what is at hand, or none when it must wait for something (it is
    // then asked of the second handler on a worker). Neither may throw past a fault of its own:
    // what it throws is answered with the error page of status 500.
    using Handler = std::function<SharedAnswer(const HttpRequest&)>;
    // The page of a status the server answers itself (a refusal, its own fault).
    using ErrorPage = std::function<std::string(int status)>;
    using Logger = std::function<void(const std::string& line)>;

    struct Options {
        int ioThreads = 1; // 0: one per core (an answer at hand takes microseconds)
        int workers = 16;
        int maxQueuedWork = 64; // beyond these waiting, 503 with Retry-After at once
        int backlog = 512;
        int maxConnections = 1024; // beyond these, new connections are closed at once
        int maxConnectionsPerClient = 32;
        int requestDeadlineMs = 5000; // from the connection (or the first byte) to the whole head
        int keepAliveIdleMs = 5000;   // between requests on one connection
        int keepAliveRequests = 100;  // requests on one connection
        int writeDeadlineMs = 30000;  // for sending one answer
        int acceptPauseMs = 100;      // after running out of file descriptors
        std::size_t maxHeadBytes = 8192; // request line and fields, without the blank line
    };

    HttpServer(Handler atOnce, Handler waiting, ErrorPage errorPage, Options options);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // One line per request; notices about the server itself.
    void SetLoggers(Logger requests, Logger notices);

    // Binds to the address and listens; returns the port (the free one chosen for port 0), or
    // -1 with errno telling why (EADDRINUSE for a port another server holds).
    int Bind(const std::string& host, int port);
    // Serves until Stop; false when nothing was bound.
    bool Run();
    // From any thread: Run returns soon after, every connection closed.
    void Stop();
    bool IsRunning() const;

    // Beast and Asio stay in the implementation.
    struct Impl;

private:
    std::unique_ptr<Impl> m;
};
