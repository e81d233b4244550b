#include "reportd/ReportServer.h"

#include "catalogue/StationList.h"
#include "observations/LatestTable.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "reportd/ReportQuery.h"

#include <cstdio>

namespace {

// Pages kept at most; beyond, the expired ones go, and all of them when none has expired.
constexpr std::size_t kMostCachedPages = 4096;

std::map<std::string, StationInfo> StationDirectory(const std::string& list,
                                                    std::vector<const StationRecord*>& order) {
    std::map<std::string, StationInfo> stations;
    ForEachStationLine(list, [&stations, &order](std::string_view line) {
        StationInfo info;
        info.record = ParseStationLine(line);
        info.displayName = platform::Trim(line.substr(3, 17));
        if (info.record.strICAO.empty())
            return;
        // The first one counts.
        const auto [at, added] = stations.emplace(info.record.strICAO, std::move(info));
        if (added)
            order.push_back(&at->second.record);
    });
    return stations;
}

SharedAnswer BadTableRequest() {
    auto answer = std::make_shared<HttpAnswer>(*MakeErrorAnswer(
        400,
        platform::Format("The request could not be understood: %s wants a whole number of "
                         "hours from 1 to %d.\n",
                         std::string(protocol::kLatestHoursKey).c_str(), protocol::kMaxHours)));
    answer->contentType = "text/plain; charset=utf-8";
    return answer;
}

void ToStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace

ReportServer::ReportServer(std::string stationList, std::unique_ptr<ReportSource> source,
                           Clock clock, std::int64_t listModified)
    : m_stations(StationDirectory(stationList, m_listOrder)), m_source(std::move(source)),
      m_clock(std::move(clock)) {
    // Made and compressed once: every request for it shares these bytes.
    m_stationList = MakeAnswer("text/plain", std::move(stationList),
                               listModified > 0 ? listModified : m_clock(), kStationListMaxAge);
}

ReportServer::~ReportServer() = default;

SharedAnswer ReportServer::Handle(const std::string& path, const std::string& query) const {
    return Answer(path, query, true);
}

SharedAnswer ReportServer::HandleAtOnce(const std::string& path, const std::string& query) const {
    return Answer(path, query, false);
}

SharedAnswer ReportServer::Answer(const std::string& path, const std::string& query,
                                  bool mayWait) const {
    if (path == protocol::kStationListPath)
        return m_stationList;
    if (path == protocol::kReportPath)
        return StationPage(query, mayWait);
    if (path == protocol::kLatestPath)
        return LatestTable(query, mayWait);
    return MakeErrorAnswer(404, "<HTML><BODY><P>Not found</P></BODY></HTML>\n");
}

SharedAnswer ReportServer::StationPage(const std::string& query, bool mayWait) const {
    const std::int64_t now = m_clock();
    const auto request = ParseReportQuery(query);
    if (!request)
        return MakeAnswer("text/html", SorryPage("the request could not be understood."), now,
                          kPageMaxAge);
    const auto station = m_stations.find(request->icao);
    if (station == m_stations.end())
        return MakeAnswer("text/html", SorryPage("no station " + request->icao + " is known here."),
                          now, kPageMaxAge);

    const auto key = std::make_pair(request->icao, request->hours);
    const std::uint64_t generation = m_source->Generation();
    if (SharedAnswer cached = Cached(key, now, generation))
        return cached;

    const std::int64_t from =
        now -
        static_cast<std::int64_t>(request->hours == 0 ? protocol::kMaxHours : request->hours) *
            3600;
    std::vector<TimedReport> reports;
    try {
        if (mayWait) {
            reports = m_source->Reports(station->second.record, from, now);
        } else {
            auto atHand = m_source->ReportsAtHand(station->second.record, from, now);
            if (!atHand)
                return nullptr;
            reports = std::move(*atHand);
        }
    } catch (const SourceFailure& failure) {
        return MakeErrorAnswer(failure.Status(), ServerErrorPage(failure.what()));
    }
    if (request->hours == 0 && reports.size() > 1)
        reports.resize(1);
    SharedAnswer page =
        reports.empty()
            ? MakeAnswer("text/html",
                         SorryPage("no reports of " + request->icao + " in the period asked for."),
                         now, kPageMaxAge)
            : MakeAnswer("text/html",
                         TranslatedPage(station->second, reports, m_source->Simulated()), now,
                         kPageMaxAge);

    Keep(key, page, now, generation);
    return page;
}

SharedAnswer ReportServer::LatestTable(const std::string& query, bool mayWait) const {
    const auto hours = ParseLatestQuery(query);
    if (!hours)
        return BadTableRequest();
    const std::int64_t now = m_clock();
    const auto key = std::make_pair(std::string(), *hours);
    const std::uint64_t generation = m_source->Generation();
    if (SharedAnswer cached = Cached(key, now, generation))
        return cached;

    const std::int64_t from = now - static_cast<std::int64_t>(*hours) * 3600;
    std::vector<std::optional<TimedReport>> newest;
    try {
        if (mayWait) {
            newest = m_source->NewestReports(m_listOrder, from, now);
        } else {
            auto atHand = m_source->NewestReportsAtHand(m_listOrder, from, now);
            if (!atHand)
                return nullptr;
            newest = std::move(*atHand);
        }
    } catch (const SourceFailure& failure) {
        return MakeErrorAnswer(failure.Status(), ServerErrorPage(failure.what()));
    }
    std::vector<LatestRow> rows;
    rows.reserve(m_listOrder.size());
    for (std::size_t i = 0; i < newest.size() && i < m_listOrder.size(); ++i)
        if (newest[i])
            rows.push_back(
                MakeLatestRow(m_listOrder[i]->strICAO, newest[i]->time, std::move(newest[i]->raw)));
    SharedAnswer table =
        MakeAnswer("text/csv; charset=utf-8", WriteLatestTable(rows), now, kPageMaxAge);
    Keep(key, table, now, generation);
    return table;
}

SharedAnswer ReportServer::Cached(const std::pair<std::string, int>& key, std::int64_t now,
                                  std::uint64_t generation) const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    const auto cached = m_pages.find(key);
    if (cached != m_pages.end() && now < cached->second.until &&
        cached->second.generation == generation)
        return cached->second.answer;
    return nullptr;
}

