// Pages made from real reports in a folder, read back by the viewer's own retrieval over HTTP.

#include "reportd/MetarDirectory.h"
#include "catalogue/StationCatalogue.h"
#include "observations/MetarDecoder.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using testing_support::RunningServer;
using testing_support::StationLine;
using testing_support::WriteFile;

namespace {

// 2 May 2020, 01:00 UTC: just after the sample reports were taken.
const std::int64_t kSampleNow = UtcTime(2020, 5, 2, 1, 0);

struct Viewer {
    testing_support::MessageRecorder recorder;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue{fetcher, current, all};
    testing_support::RecordingCatalogueHost host;

    explicit Viewer(const std::string& url) {
        catalogue.SetServerUrl(url);
        catalogue.SetHost(&host);
    }

    ObservationSeries Fetch(const std::string& icao, const std::string& hours) {
        StationRecord station;
        station.strICAO = icao;
        ObservationSeries series;
        catalogue.FetchObservations(&station, &series, hours, 24);
        return series;
    }
};

// The values the viewer must read from a row, straight from the coded report.
void ExpectRowMatchesReport(const ObservationRecord& row, const std::string& raw) {
    SCOPED_TRACE(raw);
    const MetarReport r = DecodeMetar(raw);
    EXPECT_EQ(row.strReport, raw);
    if (r.temperatureC) {
        EXPECT_DOUBLE_EQ(row.dTemperature, std::fabs(*r.temperatureC) < 1 ? 0 : *r.temperatureC);
    }
    if (r.altimeterInHg) {
        EXPECT_NEAR(row.dPressureInHg, *r.altimeterInHg, 1e-9);
        EXPECT_NEAR(row.dPressure, *r.pressureHpa - 1000, 1e-9);
    }
    if (r.wind) {
        EXPECT_EQ(row.dWindDirection, r.wind->direction);
        EXPECT_NEAR(row.dWindSpeed, r.wind->speedKnots * 0.514444, 1e-9);
    }
}

} // namespace

TEST(StationFiles, PairsOfTimeAndReportLines) {
    const auto reports = ParseStationFile("2026/12/06 09:50\n"
                                          "METAR EDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013\n"
                                          "\n"
                                          "2026/12/06 09:20\r\n"
                                          "EDDF 060920Z 26008KT CAVOK 20/13 Q1013\r\n"
                                          "a stray line without its time\n"
                                          "2026/12/06 09:50\n"
                                          "KJFK 060950Z 18005KT 10SM CLR 05/M02 A3001\n"
                                          "2027/01/01 00:00\n" // the first month is one
                                          "KJFK 010000Z 18005KT 10SM CLR 05/M02 A3001\n"
                                          "2026/13/06 09:50\n" // there is no thirteenth
                                          "EDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013\n");
    ASSERT_EQ(reports.size(), 2u);
    const auto& eddf = reports.at("EDDF");
    ASSERT_EQ(eddf.size(), 2u);
    EXPECT_EQ(eddf[0].time, UtcTime(2026, 12, 6, 9, 50));
    EXPECT_EQ(eddf[0].raw, "EDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013");
    EXPECT_EQ(eddf[1].raw, "EDDF 060920Z 26008KT CAVOK 20/13 Q1013");
    ASSERT_EQ(reports.at("KJFK").size(), 2u);
    EXPECT_EQ(reports.at("KJFK")[1].time, UtcTime(2027, 1, 1, 0, 0));
}

TEST(MetarFolder, AnUnchangedFolderKeepsItsGeneration) {
    // What the server made from a folder stands until the folder changes: answers kept for
    // revalidation stay valid over a scan that found nothing new.
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");
    WriteFile("metar/EDDF.TXT", "2026/12/06 09:50\nEDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013\n");
    MetarDirectorySource source("metar", 600000);
    const std::uint64_t first = source.Generation();
    source.Rescan();
    EXPECT_EQ(source.Generation(), first);
    WriteFile("metar/later.txt", "2026/12/06 09:55\nEDDF 060955Z 28012KT 9999 Q1012\n");
    source.Rescan();
    EXPECT_GT(source.Generation(), first);
}

