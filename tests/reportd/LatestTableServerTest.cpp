// The table of every station's newest report, from each of the server's sources, over real
// sockets: a station's row is the newest row of its page from the same server at the same moment.

#include "catalogue/StationCatalogue.h"
#include "observations/CurrentReports.h"
#include "observations/LatestTable.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "reportd/MetarDirectory.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/Gzip.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

using testing_support::RunningServer;
using testing_support::StationLine;
using testing_support::TestHttpServer;

namespace {

const std::int64_t kNow = UtcTime(2026, 12, 7, 14, 55);

// Four stations; KXXX twice (the first counts), and one without a code.
std::string StationList() {
    return StationLine("NY", "NEW YORK/JFK", "KJFK", "40 38N", "073 47W") + "\n" +
           StationLine("  ", "FRANKFURT/MAIN", "EDDF", "50 03N", "008 36E", " 111", "DE") + "\n" +
           StationLine("  ", "NO CODE", "", "10 00N", "010 00E") + "\n" +
           StationLine("MA", "BOSTON", "KBOS", "42 22N", "071 01W") + "\n" +
           StationLine("  ", "TOKYO", "RJTT", "35 33N", "139 47E", "   9", "JP") + "\n" +
           StationLine("  ", "SECOND KJFK", "KJFK", "00 00N", "000 00E") + "\n";
}
const char* const kListOrder[] = {"KJFK", "EDDF", "KBOS", "RJTT"};

struct Client {
    testing_support::MessageRecorder quiet; // pages without reports are not shown
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue{fetcher, current, all};
    testing_support::RecordingCatalogueHost host;
    std::string base;

    explicit Client(const std::string& url) : base(url) {
        catalogue.SetServerUrl(url);
        catalogue.SetHost(&host);
    }
    PageFetcher::Response Get(const std::string& query = "") {
        return fetcher.Get(base + std::string(protocol::kLatestPath) + query);
    }
    LatestTable Table(const std::string& query = "") {
        const PageFetcher::Response answer = Get(query);
        EXPECT_TRUE(answer.Ok()) << answer.status << " " << answer.body;
        return ReadLatestTable(answer.body);
    }
    ObservationSeries Page(const std::string& icao, int hours) {
        StationRecord station;
        station.strICAO = icao;
        ObservationSeries series;
        catalogue.FetchObservations(&station, &series, protocol::HoursText(hours), 24);
        return series;
    }
};

// Every station of the list with a report in the period has one row, in the list's order, and
// each row is the newest row of the station's page.
void ExpectRowsAreNewestPageRows(Client& client, int hours, std::vector<std::string> expected) {
    SCOPED_TRACE(platform::Format("%d hours", hours));
    const LatestTable table = client.Table(platform::Format("?hours=%d", hours));
    EXPECT_EQ(table.skippedRows, 0);
    std::vector<std::string> codes;
    for (const LatestRow& row : table.rows)
        codes.push_back(row.icao);
    EXPECT_EQ(codes, expected);
    for (const char* icao : kListOrder) {
        const ObservationSeries page = client.Page(icao, hours);
        const auto row = std::find_if(table.rows.begin(), table.rows.end(),
                                      [icao](const LatestRow& r) { return r.icao == icao; });
        if (page.GetSize() == 0) {
            EXPECT_EQ(row, table.rows.end()) << icao << " has a row but no page rows";
            continue;
        }
        ASSERT_NE(row, table.rows.end()) << icao;
        EXPECT_EQ(*row, MakeLatestRow(icao, ObservedInstant(page[0]), page[0].strReport));
        if (row->values.temperatureC) {
            EXPECT_DOUBLE_EQ(page[0].dTemperature, *row->values.temperatureC) << icao;
        }
    }
}

} // namespace

TEST(LatestTableServer, SimulatedRowsAreTheNewestOfEveryPage) {
    RunningServer server(StationList(), std::make_unique<SimulatedSource>(), [] { return kNow; });
    Client client(server.BaseUrl());
    ExpectRowsAreNewestPageRows(client, 1, {"KJFK", "EDDF", "KBOS", "RJTT"});
    ExpectRowsAreNewestPageRows(client, 3, {"KJFK", "EDDF", "KBOS", "RJTT"});
    // Without a period: three hours.
    EXPECT_EQ(client.Get().body, client.Get("?hours=3").body);
    EXPECT_EQ(client.Table().rows.front().observedUtc, UtcTime(2026, 12, 7, 14, 50));
}

