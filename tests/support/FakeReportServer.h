#pragma once

#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestHttpServer.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

// A report server on 127.0.0.1 for the viewer: per station a page for "past N hours" and,
// optionally, the rows for "most recent only" (else the first row of the page); a "Sorry" page
// for stations it has nothing for. Every request is logged as "ICAO hours-text".
class FakeReportServer {
public:
    FakeReportServer();

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    int Port() const { return m_port; }

    void SetPage(const std::string& icao, const std::vector<PageRow>& rows);
    void SetRawPage(const std::string& icao, const std::string& html);
    // The rows the latest report gives; none: a "Sorry" page.
    void SetLatest(const std::string& icao, const std::vector<PageRow>& rows);
    // Every answer from now on has this HTTP status (200 by default), its body as usual.
    void SetStatus(int status);
    // Every answer from now on waits this long before it starts.
    void SetDelayMilliseconds(int milliseconds);
    // Every page from now on announces twice its length and ends after half of it.
    void SetCut(bool on);
    // The server stops listening (connections are refused), and starts again on the same port.
    void GoDown();
    void ComeBack();

    std::vector<std::string> Requests();
    void ClearRequests();

private:
    std::mutex m_mutex;
    std::map<std::string, std::string> m_pages;
    std::map<std::string, std::string> m_latest;
    std::vector<std::string> m_requests;
    int m_status = 200;
    int m_delay = 0;
    bool m_cut = false;
    int m_port = 0;
    std::unique_ptr<TestHttpServer> m_http; // last: it stops before the rest goes

    void Answer(const httplib::Request& req, httplib::Response& res);
};

// `count` rows of a station, `minutes` apart, the newest at newestHour:newestMinute UTC on
// 7 December 2026 (earlier rows may fall on the 6th), temperatures 10, 10.5, 11, ...
std::vector<PageRow> Rows(const std::string& icao, int count, int minutes, int newestHour = 4,
                          int newestMinute = 50);

} // namespace testing_support
