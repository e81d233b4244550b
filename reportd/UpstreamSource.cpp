#include "reportd/UpstreamSource.h"

#include "observations/CurrentReports.h"
#include "observations/MetarDecoder.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int kFirstBackoffSeconds = 30;
constexpr int kLongestBackoffSeconds = 900;

std::int64_t PlaceInTime(int day, int hour, int minute, std::int64_t now) {
    const std::tm today = platform::UtcBreakdown(now).value_or(std::tm{});
    int year = today.tm_year + 1900;
    int month = today.tm_mon + 1;
    std::int64_t t = platform::MakeUtcTime({year, month, day, hour, minute, 0}).value_or(0);
    if (t > now + 3600) { // a report from the end of last month
        if (--month == 0) {
            month = 12;
            --year;
        }
        t = platform::MakeUtcTime({year, month, day, hour, minute, 0}).value_or(0);
    }
    return t;
}

std::string QueryUrl(const std::string& base, const std::string& icao, int hours) {
    return base + (base.find('?') == std::string::npos ? "?" : "&") +
           "ids=" + PageFetcher::EscapeQueryValue(icao) + "&hours=" + std::to_string(hours) +
           "&format=raw";
}

} // namespace

std::vector<TimedReport> ParseRawReports(const std::string& body, std::int64_t now) {
    std::vector<TimedReport> reports;
    std::istringstream in(body);
    for (std::string line; std::getline(in, line);) {
        const std::string raw = CleanReport(line);
        if (raw.empty())
            continue;
        const MetarReport decoded = DecodeMetar(raw);
        if (decoded.hour < 0 || decoded.day < 1 || decoded.day > 31)
            continue;
        reports.push_back({PlaceInTime(decoded.day, decoded.hour, decoded.minute, now), raw});
    }
    std::stable_sort(reports.begin(), reports.end(),
                     [](const TimedReport& a, const TimedReport& b) { return a.time > b.time; });
    return reports;
}

PageFetcher::Limits UpstreamSource::DefaultLimits() {
    PageFetcher::Limits limits;
    limits.connectTimeoutMs = 5000;
    limits.idleTimeoutMs = 10000;
    limits.totalTimeoutMs = 10000;
    return limits;
}

UpstreamSource::UpstreamSource(std::string url, int cacheSeconds, Clock clock,
                               PageFetcher::Limits limits)
    : m_url(std::move(url)), m_cacheSeconds(cacheSeconds), m_clock(std::move(clock)),
      m_bulkUrl(BulkUrlOf(m_url)) {
    limits.cancel = &m_stopping; // a stopping server does not wait for the service
    m_fetcher.SetLimits(limits);
    // The bulk file is some ten megabytes: more time for it, the same cancellation.
    limits.totalTimeoutMs = std::max<long>(limits.totalTimeoutMs, 60000);
    m_bulkFetcher.SetLimits(limits);
}

std::string UpstreamSource::BulkUrlOf(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t hostFrom = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t hostEnd = url.find_first_of("/?#", hostFrom);
    return url.substr(0, hostEnd) + std::string(kBulkReportsPath);
}

std::string UpstreamSource::Probe(const std::string& icao) {
    const PageFetcher::Response answer = m_fetcher.Get(QueryUrl(m_url, icao, 1));
    if (answer.Ok() || answer.status == 204)
        return {};
    return DescribeFailure(answer, m_fetcher.GetLimits());
}

namespace {

int HoursBack(std::int64_t from, std::int64_t now) {
    return static_cast<int>(std::clamp<std::int64_t>((now - from + 3599) / 3600, 1, 96));
}

std::vector<TimedReport> Select(const std::vector<TimedReport>& all, std::int64_t from,
                                std::int64_t to) {
    std::vector<TimedReport> out;
    for (const TimedReport& r : all)
        if (r.time >= from && r.time <= to)
            out.push_back(r);
    return out;
}

} // namespace

std::optional<std::vector<TimedReport>> UpstreamSource::FromCache(const std::string& icao,
                                                                  std::int64_t from,
                                                                  std::int64_t to,
                                                                  std::int64_t now) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto cached = m_cache.find(icao);
    const bool fresh = cached != m_cache.end() && now - cached->second.fetchedAt < m_cacheSeconds &&
                       cached->second.hours >= HoursBack(from, now);
    if (fresh)
        return Select(cached->second.reports, from, to);
    if (now < m_backoffUntil) {
        // Resting after a failure: what the cache holds, else nothing can be said.
        if (cached != m_cache.end() && cached->second.fetchedAt > 0)
            return Select(cached->second.reports, from, to);
        throw SourceFailure(503, platform::Format("the data service at %s failed a moment "
                                                  "ago; it is asked again in %lld seconds.",
                                                  m_url.c_str(),
                                                  static_cast<long long>(m_backoffUntil - now)));
    }
    return std::nullopt;
}

std::optional<std::vector<TimedReport>>
UpstreamSource::ReportsAtHand(const StationRecord& station, std::int64_t from, std::int64_t to) {
    auto reports = FromCache(station.strICAO, from, to, m_clock());
    if (reports) {
        std::lock_guard<std::mutex> lock(m_mutex);
        AddBulkReport(station.strICAO, from, to, *reports);
    }
    return reports;
}

void UpstreamSource::AddBulkReport(const std::string& icao, std::int64_t from, std::int64_t to,
                                   std::vector<TimedReport>& reports) const {
    const auto bulk = m_bulk.find(icao);
    if (bulk == m_bulk.end() || bulk->second.time < from || bulk->second.time > to)
        return;
    if (reports.empty() || bulk->second.time > reports.front().time)
        reports.insert(reports.begin(), bulk->second);
}

