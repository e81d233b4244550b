#include "reportd/ReportServer.h"

#include "catalogue/StationList.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "reportd/ReportQuery.h"

#include "reportd/HttpServer.h"

#include <cstdio>

namespace {

std::map<std::string, StationInfo> StationDirectory(const std::string& list) {
    std::map<std::string, StationInfo> stations;
    ForEachStationLine(list, [&stations](std::string_view line) {
        StationInfo info;
        info.record = ParseStationLine(line);
        info.displayName = platform::Trim(line.substr(3, 17));
        if (!info.record.strICAO.empty())
            stations.emplace(info.record.strICAO, std::move(info)); // the first one counts
    });
    return stations;
}

} // namespace

ReportServer::ReportServer(std::string stationList, std::unique_ptr<ReportSource> source,
                           Clock clock)
    : m_stationList(std::move(stationList)), m_stations(StationDirectory(m_stationList)),
      m_source(std::move(source)), m_clock(std::move(clock)) {}

ReportServer::~ReportServer() = default;

ReportServer::Answer ReportServer::Handle(const std::string& path, const std::string& query) const {
    if (path == protocol::kStationListPath)
        return {200, "text/plain", m_stationList};
    if (path == protocol::kReportPath)
        return StationPage(query);
    return {404, "text/html", "<HTML><BODY><P>Not found</P></BODY></HTML>\n"};
}

ReportServer::Answer ReportServer::StationPage(const std::string& query) const {
    const auto request = ParseReportQuery(query);
    if (!request)
        return {200, "text/html", SorryPage("the request could not be understood.")};
    const auto station = m_stations.find(request->icao);
    if (station == m_stations.end())
        return {200, "text/html", SorryPage("no station " + request->icao + " is known here.")};

    const std::int64_t now = m_clock();
    std::vector<TimedReport> reports;
    try {
        reports = m_source->Reports(station->second.record,
                                    now - static_cast<std::int64_t>(request->hours == 0
                                                                        ? protocol::kMaxHours
                                                                        : request->hours) *
                                              3600,
                                    now);
    } catch (const SourceFailure& failure) {
        return {failure.Status(), "text/html", ServerErrorPage(failure.what())};
    }
    if (request->hours == 0 && reports.size() > 1)
        reports.resize(1);
    if (reports.empty())
        return {200, "text/html",
                SorryPage("no reports of " + request->icao + " in the period asked for.")};
    return {200, "text/html", TranslatedPage(station->second, reports, m_source->Simulated())};
}

int ReportServer::Bind(const std::string& host, int port) {
    auto answer = [this](const HttpServer::Request& req) { return Handle(req.path, req.query); };
    // Requests the server refuses itself (too long, malformed, with a body) still get a
    // readable answer; a failure of its own says so.
    auto errorPage = [](int status) {
        return status >= 500 ? ServerErrorPage("the reports could not be prepared.")
                             : SorryPage("the request could not be understood.");
    };
    m_http = std::make_unique<HttpServer>(answer, errorPage, m_httpOptions);
    // The list is ready-made: it is answered at once, whatever the sources are waiting for.
    m_http->AnswerAtOnce(std::string(protocol::kStationListPath));
    m_http->SetLogger([this](const HttpServer::Request& req, const HttpServer::Response& res) {
        if (m_logging)
            std::fprintf(stderr, "%s %s %s %d %zu\n", req.remote.c_str(), req.method.c_str(),
                         req.target.c_str(), res.status, res.body.size());
    });
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
