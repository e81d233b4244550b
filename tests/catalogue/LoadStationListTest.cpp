#include "catalogue/StationCatalogue.h"
#include "tests/support/MessageRecorder.h"
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

TEST_F(CatalogueFixture, ReadsOnlyTheFirstMillionBytes) {
    // 84-byte lines: the limit falls in the middle of line 11905.
    std::string text;
    const std::string line = line1 + "\n";
    while (text.size() < 1000000 + 2 * line.size())
        text += line;
    WriteFile("stations.txt", text);
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 1000000 / 84);

    // The text ends at a zero byte.
    WriteFile("stations.txt", line1 + "\n" + std::string(1, '\0') + line2 + "\n");
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::LocalFile));
    EXPECT_EQ(all.GetSize(), 1);
}

TEST_F(CatalogueFixture, LoadsFromTheReportServer) {
    testing_support::TestHttpServer server(
        [this](const httplib::Request& req, httplib::Response& res) {
            if (req.path == "/weather/surface/stations.txt")
                res.set_content(line2 + "\n" + line1, "text/plain");
            else
                res.status = 404;
        });
    catalogue.SetServerUrl(server.BaseUrl());
    EXPECT_TRUE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer));
    ASSERT_EQ(all.GetSize(), 2);
    EXPECT_EQ(all[0].strICAO, "EDDF");
    EXPECT_FALSE(std::filesystem::exists("stations.txt")); // parsed only, not stored

    // An empty download leaves the catalogue as it was, without a message.
    catalogue.SetServerUrl("http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()));
    EXPECT_FALSE(catalogue.LoadStationList(StationCatalogue::Source::ReportServer));
    EXPECT_EQ(all.GetSize(), 2);
    EXPECT_TRUE(recorder.messages.empty());
}
