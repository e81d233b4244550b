#include "catalogue/StationCatalogue.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RecordingCatalogueHost.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

namespace {

using RecordingHost = testing_support::RecordingCatalogueHost;

StationRecord Station(const std::string& name, const std::string& icao, double lon = 0,
                      double colat = 0) {
    StationRecord r;
    r.strStation = name;
    r.strICAO = icao;
    r.dLongitude = lon;
    r.dColatitude = colat;
    return r;
}

struct SearchFixture : ::testing::Test {
    testing_support::MessageRecorder recorder;
    RecordingHost host;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue{fetcher, current, all};

    SearchFixture() {
        catalogue.SetHost(&host);
        all.Add(Station("BERLIN_TEGEL", "EDDT", 193.3, 37.4));
        all.Add(Station("HAMBURG", "EDDH", 190.0, 36.4));
        all.Add(Station("ALBERTA BEACH", "CXAB", 66.0, 36.3));
        all.Add(Station("SYDNEY", "YSSY", 331.2, 123.9));
        all.Add(Station("CUMBERLAND (X)", "KCBE", 101.2, 50.4));
        current.bMetricStyle = 1;
        current.iShowPastHours = 36;
    }
};

} // namespace

TEST_F(SearchFixture, FindsNameOrCodeIgnoringCaseInCatalogueOrder) {
    EXPECT_EQ(catalogue.SearchStations("BeR", all, false, true), 3);
    ASSERT_EQ(host.result.GetSize(), 3);
    EXPECT_EQ(host.result[0].strICAO, "EDDT");
    EXPECT_EQ(host.result[1].strICAO, "CXAB");
    EXPECT_EQ(host.result[2].strICAO, "KCBE");
    EXPECT_EQ(host.resultLists, (std::vector<std::string>{"The stations found by \"ber\""}));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(host.reports.empty());

    EXPECT_EQ(catalogue.SearchStations("edd", all, false, true), 2); // codes too; emptied first
    EXPECT_EQ(catalogue.SearchStations("", all, false, true), 5);    // the empty text matches all
}

TEST_F(SearchFixture, NothingFoundIsReportedInLowerCaseAndTheListStillOpens) {
    EXPECT_EQ(catalogue.SearchStations("XYZZY", all, false, true), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "No station \"xyzzy\" found in a list.");
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(host.resultLists, (std::vector<std::string>{"The stations found by \"xyzzy\""}));
}

TEST_F(SearchFixture, SelectFirstProbesAndOpensTheFirstMatch) {
    testing_support::TestHttpServer server([](const httplib::Request& req, httplib::Response& res) {
        if (req.get_param_value("metarIds") == "EDDH")
            res.set_content(testing_support::SorryPage(), "text/html");
        else
            res.set_content(testing_support::PageHtml(testing_support::SampleRows(1)), "text/html");
    });
    catalogue.SetServerUrl(server.BaseUrl());

    EXPECT_EQ(catalogue.SearchStations("DDT", all, true, false), 1);
    EXPECT_EQ(host.stationWindows, (std::vector<std::string>{"BERLIN_TEGEL"}));
    ASSERT_EQ(host.opened.GetSize(), 1);
    EXPECT_EQ(host.opened[0].strICAO, "EDDT");
    EXPECT_EQ(host.recent, (std::vector<std::string>{"BERLIN_TEGEL (EDDT)"}));
    EXPECT_EQ(current.strICAO, "EDDT");    // the current station became the selected one
    EXPECT_EQ(current.iShowPastHours, 36); // the user's parameters stayed
    EXPECT_TRUE(host.resultLists.empty());
    EXPECT_NE(server.LastTarget().find("hoursStr=most%20recent%20only"), std::string::npos);

    // A first match without data: the no-data message, still 1, no window.
    EXPECT_EQ(catalogue.SearchStations("hamburg", all, true, false), 1);
    EXPECT_EQ(host.stationWindows.size(), 1u);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text.rfind("Sorry, no data available for the Station:", 0), 0u);
    EXPECT_EQ(current.strICAO, "EDDH");
    EXPECT_EQ(host.opened.GetSize(), 1);

    // A window that cannot be created: nothing appended, no recent entry.
    host.windowsOpen = false;
    EXPECT_FALSE(catalogue.SelectStation(all[3]));
    EXPECT_EQ(host.opened.GetSize(), 1);
    EXPECT_EQ(host.recent.size(), 1u);
}

