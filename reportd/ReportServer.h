#pragma once

#include "reportd/HttpServer.h"
#include "reportd/ReportSource.h"
#include "reportd/TranslatedPage.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Answers the viewer's requests: the station list file, byte for byte, a station's translated
// report page, and the table of every station's newest report (CSV, rows in the list's order).
// Pages are kept for as long as caches may keep them, so that a popular station costs one build a
// minute; an answer at hand never waits for one the source must fetch. Safe under the HTTP server's
// threads: the station directory is read-only after construction, the page cache and the sources
// lock what they change.
class ReportServer {
public:
    using Clock = std::function<std::int64_t()>;

    // How long caches (and this server) may keep an answer, in seconds.
    static constexpr int kStationListMaxAge = 3600;
    static constexpr int kPageMaxAge = 60;

    // `listModified`: when the station list last changed (0: when the server started).
    ReportServer(std::string stationList, std::unique_ptr<ReportSource> source, Clock clock,
                 std::int64_t listModified = 0);
    ~ReportServer();

    // The answer for a request path and its raw (still encoded) query, waiting for the source
    // when it must.
    SharedAnswer Handle(const std::string& path, const std::string& query) const;
    // The same without waiting: none when the source must be asked first.
    SharedAnswer HandleAtOnce(const std::string& path, const std::string& query) const;

    // Binds to the address; returns the port (the free one chosen for port 0), or -1 with errno
    // telling why (EADDRINUSE: another server holds the port).
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns false when serving failed.
    bool Run();
    void Stop();
    bool IsRunning() const;
    void SetLogging(bool on) { m_logging = on; }
    // Where notices about the server itself go (standard error unless set).
    void SetNotices(HttpServer::Logger notices) { m_notices = std::move(notices); }
    // Connection limits and deadlines, before Bind.
    void SetHttpOptions(const HttpServer::Options& options) { m_httpOptions = options; }

    int StationCount() const { return static_cast<int>(m_stations.size()); }
    // The ICAO code of one station of the list (the first by code), or empty for none.
    std::string AnyStationCode() const {
        return m_stations.empty() ? std::string() : m_stations.begin()->first;
    }

private:
    SharedAnswer Answer(const std::string& path, const std::string& query, bool mayWait) const;
    SharedAnswer StationPage(const std::string& query, bool mayWait) const;
    SharedAnswer LatestTable(const std::string& query, bool mayWait) const;
    // The answer kept under the key while it is fresh and made from the source's reports as
    // they are now; none otherwise.
    SharedAnswer Cached(const std::pair<std::string, int>& key, std::int64_t now,
                        std::uint64_t generation) const;
    void Keep(const std::pair<std::string, int>& key, SharedAnswer answer, std::int64_t now,
              std::uint64_t generation) const;

    // Each station once, as the list first has it: filled while m_stations is made.
    std::vector<const StationRecord*> m_listOrder;
    std::map<std::string, StationInfo> m_stations;
    SharedAnswer m_stationList;
    std::unique_ptr<ReportSource> m_source;
    Clock m_clock;

    struct CachedPage {
        SharedAnswer answer;
        std::int64_t until = 0;
        std::uint64_t generation = 0; // of the source's reports it was made from
    };
    mutable std::mutex m_cacheMutex;
    // By station and hours; the tables under an empty station.
    mutable std::map<std::pair<std::string, int>, CachedPage> m_pages;

    HttpServer::Options m_httpOptions;
    std::unique_ptr<HttpServer> m_http;
    bool m_logging = true;
    HttpServer::Logger m_notices;
};
