#pragma once

#include "reportd/HttpServer.h"
#include "reportd/ReportSource.h"
#include "reportd/TranslatedPage.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// Answers the viewer's two requests: the station list file, byte for byte, and a station's
// translated report page. Safe under the HTTP server's worker threads: the station directory
// is read-only after construction and the sources lock what they change.
class ReportServer {
public:
    using Clock = std::function<std::int64_t()>;

    using Answer = HttpServer::Response;

    ReportServer(std::string stationList, std::unique_ptr<ReportSource> source, Clock clock);
    ~ReportServer();

    // The answer for a request path and its raw (still encoded) query.
    Answer Handle(const std::string& path, const std::string& query) const;

    // Binds to the address; returns the port (the free one chosen for port 0), or -1 with errno
    // telling why (EADDRINUSE: another server holds the port).
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns false when serving failed.
    bool Run();
    void Stop();
    bool IsRunning() const;
    void SetLogging(bool on) { m_logging = on; }
    // Connection limits and deadlines, before Bind.
    void SetHttpOptions(const HttpServer::Options& options) { m_httpOptions = options; }

    int StationCount() const { return static_cast<int>(m_stations.size()); }
    // The ICAO code of one station of the list (the first by code), or empty for none.
    std::string AnyStationCode() const {
        return m_stations.empty() ? std::string() : m_stations.begin()->first;
    }

private:
    Answer StationPage(const std::string& query) const;

    std::string m_stationList;
    std::map<std::string, StationInfo> m_stations;
    std::unique_ptr<ReportSource> m_source;
    Clock m_clock;
    HttpServer::Options m_httpOptions;
    std::unique_ptr<HttpServer> m_http;
    bool m_logging = true;
};
