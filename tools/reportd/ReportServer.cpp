#include "tools/reportd/ReportServer.h"

#include "catalogue/StationList.h"
#include "platform/CText.h"
#include "tools/reportd/ReportQuery.h"

#include <httplib.h>

#include <cstdio>

namespace {

constexpr const char* kListPath = "/weather/surface/stations.txt";
constexpr const char* kReportPath = "/weather/surface/index.php";

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
    if (path == kListPath)
        return {200, "text/plain", m_stationList};
    if (path == kReportPath)
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
        reports = m_source->Reports(
            station->second.record,
            now - static_cast<std::int64_t>(request->hours == 0 ? kMaxHours : request->hours) *
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
    m_http = std::make_unique<httplib::Server>();
    m_http->set_tcp_nodelay(true); // pages go out in one piece without waiting for acknowledgements
    // The library's own options add SO_REUSEPORT, which lets a second server take a port that is
    // in use and split the requests with the first. Only a port left in TIME_WAIT is reused.
    m_http->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    auto answer = [this](const httplib::Request& req, httplib::Response& res) {
        const std::size_t mark = req.target.find('?');
        const Answer a =
            Handle(req.path, mark == std::string::npos ? "" : req.target.substr(mark + 1));
        res.status = a.status;
        res.set_content(a.body, a.contentType.c_str());
    };
    m_http->Get(".*", answer);
    // Requests the library refuses itself (too long, malformed) still get a readable answer.
    m_http->set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            res.set_content(SorryPage("the request could not be understood."), "text/html");
    });
    m_http->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content(ServerErrorPage("the reports could not be prepared."), "text/html");
        });
    m_http->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        if (m_logging)
            std::fprintf(stderr, "%s %s %s %d %zu\n", req.remote_addr.c_str(), req.method.c_str(),
                         req.target.c_str(), res.status, res.body.size());
    });
    if (port == 0)
        return m_http->bind_to_any_port(host.c_str());
    return m_http->bind_to_port(host.c_str(), port) ? port : -1;
}

bool ReportServer::Run() {
    return m_http && m_http->listen_after_bind();
}

void ReportServer::Stop() {
    if (m_http)
        m_http->stop();
}

bool ReportServer::IsRunning() const {
    return m_http && m_http->is_running();
}
