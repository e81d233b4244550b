#include "catalogue/StationCatalogue.h"
#include "tests/support/Gzip.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

using testing_support::MessageRecorder;
using testing_support::StationLine;
using testing_support::WriteFile;

namespace {

struct CatalogueFixture : ::testing::Test {
    testing_support::ScopedWorkingFolder folder;
    MessageRecorder recorder;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue{fetcher, current, all};
    testing_support::RecordingCatalogueHost host;

    CatalogueFixture() { catalogue.SetHost(&host); }

    const std::string line1 = StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W");
    const std::string line2 = StationLine("  ", "FRANKFURT MAIN A", "EDDF", "50 03N", "008 36E");
};

} // namespace

TEST_F(CatalogueFixture, LoadsTheLocalFileReplacingTheCatalogue) {
    all.Add(StationRecord{});
    WriteFile("stations.txt", "!header\n" + line1 + "\n" + line2 + "\n");
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    ASSERT_EQ(all.GetSize(), 2);
    EXPECT_EQ(all[0].strICAO, "KJFK");
    EXPECT_EQ(all[1].strICAO, "EDDF");
    EXPECT_TRUE(recorder.messages.empty());

    WriteFile("stations.txt", "no stations in here\n");
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 0);
}

TEST_F(CatalogueFixture, AMissingFileIsReportedAndChangesNothing) {
    all.Add(StationRecord{});
    EXPECT_FALSE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 1);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Can not open a file \"stations.txt\".");
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Exclamation);
}

TEST_F(CatalogueFixture, EveryStationLineCountsWhateverLiesBetween) {
    // A ten-megabyte line and a zero byte in a line: skipped, and every station line after them
    // is read.
    std::string text = "! header\n" + line1 + "\n" + std::string(10 * 1024 * 1024, 'x') + "\n" +
                       line2 + "\n" + "NUL " + '\0' + " in a short line\n";
    for (int i = 0; i < 300; ++i)
        text += line1 + "\r\n";
    WriteFile("stations.txt", text);
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 302);
    EXPECT_EQ(all[1].strICAO, "EDDF");
    EXPECT_TRUE(recorder.messages.empty());

    // A line of station length that holds a zero byte is a station line like any other.
    std::string withNul = line2;
    withNul[30] = '\0';
    WriteFile("stations.txt", line1 + "\n" + withNul + "\n" + line1 + "\n");
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 3);
}

TEST_F(CatalogueFixture, AListBeyond64MiBIsReadUpToThereAndSaidSo) {
    std::string text;
    const std::string line = line1 + "\n";
    text.reserve(65u * 1024u * 1024u);
    while (text.size() < 64u * 1024u * 1024u + 2 * line.size())
        text += line;
    WriteFile("stations.txt", text);
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), static_cast<int>(64u * 1024u * 1024u / 84u));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "The station list \"stations.txt\" is larger than 64 "
                                         "MiB; only the stations in its first 64 MiB were read.");
}

TEST_F(CatalogueFixture, ThePublicListIsReadWhole) {
    const auto path = testing_support::SharedDataFile("stations.txt");
    if (path.empty())
        GTEST_SKIP() << "public station list not present";
    WriteFile("stations.txt", testing_support::ReadFile(path));
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 9595);
}

TEST_F(CatalogueFixture, LoadsFromTheReportServer) {
    // A server that packs the list for clients that take gzip and answers 304 to its own tag.
    std::string list = line2 + "\n" + line1, tag = "\"v1\"";
    std::vector<std::string> asked; // the If-None-Match of every request
    testing_support::TestHttpServer server([&](const httplib::Request& req,
                                               httplib::Response& res) {
        if (req.path != "/weather/surface/stations.txt") {
            res.status = 404;
            return;
        }
        asked.push_back(req.get_header_value("If-None-Match"));
        res.set_header("ETag", tag);
        if (req.get_header_value("If-None-Match") == tag) {
            res.status = 304;
            return;
        }
        const bool gzip = req.get_header_value("Accept-Encoding").find("gzip") != std::string::npos;
        res.set_content(gzip ? testing_support::GzipText(list) : list, "text/plain");
        if (gzip)
            res.set_header("Content-Encoding", "gzip");
    });
    catalogue.SetServerUrl(server.BaseUrl());
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer));
    ASSERT_EQ(all.GetSize(), 2);
    EXPECT_EQ(all[0].strICAO, "EDDF");
    EXPECT_FALSE(std::filesystem::exists("stations.txt")); // parsed only, not stored

    // Asked again, the list is revalidated by its tag: unchanged, the catalogue stands.
    all[0].strICAO = "MARK";
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer));
    EXPECT_EQ(asked, (std::vector<std::string>{"", tag}));
    EXPECT_EQ(all.GetSize(), 2);
    EXPECT_EQ(all[0].strICAO, "MARK");
    // A changed list comes whole with its new tag.
    list = line1;
    tag = "\"v2\"";
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer));
    ASSERT_EQ(all.GetSize(), 1);
    EXPECT_EQ(all[0].strICAO, "KJFK");

    // An empty download, or an error page with a body, leaves the catalogue as it was, without
    // a message.
    testing_support::TestHttpServer failing([&](const httplib::Request&, httplib::Response& res) {
        res.status = 503;
        res.set_content(line1 + "\n" + line1 + "\n" + line1, "text/plain");
    });
    for (const std::string& url :
         {"http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()),
          failing.BaseUrl()}) {
        catalogue.SetServerUrl(url);
        EXPECT_FALSE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer)) << url;
        ASSERT_EQ(all.GetSize(), 1) << url;
        EXPECT_EQ(all[0].strICAO, "KJFK");
        EXPECT_TRUE(recorder.messages.empty());
    }
}