TEST(LatestTableServer, FolderRowsAreTheNewestOfEveryPage) {
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");
    testing_support::WriteFile(
        "metar/cycle.txt", "2026/12/07 14:50\nEDDF 071450Z 27010KT 9999 FEW030 11/03 Q1013\n"
                           "2026/12/07 14:20\nEDDF 071420Z 26008G20KT 4000 -RA BKN012 10/08 Q1012\n"
                           "2026/12/07 13:51\nKJFK 071351Z 31012KT 2SM BR OVC007 08/07 A2992\n"
                           "2026/12/07 06:51\nKBOS 070651Z 00000KT 10SM CLR M02/M08 A3021\n"
                           "2026/12/07 14:51\nZZZZ 071451Z 00000KT CAVOK 20/10 Q1000\n");
    RunningServer server(StationList(), std::make_unique<MetarDirectorySource>("metar", 0),
                         [] { return kNow; });
    Client client(server.BaseUrl());
    ExpectRowsAreNewestPageRows(client, 1, {"EDDF"});
    ExpectRowsAreNewestPageRows(client, 3, {"KJFK", "EDDF"});
    ExpectRowsAreNewestPageRows(client, 96, {"KJFK", "EDDF", "KBOS"});
    const LatestTable table = client.Table();
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].values.flightCategory, FlightCategory::IFR);
    EXPECT_EQ(table.rows[1].values.flightCategory, FlightCategory::VFR);
}

namespace {

// A data service: the reports of each station answered per station, newest first, and all
// stations' newest in a gzip CSV bulk file with its own column order and extra columns.
struct FakeDataService {
    std::mutex mutex;
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> reports; // time, raw
    std::atomic<int> bulkRequests{0};
    std::atomic<int> bulkStatus{200};
    std::atomic<bool> cutBulk{false};
    std::string bulkUserAgent;
    TestHttpServer server{[this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        if (req.path == kBulkReportsPath) {
            ++bulkRequests;
            bulkUserAgent = req.get_header_value("User-Agent");
            res.status = bulkStatus.load();
            std::string csv = "No errors\nNo warnings\n3 ms\ndata source=metars\n"
                              "station_id,latitude,observation_time,raw_text,flight_category\n";
            for (const auto& [icao, list] : reports)
                csv +=
                    icao + ",40.6," + list.front().first + ",\"" + list.front().second + "\",VFR\n";
            std::string gz = testing_support::GzipText(csv);
            if (cutBulk)
                gz.resize(gz.size() / 2);
            res.set_content(gz, "application/gzip");
            return;
        }
        const std::string icao = req.get_param_value("ids");
        std::string body;
        if (reports.count(icao))
            for (const auto& [time, raw] : reports[icao])
                body += raw + "\n";
        if (body.empty())
            res.status = 204;
        else
            res.set_content(body, "text/plain");
    }};

    void Set(const std::string& icao, std::vector<std::pair<std::string, std::string>> list) {
        std::lock_guard<std::mutex> lock(mutex);
        reports[icao] = std::move(list);
    }
};

} // namespace