void ReportServer::Keep(const std::pair<std::string, int>& key, SharedAnswer answer,
                        std::int64_t now, std::uint64_t generation) const {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (m_pages.size() >= kMostCachedPages) {
        std::erase_if(m_pages, [now](const auto& entry) { return entry.second.until <= now; });
        if (m_pages.size() >= kMostCachedPages)
            m_pages.clear();
    }
    m_pages[key] = {std::move(answer), now + kPageMaxAge, generation};
}

int ReportServer::Bind(const std::string& host, int port) {
    auto atOnce = [this](const HttpRequest& req) { return HandleAtOnce(req.path, req.query); };
    auto waiting = [this](const HttpRequest& req) { return Handle(req.path, req.query); };
    // Requests the server refuses itself (too long, malformed, with a body) still get a
    // readable answer; a failure of its own says so.
    auto errorPage = [](int status) {
        return status >= 500 ? ServerErrorPage("the reports could not be prepared.")
                             : SorryPage("the request could not be understood.");
    };
    m_http = std::make_unique<HttpServer>(atOnce, waiting, errorPage, m_httpOptions);
    HttpServer::Logger requests;
    if (m_logging)
        requests = ToStandardError;
    m_http->SetLoggers(requests, m_notices ? m_notices : ToStandardError);
    return m_http->Bind(host, port);
}

bool ReportServer::Run() {
    return m_http && m_http->Run();
}

void ReportServer::Stop() {
    // A source waiting for an upstream service gives up, so that the workers end at once.
    m_source->Stop();
    if (m_http)
        m_http->Stop();
}

bool ReportServer::IsRunning() const {
    return m_http && m_http->IsRunning();
}