TEST(MetarFolder, HandWrittenReportsAreReadBackExactly) {
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");
    WriteFile("metar/EDDF.TXT", "2026/12/06 09:50\nEDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013\n");
    WriteFile("metar/cycle.txt",
              "2026/12/06 09:20\nEDDF 060920Z 26008G20KT 9999 -RA BKN012 M02/M03 Q0998\n"
              "2026/12/06 08:50\nEDDF 060850Z VRB02KT 0800 FG VV002 M03/M03 Q0999\n");
    const std::string list =
        StationLine("  ", "FRANKFURT/MAIN", "EDDF", "50 03N", "008 36E") + "\n";
    RunningServer server(list, std::make_unique<MetarDirectorySource>("metar", 0),
                         [] { return UtcTime(2026, 12, 6, 10, 0); });

    Viewer viewer(server.BaseUrl());
    const ObservationSeries s = viewer.Fetch("EDDF", "past+3+hours");
    ASSERT_EQ(s.GetSize(), 3);
    EXPECT_DOUBLE_EQ(s[0].dTemperature, 21.0);
    EXPECT_NEAR(s[0].dPressure, 13.0, 1e-9);
    EXPECT_EQ(s[0].dWindDirection, 270);
    EXPECT_NEAR(s[0].dWindSpeed, 10 * 0.514444, 1e-9);
    EXPECT_DOUBLE_EQ(s[1].dTemperature, -2.0);
    EXPECT_NEAR(s[1].dPressure, -2.0, 1e-9);
    EXPECT_EQ(s[1].strWinds,
              "from the W (260 degrees) at 9 MPH (8 knots; 4.1 m/s) gusting to 23 MPH (20 knots; "
              "10.3 m/s)");
    EXPECT_EQ(s[1].strPresentWeather, "light rain");
    EXPECT_EQ(s[1].strCeiling, "1,200 feet AGL");
    EXPECT_DOUBLE_EQ(s[2].dTemperature, -3.0);
    EXPECT_EQ(s[2].strWinds, "variable direction winds at 2 MPH (2 knots; 1.0 m/s)");
    EXPECT_EQ(s[2].strVisibility, "0.50 miles (0.8 km)");
    EXPECT_EQ(s[2].strPresentWeather, "fog");
    EXPECT_EQ(s[0].strConditionsAt, "EDDF (FRANKFURT/MAIN, US) observed 12/6/2026  09:50 UTC");
    EXPECT_TRUE(viewer.recorder.messages.empty());
    for (int i = 0; i < s.GetSize(); ++i) {
        const auto tm = platform::LocalBreakdown(s[i].tObserved);
        ASSERT_TRUE(tm);
        EXPECT_EQ(tm->tm_hour * 60 + tm->tm_min, 9 * 60 + 50 - 30 * i);
    }

    // The latest only; then a new file appears and is served without a restart.
    EXPECT_EQ(viewer.Fetch("EDDF", "most recent only").GetSize(), 1);
    WriteFile("metar/later.txt",
              "2026/12/06 09:55\nEDDF 060955Z 28012KT 9999 FEW030 22/13 Q1012\n");
    // The folder is read again on a thread of its own within moments.
    ObservationSeries latest;
    for (int i = 0; i < 200; ++i) {
        latest = viewer.Fetch("EDDF", "most+recent+only");
        if (latest.GetSize() == 1 && latest[0].dTemperature == 22.0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(latest.GetSize(), 1);
    EXPECT_DOUBLE_EQ(latest[0].dTemperature, 22.0);
}

TEST(MetarFolder, RequestsNeverWaitForAScan) {
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");
    WriteFile("metar/EDDF.TXT", "2026/12/06 09:50\nEDDF 060950Z 27010KT 9999 FEW030 21/13 Q1013\n");
    // A large file of other stations' reports: read once, on the scanning thread.
    std::string big;
    for (int i = 0; big.size() < 40u * 1024u * 1024u; ++i)
        big += "2026/12/06 09:50\nK" + std::to_string(100 + i % 900) +
               " 060950Z 27010KT 9999 FEW030 21/13 Q1013 RMK " + std::string(200, 'X') + "\n";
    WriteFile("metar/big.txt", big);
    MetarDirectorySource source("metar", 10);
    StationRecord eddf;
    eddf.strICAO = "EDDF";
    // The large file keeps changing, so every scan reads it again; requests meanwhile are
    // answered from the snapshot at once.
    std::chrono::steady_clock::duration slowest{};
    for (int i = 0; i < 20; ++i) {
        {
            std::ofstream append("metar/big.txt", std::ios::app);
            append << "2026/12/06 09:50\nKXXX 060950Z 27010KT 9999 Q1013\n";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(
            source.Reports(eddf, UtcTime(2026, 12, 6, 0, 0), UtcTime(2026, 12, 7, 0, 0)).size(),
            1u);
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
    }
    EXPECT_LT(slowest, std::chrono::milliseconds(50));
}

TEST(MetarFolder, TheSampleReportsSurviveTheRoundTrip) {
    const auto path = testing_support::SharedDataFile("metar-samples.txt");
    if (path.empty())
        GTEST_SKIP() << "public sample reports not present";
    testing_support::ScopedWorkingFolder folder;
    std::filesystem::create_directory("metar");

    // One cycle file of every sample, half an hour before the server's clock; a list of them all.
    std::istringstream in(testing_support::ReadFile(path));
    std::string cycle, list;
    std::map<std::string, std::string> byStation;
    for (std::string raw; std::getline(in, raw);) {
        const MetarReport r = DecodeMetar(raw);
        if (r.station.empty() || r.hour < 0 || byStation.count(r.station))
            continue;
        const std::tm f = *platform::UtcBreakdown(kSampleNow - 1800);
        cycle += platform::Format("%04d/%02d/%02d %02d:%02d\n%s\n", f.tm_year + 1900, f.tm_mon + 1,
                                  f.tm_mday, f.tm_hour, f.tm_min, raw.c_str());
        byStation[r.station] = raw;
        list += StationLine("  ", "SAMPLE " + r.station, r.station, "10 00N", "010 00E") + "\n";
    }
    WriteFile("metar/cycle-00Z.txt", cycle);
    RunningServer server(list, std::make_unique<MetarDirectorySource>("metar", 0),
                         [] { return kSampleNow; });
    Viewer viewer(server.BaseUrl());

    int checked = 0;
    for (const auto& [icao, raw] : byStation) {
        const ObservationSeries s = viewer.Fetch(icao, "past+24+hours");
        ASSERT_EQ(s.GetSize(), 1) << raw;
        ExpectRowMatchesReport(s[0], raw);
        ++checked;
    }
    EXPECT_GT(checked, 150);
    EXPECT_TRUE(viewer.recorder.messages.empty());
}
