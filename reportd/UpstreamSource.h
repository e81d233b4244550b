#pragma once

#include "observations/PageFetcher.h"
#include "reportd/ReportSource.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

// Real reports fetched on demand from an aviation-weather data service answering
// URL?ids=ICAO&hours=N&format=raw with raw reports one a line, newest first. Answers are kept
// per station for `cacheSeconds`; a 429 or 5xx answer (or none at all) backs off and serves what
// the cache holds. Every fetch has a deadline (10 seconds unless the limits say otherwise), and
// one station's fetch never holds another station's request.
class UpstreamSource : public ReportSource {
public:
    using Clock = std::function<std::int64_t()>;

    UpstreamSource(std::string url, int cacheSeconds, Clock clock,
                   PageFetcher::Limits limits = DefaultLimits());

    static PageFetcher::Limits DefaultLimits();

    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override;
    std::optional<std::vector<TimedReport>>
    ReportsAtHand(const StationRecord& station, std::int64_t from, std::int64_t to) override;
    void Stop() override { m_stopping = true; }

    // Asks the service once for the station's latest reports, outside the cache and the
    // back-off: empty when it answers, else what went wrong ("did not answer (...)").
    std::string Probe(const std::string& icao);

private:
    struct CacheEntry {
        std::int64_t fetchedAt = 0;
        int hours = 0; // how far back the cached answer reaches
        std::vector<TimedReport> reports;
    };

    // The cached answer (or, while backing off, the failure); none when the service must be
    // asked.
    std::optional<std::vector<TimedReport>> FromCache(const std::string& icao, std::int64_t from,
                                                      std::int64_t to, std::int64_t now) const;

    std::atomic<bool> m_stopping{false}; // before the fetcher, which points to it
    std::string m_url;
    int m_cacheSeconds;
    Clock m_clock;
    PageFetcher m_fetcher;
    mutable std::mutex m_mutex;
    std::map<std::string, CacheEntry> m_cache;
    std::int64_t m_backoffUntil = 0;
    int m_backoffSeconds = 0;
};

// Places the reports of a raw answer in time: each report's ddhhmmZ group is taken in the month
// of `now`, or the month before when that would lie in the future.
std::vector<TimedReport> ParseRawReports(const std::string& body, std::int64_t now);
