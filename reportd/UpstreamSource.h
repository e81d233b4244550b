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
//
// The newest report of every station comes from the service's bulk file of current reports
// (gzip CSV), fetched only when the table is asked for and at most once every kBulkSeconds. A
// station's page shows the bulk file's report too when it is newer than what the station's own
// answer holds, so that a station's row in the table and its page always agree.
class UpstreamSource : public ReportSource {
public:
    using Clock = std::function<std::int64_t()>;

    UpstreamSource(std::string url, int cacheSeconds, Clock clock,
                   PageFetcher::Limits limits = DefaultLimits());

    static PageFetcher::Limits DefaultLimits();

    // How often the bulk file is fetched at most, in seconds.
    static constexpr int kBulkSeconds = 60;
    // The bulk file on the host of the service's address: scheme, host and port of `url` and
    // kBulkReportsPath.
    static std::string BulkUrlOf(const std::string& url);
    // Another place of the bulk file than BulkUrlOf(url).
    void SetBulkUrl(std::string url) { m_bulkUrl = std::move(url); }
    const std::string& BulkUrl() const { return m_bulkUrl; }

    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override;
    std::optional<std::vector<TimedReport>>
    ReportsAtHand(const StationRecord& station, std::int64_t from, std::int64_t to) override;
    std::vector<std::optional<TimedReport>>
    NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                  std::int64_t to) override;
    std::optional<std::vector<std::optional<TimedReport>>>
    NewestReportsAtHand(const std::vector<const StationRecord*>& stations, std::int64_t from,
                        std::int64_t to) override;
    std::uint64_t Generation() const override { return m_generation.load(); }
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

    // Fetches the bulk file when the last attempt is kBulkSeconds old (false without waiting
    // for it when `mayWait` is clear); SourceFailure when the latest attempt failed.
    bool HaveBulk(std::int64_t now, bool mayWait);
    void FetchBulk(std::int64_t now);
    // The reports with the bulk file's report of the station in front when that is newer
    // (under m_mutex).
    void AddBulkReport(const std::string& icao, std::int64_t from, std::int64_t to,
                       std::vector<TimedReport>& reports) const;
    std::vector<std::optional<TimedReport>>
    NewestOf(const std::vector<const StationRecord*>& stations, std::int64_t from, std::int64_t to,
             std::int64_t now) const;

    std::atomic<bool> m_stopping{false}; // before the fetcher, which points to it
    std::string m_url;
    int m_cacheSeconds;
    Clock m_clock;
    PageFetcher m_fetcher;
    mutable std::mutex m_mutex;
    std::map<std::string, CacheEntry> m_cache;
    std::int64_t m_backoffUntil = 0;
    int m_backoffSeconds = 0;

    std::string m_bulkUrl;
    PageFetcher m_bulkFetcher;
    std::mutex m_bulkFetchMutex; // one fetch of the bulk file at a time
    // Under m_mutex: the newest report of each station in the latest bulk file read, when the
    // file was last asked for (0: never), and why that failed (empty when it did not).
    std::map<std::string, TimedReport> m_bulk;
    std::int64_t m_bulkAskedAt = 0;
    std::string m_bulkFailure;
    std::atomic<std::uint64_t> m_generation{0};
};

// Places the reports of a raw answer in time: each report's ddhhmmZ group is taken in the month
// of `now`, or the month before when that would lie in the future.
std::vector<TimedReport> ParseRawReports(const std::string& body, std::int64_t now);
