#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace testing_support {

// An HTTP server on 127.0.0.1 and a free port, running on its own thread while the object lives.
class TestHttpServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    // Every GET goes to `handler`; on a free port, or on the port given.
    explicit TestHttpServer(Handler handler, int port = 0);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    int Port() const { return m_port; }
    int RequestCount() const { return m_requests.load(); }
    std::string LastTarget() const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<int> m_requests{0};
    mutable std::mutex m_mutex;
    std::string m_lastTarget;
};

// Accepts connections (the kernel completes them) but never reads or answers.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_socket = -1;
    int m_port = 0;
};

// Answers every connection with the same bytes, as written (a response with or without a
// length, cut or whole), then closes it.
class RawAnswerServer {
public:
    explicit RawAnswerServer(std::string answer);
    ~RawAnswerServer();
    RawAnswerServer(const RawAnswerServer&) = delete;
    RawAnswerServer& operator=(const RawAnswerServer&) = delete;
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_socket = -1;
    int m_port = 0;
    std::string m_answer;
    std::thread m_thread;
};

// A loopback port that refuses connections (bound, then closed).
int RefusingPort();

} // namespace testing_support
