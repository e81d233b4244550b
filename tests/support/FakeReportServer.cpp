#include "tests/support/FakeReportServer.h"

#include "observations/ReportProtocol.h"

#include <chrono>
#include <thread>

namespace testing_support {

FakeReportServer::FakeReportServer() {
    ComeBack();
}

void FakeReportServer::GoDown() {
    m_http.reset();
}

void FakeReportServer::ComeBack() {
    m_http = std::make_unique<TestHttpServer>(
        [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); }, m_port);
    m_port = m_http->Port();
}

void FakeReportServer::Answer(const httplib::Request& req, httplib::Response& res) {
    int delay = 0;
    bool cut = false;
    std::string body;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::string icao = req.get_param_value(std::string(protocol::kStationKey));
        const std::string hours = req.get_param_value(std::string(protocol::kHoursKey));
        m_requests.push_back(icao + " " + hours);
        res.status = m_status;
        delay = m_delay;
        cut = m_cut;
        const bool latest = protocol::ReadHoursText(hours) == 0;
        auto& pages = latest && m_latest.count(icao) ? m_latest : m_pages;
        const auto it = pages.find(icao);
        if (it == pages.end()) {
            body = SorryPage();
        } else if (latest && &pages == &m_pages) {
            // The latest only: the first row of the page.
            const std::size_t second =
                it->second.find("Conditions at", it->second.find("Conditions at") + 1);
            body = second == std::string::npos
                       ? it->second
                       : it->second.substr(0, second) + "</TABLE>\n</BODY></HTML>\n";
        } else {
            body = it->second;
        }
    }
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (!cut) {
        res.set_content(body, "text/html");
        return;
    }
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_content_provider(shared->size() * 2, "text/html",
                             [shared](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                 if (offset >= shared->size() / 2)
                                     return false; // the connection ends here
                                 sink.write(shared->data(), shared->size() / 2);
                                 return true;
                             });
}

void FakeReportServer::SetPage(const std::string& icao, const std::vector<PageRow>& rows) {
    SetRawPage(icao, PageHtml(rows));
}

void FakeReportServer::SetRawPage(const std::string& icao, const std::string& html) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pages[icao] = html;
}

void FakeReportServer::SetLatest(const std::string& icao, const std::vector<PageRow>& rows) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_latest[icao] = rows.empty() ? SorryPage() : PageHtml(rows);
}

void FakeReportServer::SetStatus(int status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

void FakeReportServer::SetCut(bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cut = on;
}

void FakeReportServer::SetDelayMilliseconds(int milliseconds) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_delay = milliseconds;
}

std::vector<std::string> FakeReportServer::Requests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void FakeReportServer::ClearRequests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

std::vector<PageRow> Rows(const std::string& icao, int count, int minutes, int newestHour,
                          int newestMinute) {
    std::vector<PageRow> rows;
    for (int i = 0; i < count; ++i) {
        int total = newestHour * 60 + newestMinute - i * minutes;
        int day = 7;
        for (; total < 0; total += 24 * 60)
            --day;
        PageRow r;
        r.icao = icao;
        r.day = day;
        r.hour = total / 60;
        r.minute = total % 60;
        r.temperature = 10.0 + i * 0.5;
        r.windsCell = "from the W (270 degrees) at 10 MPH (9 knots; 4&#46;6 m/s)";
        r.report = icao + " 070450Z 27009KT 10SM FEW250 " + std::to_string(10 + i) + "/M01 A3012";
        rows.push_back(r);
    }
    return rows;
}

} // namespace testing_support