bool UpstreamSource::HaveBulk(std::int64_t now, bool mayWait) {
    auto recent = [this, now] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bulkAskedAt == 0 || now - m_bulkAskedAt >= kBulkSeconds || now < m_bulkAskedAt)
            return false;
        if (!m_bulkFailure.empty())
            throw SourceFailure(502, m_bulkFailure);
        return true;
    };
    if (recent())
        return true;
    if (!mayWait)
        return false;
    std::lock_guard<std::mutex> fetching(m_bulkFetchMutex);
    if (recent()) // fetched meanwhile by another request
        return true;
    FetchBulk(now);
    return recent();
}

void UpstreamSource::FetchBulk(std::int64_t now) {
    const PageFetcher::Response answer = m_bulkFetcher.Get(m_bulkUrl);
    std::string failure;
    std::map<std::string, TimedReport> newest;
    if (!answer.Ok()) {
        failure =
            platform::Format("the data service's file of current reports %s %s.", m_bulkUrl.c_str(),
                             DescribeFailure(answer, m_bulkFetcher.GetLimits()).c_str());
    } else {
        try {
            const CurrentReports file = ReadCurrentReportsFile(answer.body);
            for (const CurrentReport& r : file.reports) {
                TimedReport report{r.observedUtc, CleanReport(r.raw)};
                auto [at, added] = newest.emplace(r.icao, report);
                if (!added && report.time > at->second.time)
                    at->second = std::move(report);
            }
            if (newest.empty())
                failure = platform::Format(
                    "the data service's file of current reports %s holds no reports.",
                    m_bulkUrl.c_str());
        } catch (const TableFormatError& error) {
            failure = platform::Format(
                "the data service's file of current reports %s cannot be read: %s.",
                m_bulkUrl.c_str(), error.what());
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bulkAskedAt = now;
    m_bulkFailure = failure;
    if (failure.empty() && newest != m_bulk) {
        m_bulk = std::move(newest);
        ++m_generation; // pages made before may now lack a newer report
    }
}

std::vector<std::optional<TimedReport>>
UpstreamSource::NewestOf(const std::vector<const StationRecord*>& stations, std::int64_t from,
                         std::int64_t to, std::int64_t now) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::optional<TimedReport>> newest(stations.size());
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const std::string& icao = stations[i]->strICAO;
        std::vector<TimedReport> reports;
        // A station's own answer, while its page would still be made from it.
        const auto cached = m_cache.find(icao);
        if (cached != m_cache.end() && cached->second.fetchedAt > 0 &&
            now - cached->second.fetchedAt < m_cacheSeconds)
            for (const TimedReport& r : cached->second.reports)
                if (r.time >= from && r.time <= to) {
                    reports.push_back(r);
                    break;
                }
        AddBulkReport(icao, from, to, reports);
        if (!reports.empty())
            newest[i] = std::move(reports.front());
    }
    return newest;
}

std::vector<std::optional<TimedReport>>
UpstreamSource::NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                              std::int64_t to) {
    const std::int64_t now = m_clock();
    HaveBulk(now, true);
    return NewestOf(stations, from, to, now);
}

std::optional<std::vector<std::optional<TimedReport>>>
UpstreamSource::NewestReportsAtHand(const std::vector<const StationRecord*>& stations,
                                    std::int64_t from, std::int64_t to) {
    const std::int64_t now = m_clock();
    if (!HaveBulk(now, false))
        return std::nullopt;
    return NewestOf(stations, from, to, now);
}

std::vector<TimedReport> UpstreamSource::Reports(const StationRecord& station, std::int64_t from,
                                                 std::int64_t to) {
    const std::int64_t now = m_clock();
    const int hours = HoursBack(from, now);
    auto select = [this, &station, from, to](const std::vector<TimedReport>& all) {
        std::vector<TimedReport> reports = Select(all, from, to);
        AddBulkReport(station.strICAO, from, to, reports);
        return reports;
    };
    if (auto cached = FromCache(station.strICAO, from, to, now)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        AddBulkReport(station.strICAO, from, to, *cached);
        return std::move(*cached);
    }

    // Fetched without holding the lock, so that one slow answer does not stall other stations.
    const PageFetcher::Response answer = m_fetcher.Get(QueryUrl(m_url, station.strICAO, hours));

    std::lock_guard<std::mutex> lock(m_mutex);
    CacheEntry& entry = m_cache[station.strICAO];
    // Reports fetched before stand in for a failed answer; without any, the failure is ours.
    auto staleOrFailure = [&](int status) {
        if (entry.fetchedAt > 0)
            return select(entry.reports);
        throw SourceFailure(
            status, platform::Format("the data service at %s %s.", m_url.c_str(),
                                     DescribeFailure(answer, m_fetcher.GetLimits()).c_str()));
    };
    const bool overloaded = answer.status == 0 || answer.status == 429 || answer.status >= 500;
    if (overloaded) {
        m_backoffSeconds = m_backoffSeconds == 0
                               ? kFirstBackoffSeconds
                               : std::min(m_backoffSeconds * 2, kLongestBackoffSeconds);
        m_backoffUntil = now + m_backoffSeconds;
        return staleOrFailure(answer.status == 0 ? 502 : 503);
    }
    m_backoffSeconds = 0;
    if (answer.status == 204) { // the service knows no reports for the station
        entry.fetchedAt = now;
        entry.hours = hours;
        entry.reports.clear();
        return select(entry.reports);
    }
    if (!answer.Ok())
        return staleOrFailure(502);
    entry.fetchedAt = now;
    entry.hours = hours;
    entry.reports = ParseRawReports(answer.body, now);
    return select(entry.reports);
}
