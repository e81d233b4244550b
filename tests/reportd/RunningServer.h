#pragma once

#include "reportd/ReportServer.h"
#include "tests/reportd/UtcTime.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace testing_support {

// A report server on 127.0.0.1 and a free port, serving on its own thread while it lives.
class RunningServer {
public:
    RunningServer(std::string stationList, std::unique_ptr<ReportSource> source,
                  ReportServer::Clock clock, const HttpServer::Options& options = {},
                  HttpServer::Logger notices = {})
        : m_server(std::move(stationList), std::move(source), std::move(clock)) {
        m_server.SetLogging(false);
        if (notices)
            m_server.SetNotices(std::move(notices));
        m_server.SetHttpOptions(options);
        m_port = m_server.Bind("127.0.0.1", 0);
        if (m_port <= 0)
            throw std::runtime_error("report server could not bind");
        m_thread = std::thread([this] { m_server.Run(); });
        while (!m_server.IsRunning())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RunningServer() {
        m_server.Stop();
        m_thread.join();
    }
    RunningServer(const RunningServer&) = delete;
    RunningServer& operator=(const RunningServer&) = delete;

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    int Port() const { return m_port; }
    ReportServer& Server() { return m_server; }

private:
    ReportServer m_server;
    std::thread m_thread;
    int m_port = 0;
};

} // namespace testing_support