TEST(LatestTableServer, UpstreamRowsComeFromTheBulkFileAndAgreeWithEveryPage) {
    FakeDataService service;
    service.Set("KJFK",
                {{"2026-12-07T14:51:00Z", "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"},
                 {"2026-12-07T13:51:00Z", "KJFK 071351Z 26008KT 10SM FEW250 12/M01 A3013"}});
    service.Set("RJTT",
                {{"2026-12-07T14:30:00Z", "RJTT 071430Z 36005KT 1200 BR BKN004 05/05 Q1020"}});
    service.Set("EGLL", {{"2026-12-07T14:50:00Z", "EGLL 071450Z 24012KT CAVOK 09/03 Q1009"}});
    std::atomic<std::int64_t> now{kNow};
    auto source = std::make_unique<UpstreamSource>(service.server.BaseUrl() + "/api/data/metar",
                                                   300, [&now] { return now.load(); });
    EXPECT_EQ(source->BulkUrl(), service.server.BaseUrl() + "/data/cache/metars.cache.csv.gz");
    RunningServer server(StationList(), std::move(source), [&now] { return now.load(); });
    Client client(server.BaseUrl());

    // Pages alone never fetch the bulk file.
    EXPECT_EQ(client.Page("KJFK", 3).GetSize(), 2);
    EXPECT_EQ(service.bulkRequests.load(), 0);
    ExpectRowsAreNewestPageRows(client, 3, {"KJFK", "RJTT"});
    EXPECT_EQ(service.bulkRequests.load(), 1);
    {
        std::lock_guard<std::mutex> lock(service.mutex);
        EXPECT_NE(service.bulkUserAgent.find("Ventora/"), std::string::npos)
            << service.bulkUserAgent;
    }

    // The bulk file has a newer report than KJFK's own answer, which the server still keeps:
    // the page shows it too.
    service.Set("KJFK",
                {{"2026-12-07T14:56:00Z", "KJFK 071456Z 28011KT 5SM HZ BKN025 14/M01 A3011"},
                 {"2026-12-07T14:51:00Z", "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"}});
    now += 120;
    ExpectRowsAreNewestPageRows(client, 3, {"KJFK", "RJTT"});
    EXPECT_EQ(client.Page("KJFK", 0)[0].strReport,
              "KJFK 071456Z 28011KT 5SM HZ BKN025 14/M01 A3011");
    EXPECT_EQ(client.Page("KJFK", 3).GetSize(), 3);
    EXPECT_EQ(service.bulkRequests.load(), 2);

    // At most once a minute, however the periods differ.
    now += 59;
    client.Table("?hours=5");
    client.Table("?hours=7");
    EXPECT_EQ(service.bulkRequests.load(), 2);
}

namespace {

// The simulation, with what the server asked of it written down.
class AskedSource : public SimulatedSource {
public:
    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override {
        std::lock_guard<std::mutex> lock(mutex);
        ++pages;
        pageAsked = {from, to};
        return SimulatedSource::Reports(station, from, to);
    }
    std::vector<std::optional<TimedReport>>
    NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                  std::int64_t to) override {
        std::lock_guard<std::mutex> lock(mutex);
        ++tables;
        tableAsked = {from, to};
        return SimulatedSource::NewestReports(stations, from, to);
    }
    std::mutex mutex;
    int pages = 0, tables = 0;
    std::pair<std::int64_t, std::int64_t> pageAsked, tableAsked;
};

} // namespace

// Pages and tables are made once per period asked for and kept for a minute; each asks the
// source for exactly the hours it covers.
TEST(ReportServer, AnswersAreMadeOnceAMinuteForTheHoursAsked) {
    auto owned = std::make_unique<AskedSource>();
    AskedSource& source = *owned;
    std::atomic<std::int64_t> now{kNow};
    RunningServer server(StationList(), std::move(owned), [&now] { return now.load(); });
    Client client(server.BaseUrl());
    for (int age : {0, 59, 60}) {
        now = kNow + age;
        client.Page("KJFK", 3);
        client.Table("?hours=2");
        client.Page("KJFK", 3);
        client.Table("?hours=2");
    }
    std::lock_guard<std::mutex> lock(source.mutex);
    EXPECT_EQ(source.pages, 2);
    EXPECT_EQ(source.tables, 2);
    const std::int64_t last = kNow + 60;
    EXPECT_EQ(source.pageAsked, std::make_pair(last - 3 * 3600, last));
    EXPECT_EQ(source.tableAsked, std::make_pair(last - 2 * 3600, last));
}

TEST(UpstreamSource, AStationsOwnAnswerStandsInTheTableOnlyWhileFresh) {
    FakeDataService service;
    service.Set("KJFK",
                {{"2026-12-07T14:54:00Z", "KJFK 071454Z 28011KT 5SM HZ BKN025 14/M01 A3011"},
                 {"2026-12-07T14:51:00Z", "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"}});
    std::int64_t now = kNow;
    UpstreamSource source(service.server.BaseUrl() + "/api/data/metar", 300,
                          [&now] { return now; });
    StationRecord jfk;
    jfk.strICAO = "KJFK";
    ASSERT_EQ(source.Reports(jfk, now - 3 * 3600, now).size(), 2u); // kept 300 s
    // The bulk file lags behind the station's own answer.
    service.Set("KJFK",
                {{"2026-12-07T14:51:00Z", "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"}});
    const std::vector<const StationRecord*> stations{&jfk};
    for (const auto& [age, newest] : {std::pair{299, UtcTime(2026, 12, 7, 14, 54)},
                                      std::pair{300, UtcTime(2026, 12, 7, 14, 51)}}) {
        now = kNow + age;
        const auto rows = source.NewestReports(stations, now - 3 * 3600, now);
        ASSERT_EQ(rows.size(), 1u);
        ASSERT_TRUE(rows[0].has_value()) << age;
        EXPECT_EQ(rows[0]->time, newest) << "the station's answer " << age << " s old";
    }
}