TEST_F(SearchFixture, PointToCoordinatesAtTheMapCorners) {
    ObservationRecord r;
    ASSERT_TRUE(catalogue.PointToCoordinates(20, 45, &r));
    EXPECT_EQ(r.dPointLongitude, 0);
    EXPECT_EQ(r.dPointColatitude, 0);
    EXPECT_EQ(r.strPointLon, "180 00W");
    EXPECT_EQ(r.strPointLat, "90 00N");
    EXPECT_EQ(host.status.back(), "  180 00W,  90 00N");

    ASSERT_TRUE(catalogue.PointToCoordinates(519, 294, &r));
    EXPECT_EQ(r.dPointLongitude, 360);
    EXPECT_LT(r.dPointColatitude, 180);
    EXPECT_GT(r.dPointColatitude, 179.99);
    EXPECT_EQ(r.strPointLon, "180 00E");
    EXPECT_EQ(r.strPointLat, "89 59S");

    ASSERT_TRUE(catalogue.PointToCoordinates(270, 170, &r));
    EXPECT_EQ(r.strPointLon, "000 21E");

    const std::size_t before = host.status.size();
    ObservationRecord untouched;
    EXPECT_FALSE(catalogue.PointToCoordinates(520, 100, &untouched));
    EXPECT_FALSE(catalogue.PointToCoordinates(100, 44, &untouched));
    EXPECT_EQ(untouched, ObservationRecord{});
    EXPECT_EQ(host.status.size(), before);
}

TEST_F(SearchFixture, CoordinatesToPointProjection) {
    EXPECT_EQ(StationCatalogue::CoordinatesToPoint(0, 0), (platform::Point{20, 45}));
    EXPECT_EQ(StationCatalogue::CoordinatesToPoint(360, 180), (platform::Point{519, 294}));
    EXPECT_EQ(StationCatalogue::CoordinatesToPoint(180, 90), (platform::Point{269, 169}));
}

TEST_F(SearchFixture, NearestStationsLieInASquareWithoutWrapAround) {
    const double l = 249 * 0.721442885771543; // longitude of x = 269, near 180
    const double c = 90.0;                    // stations on the equator...
    const int y = 45 + 125;                   // ...and a point 0.36 degrees south of it
    const double pc = 125 * 0.7228915662650601;
    all.RemoveAll();
    for (double lon : {l - 1.51, l - 1.49, l + 1.49, l + 1.51, 0.3, 2.2, 2.3, 359.9})
        all.Add(Station("S", "X", lon, c));
    all.Add(Station("S", "NORTH", l, pc - 1.51));
    all.Add(Station("S", "EDGE", l + 1.5, c)); // exactly on the edge: left out
    EXPECT_EQ(catalogue.FindNearestStations(269, y, 90), 2);
    EXPECT_EQ(host.result[0].dLongitude, l - 1.49);
    EXPECT_EQ(host.result[1].dLongitude, l + 1.49);

    // Near the left edge only one side is searched: 359.9 lies across the seam.
    EXPECT_EQ(catalogue.FindNearestStations(21, y, 90), 2);
    EXPECT_EQ(host.result[0].dLongitude, 0.3);
    EXPECT_EQ(host.result[1].dLongitude, 2.2);

    // Off the map the search runs around 0, 0; the result table is emptied each time.
    EXPECT_EQ(catalogue.FindNearestStations(5, 5, 90), 0);
    EXPECT_EQ(host.result.GetSize(), 0);
}

TEST_F(SearchFixture, AStationWithKeptObservationsOpensWithoutAProbe) {
    int requests = 0;
    testing_support::TestHttpServer server([&](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content(testing_support::PageHtml(testing_support::SampleRows(1)), "text/html");
    });
    catalogue.SetServerUrl(server.BaseUrl());
    host.kept = {"EDDH"};
    EXPECT_FALSE(catalogue.OpeningFromStore());
    EXPECT_TRUE(catalogue.SelectStation(all[1]));
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(host.stationWindows, (std::vector<std::string>{"HAMBURG"}));
    EXPECT_FALSE(catalogue.OpeningFromStore()); // only while the window is opened
    // Without kept rows the server is asked first, as always.
    EXPECT_TRUE(catalogue.SelectStation(all[0]));
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(host.opened.GetSize(), 2);
}