TEST(LatestTableServer, AnUpstreamBulkFileThatCannotBeHadFailsTheRequest) {
    FakeDataService service;
    service.Set("KJFK",
                {{"2026-12-07T14:51:00Z", "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"}});
    std::atomic<std::int64_t> now{kNow};
    const int refusing = testing_support::RefusingPort();
    struct Case {
        const char* what;
        std::string bulkUrl;
        int status;
        bool cut;
        const char* says;
    } cases[] = {
        {"unreachable", "http://127.0.0.1:" + std::to_string(refusing) + "/all.csv.gz", 200, false,
         "did not answer"},
        {"error", "", 500, false, "answered with an error (HTTP 500"},
        {"cut", "", 200, true, "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service.bulkStatus = c.status;
        service.cutBulk = c.cut;
        auto source = std::make_unique<UpstreamSource>(service.server.BaseUrl() + "/api/metar", 300,
                                                       [&now] { return now.load(); });
        if (!c.bulkUrl.empty())
            source->SetBulkUrl(c.bulkUrl);
        RunningServer server(StationList(), std::move(source), [&now] { return now.load(); });
        Client client(server.BaseUrl());
        const PageFetcher::Response answer = client.Get();
        EXPECT_EQ(answer.status, 502);
        EXPECT_NE(answer.body.find(c.says), std::string::npos) << answer.body;
        EXPECT_EQ(answer.body.find("icao,"), std::string::npos);
        // Pages are still served.
        EXPECT_EQ(client.Page("KJFK", 3).GetSize(), 1);
        if (!c.bulkUrl.empty())
            continue;
        // The service mends: it is asked again a minute after the failure, not before.
        service.bulkStatus = 200;
        service.cutBulk = false;
        const int asked = service.bulkRequests.load();
        now += 59;
        EXPECT_EQ(client.Get().status, 502);
        EXPECT_EQ(service.bulkRequests.load(), asked);
        now += 1;
        EXPECT_EQ(client.Table().rows.size(), 1u);
        EXPECT_EQ(service.bulkRequests.load(), asked + 1);
    }
}

TEST(LatestTableServer, RefusesPeriodsBeyondOneToNinetySixHours) {
    RunningServer server(StationList(), std::make_unique<SimulatedSource>(), [] { return kNow; });
    Client client(server.BaseUrl());
    for (const char* query : {"?hours=0", "?hours=97", "?hours=", "?hours=x", "?hours=-1",
                              "?hours=3.5", "?hours=%zz", "?hours=100"}) {
        const PageFetcher::Response answer = client.Get(query);
        EXPECT_EQ(answer.status, 400) << query;
        EXPECT_NE(answer.body.find("from 1 to 96"), std::string::npos) << query;
    }
    for (const char* query : {"?hours=1", "?hours=96", "?hours=07", "?other=1&hours=2", ""})
        EXPECT_EQ(client.Get(query).status, 200) << query;
}

TEST(LatestTableServer, IsCachedAndRevalidatedLikeThePages) {
    RunningServer server(StationList(), std::make_unique<SimulatedSource>(), [] { return kNow; });
    httplib::Client http("127.0.0.1", server.Port());
    const auto first = http.Get(std::string(protocol::kLatestPath));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 200);
    EXPECT_EQ(first->get_header_value("Content-Type"), "text/csv; charset=utf-8");
    EXPECT_EQ(first->get_header_value("Cache-Control"), "max-age=60");
    EXPECT_FALSE(first->get_header_value("Last-Modified").empty());
    const std::string etag = first->get_header_value("ETag");
    ASSERT_FALSE(etag.empty());
    EXPECT_EQ(first->body.rfind("icao,observed_utc,temperature_c,", 0), 0u);
    const auto again =
        http.Get(std::string(protocol::kLatestPath), httplib::Headers{{"If-None-Match", etag}});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 304);
}
