// The window layout file, written at close and read at the next start.

#include "app/ChildFrame.h"
#include "app/LayoutFile.h"
#include "catalogue/Settings.h"
#include "mapview/MeteogramPane.h"
#include "mapview/VentoraView.h"
#include "platform/qt/Profile.h"
#include "resources/CommandIds.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestHttpServer.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QTest>

#include <array>
#include <filesystem>
#include <limits>
#include <optional>

using testing_support::AppFixture;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

std::string Record(const LayoutEntry& e, std::int32_t length = kLayoutEntrySize) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    return bytes + EncodeEntry(e);
}

LayoutEntry Entry(std::int32_t kind, WindowPlacement where = {}) {
    LayoutEntry e;
    e.nKind = kind;
    e.wpPlacement = where;
    return e;
}

WindowPlacement At(int left, int top, int right, int bottom) {
    WindowPlacement p;
    p.showCmd = 1;
    p.left = left, p.top = top, p.right = right, p.bottom = bottom;
    return p;
}

} // namespace

TEST(LayoutBytes, EntriesAndPlacementsByteForByte) {
    StationRecord s;
    s.strStation = "NYC_JFK ARPT";
    s.strCY = "US";
    s.strICAO = "KJFK";
    s.strCD = "NY";
    s.strLat = "40 38N";
    s.strLon = "073 46W";
    s.strElev = "9";
    LayoutEntry e = MakeLayoutEntry(KIND_STATION, s, nullptr);
    e.wpPlacement = At(10, 20, 660, 690);
    // Every field distinct, so that a field read at a neighbour's offset shows.
    e.wpPlacement.flags = 2;
    e.wpPlacement.minX = -1, e.wpPlacement.minY = -2;
    e.wpPlacement.maxX = 300, e.wpPlacement.maxY = 400;
    EXPECT_EQ(EncodeEntry(e).substr(4, 13), std::string("NYC_JFK ARPT\0", 13));
    SetField(e.szName, std::string(140, 'N')); // cut to 127
    const std::string bytes = EncodeEntry(e);
    ASSERT_EQ(bytes.size(), 468u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(bytes.substr(4, 127), std::string(127, 'N'));
    EXPECT_EQ(bytes[131], '\0');
    EXPECT_EQ(bytes.substr(132, 3), std::string("US\0", 3));
    EXPECT_EQ(bytes.substr(260, 5), std::string("KJFK\0", 5));
    EXPECT_EQ(bytes.substr(292, 2), "NY");
    EXPECT_EQ(bytes.substr(324, 6), "40 38N");
    EXPECT_EQ(bytes.substr(356, 7), "073 46W");
    EXPECT_EQ(bytes.substr(388, 1), "9");
    EXPECT_EQ(bytes.substr(420, 4), std::string("\x2C\0\0\0", 4));   // placement length 44
    EXPECT_EQ(bytes.substr(444, 4), std::string("\x90\x01\0\0", 4)); // max position y 400
    EXPECT_EQ(bytes.substr(448, 4), std::string("\x0A\0\0\0", 4));   // left
    EXPECT_EQ(bytes.substr(460, 4), std::string("\xB2\x02\0\0", 4)); // bottom 690

    const LayoutEntry back = DecodeEntry(bytes.data());
    EXPECT_EQ(FieldText(back.szName), std::string(127, 'N'));
    EXPECT_EQ(FieldText(back.szIcao), "KJFK");
    EXPECT_EQ(back.wpPlacement, e.wpPlacement);
    EXPECT_EQ(EncodePlacement(At(-5, 0, 1, 2)).substr(28, 4), std::string("\xFB\xFF\xFF\xFF", 4));
}

TEST(LayoutPlacement, EveryWindowIsFittedWhollyIntoItsArea) {
    struct Case {
        WindowPlacement placement;
        PlacementBounds bounds;
        std::optional<std::array<int, 4>> fitted; // x, y, width, height
    };
    const PlacementBounds area{0, 0, 800, 600};
    const Case cases[] = {
        {At(10, 20, 110, 220), area, {{10, 20, 100, 200}}},
        {At(-5, -5, 95, 95), area, {{0, 0, 100, 100}}},
        {At(750, 550, 850, 650), area, {{700, 500, 100, 100}}},
        {At(0, 0, 20000, 50), area, {{0, 0, 800, 100}}},          // widest, lowest
        {At(5000, 5000, 5650, 5670), area, {{150, 0, 650, 600}}}, // far away, too tall
        {At(10, 10, 30, 30), PlacementBounds{0, 0, 50, 50}, {{0, 0, 50, 50}}},
        {At(10, 10, 110, 110), PlacementBounds{100, 200, 800, 600}, {{110, 210, 100, 100}}},
        {At(0, 0, 0, 0), area, std::nullopt},             // an empty placement is none
        {At(10, 10, 11, 11), area, {{10, 10, 100, 100}}}, // the least of a placement grows
        {At(10, 10, 11, 11), PlacementBounds{0, 0, 1, 1}, {{0, 0, 1, 1}}},
        {At(10, 10, 10, 110), area, std::nullopt}, // no width
        {At(10, 10, 110, 10), area, std::nullopt}, // no height
        {At(10, 10, 110, 110), PlacementBounds{0, 0, 0, 600}, std::nullopt},
        {At(10, 10, 110, 110), PlacementBounds{0, 0, 800, 0}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto f = FitPlacement(c.placement, c.bounds);
        SCOPED_TRACE(c.placement.left);
        ASSERT_EQ(f.has_value(), c.fitted.has_value());
        if (f) {
            EXPECT_EQ((std::array<int, 4>{f->x, f->y, f->width, f->height}), *c.fitted);
        }
    }
    for (std::uint32_t show : {1u, 2u, 3u, 6u, 7u}) {
        WindowPlacement p = At(0, 0, 100, 100);
        p.showCmd = show;
        EXPECT_EQ(FitPlacement(p, area)->maximised, show == 3) << show;
        EXPECT_EQ(FitPlacement(p, area)->minimised, show == 2 || show >= 6) << show;
    }
}

class LayoutTest : public AppFixture {
protected:
    testing_support::TestHttpServer m_server{[](const httplib::Request&, httplib::Response& res) {
        res.set_content(testing_support::PageHtml(testing_support::SampleRows(6)), "text/html");
    }};

    void StartWithLayout(int save, int restore) {
        platform::Profile::WriteInt("Settings", "iSaveLayout", save);
        platform::Profile::WriteInt("Settings", "iRestoreLayout", restore);
        Start(testing_support::SampleStationList(), CVentoraApp::Options{m_server.BaseUrl()});
    }
};

TEST_F(LayoutTest, WindowsComeBackInOrderAndInPlace) {
    StartWithLayout(1, 1); // no file yet: one world map
    ASSERT_EQ(Titles(), (std::vector<std::string>{"World Map"}));
    App().OpenStations({"KJFK"});
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Frame().Action(ids::ID_VIEW_SHOW_ALL_STATIONS)->trigger();
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Frame().OpenResultList("Nearest stations");
    // A zoom window is written but not re-created.
    QWidget* map = WindowTitled("World Map")->widget();
    QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, QPoint(20, 45));
    QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    Pump();
    ASSERT_EQ(Windows().size(), 5u);
    WindowTitled("World Map")->setGeometry(5, 6, 550, 350);
    WindowTitled("NYC_JFK ARPT")->setGeometry(40, 30, 500, 400);
    WindowTitled("All stations")->setGeometry(100, 50, 501, 400);
    Frame().setGeometry(30, 40, 700, 700);
    const QRect mainGeometry = Frame().geometry();
    Stop();

    // Map windows first (world map, station, zoom), then the lists.
    const std::string file = ReadFile(kLayoutFile);
    ASSERT_EQ(file.size(), 44u + 5u * 472u);
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 4).nKind, KIND_WORLD_MAP);
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 472 + 4).nKind, KIND_STATION);
    EXPECT_EQ(FieldText(DecodeEntry(file.data() + 44 + 472 + 4).szIcao), "KJFK");
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 2 * 472 + 4).nKind, KIND_ZOOM_MAP);
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 3 * 472 + 4).nKind, KIND_ALL_STATIONS);
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 4 * 472 + 4).nKind, KIND_RESULT_LIST);
    m_app.reset();

    StartWithLayout(1, 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map", "NYC_JFK ARPT", "All stations",
                                                  "All stations"}));
    EXPECT_EQ(WindowTitled("World Map")->geometry(), QRect(5, 6, 550, 350));
    EXPECT_EQ(WindowTitled("NYC_JFK ARPT")->geometry(), QRect(40, 30, 500, 400));
    EXPECT_EQ(Windows()[2]->geometry(), QRect(100, 50, 501, 400));
    EXPECT_EQ(Frame().geometry(), mainGeometry);
    // The restored station stands where it is, not in the map's corner.
    ASSERT_EQ(Frame().StationsOpened().GetSize(), 1);
    EXPECT_NEAR(Frame().StationsOpened()[0].dLongitude, 106.233, 0.001);
}

TEST_F(LayoutTest, AStationWithoutReportsOpensNothingAndTheRestoreGoesOn) {
    testing_support::FakeReportServer server;
    server.SetPage("KJFK", testing_support::Rows("KJFK", 4, 30));
    auto station = [](const std::string& icao, const std::string& name) {
        StationRecord s;
        s.strICAO = icao;
        s.strStation = name;
        return MakeLayoutEntry(KIND_STATION, s, nullptr);
    };
    LayoutEntry hamburg = station("EDDH", "HAMBURG"); // the server has nothing for it
    LayoutEntry jfk = station("KJFK", "NYC_JFK ARPT");
    jfk.wpPlacement = At(40, 30, 690, 700);
    // A code longer than any station's, which this program never writes: cut, it would be
    // KJFK's.
    LayoutEntry damaged = station("KJFK", "LONG CODE");
    SetField(damaged.szIcao, "KJFKX");
    WriteFile(kLayoutFile, EncodePlacement(At(0, 0, 800, 800)) + Record(hamburg) + Record(damaged) +
                               Record(jfk) + Record(Entry(KIND_ALL_STATIONS)));
    platform::Profile::WriteInt("Settings", "iRestoreLayout", 1);
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"NYC_JFK ARPT", "All stations"}));
    EXPECT_EQ(WindowTitled("NYC_JFK ARPT")->geometry(), QRect(40, 30, 650, 670));
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text.rfind("Sorry, no data available for the Station:", 0),
              0u);
}

TEST_F(LayoutTest, RestoreOffOrNoFileOpensOneWorldMap) {
    WriteFile(kLayoutFile, EncodePlacement(At(0, 0, 800, 800)) + Record(Entry(KIND_ALL_STATIONS)));
    StartWithLayout(0, 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map"}));
}

TEST_F(LayoutTest, ShortFilesAndOddRecords) {
    // Shorter than a placement: no window at all.
    WriteFile(kLayoutFile, std::string(20, '\0'));
    StartWithLayout(0, 1);
    EXPECT_TRUE(Windows().empty());
    m_app.reset();

    // A truncated record ends the restore; the windows before it stay.
    const std::string placement = EncodePlacement(At(0, 0, 800, 800));
    WriteFile(kLayoutFile, placement + Record(Entry(KIND_WORLD_MAP, At(1, 2, 300, 200))) +
                               Record(Entry(KIND_ALL_STATIONS)).substr(0, 100));
    StartWithLayout(0, 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map"}));
    EXPECT_EQ(Windows()[0]->geometry(), QRect(1, 2, 299, 198));
    m_app.reset();

    // A record whose length is not 468 ends it too, before a byte of it is read.
    WriteFile(kLayoutFile, placement + Record(Entry(KIND_WORLD_MAP), 500) + std::string(32, 'x') +
                               Record(Entry(KIND_ALL_STATIONS)));
    StartWithLayout(0, 1);
    EXPECT_TRUE(Windows().empty());
    m_app.reset();

    // Unknown kinds are skipped.
    WriteFile(kLayoutFile, placement + Record(Entry(4)) + Record(Entry(KIND_ZOOM_MAP)) +
                               Record(Entry(KIND_RESULT_LIST)));
    StartWithLayout(0, 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"All stations"}));
}

TEST_F(LayoutTest, ClosingWithoutChildWindowsWritesThePlacementOnly) {
    StartWithLayout(1, 0);
    Frame().MdiArea()->closeAllSubWindows();
    Stop();
    EXPECT_EQ(ReadFile(kLayoutFile).size(), 44u);
}

TEST_F(LayoutTest, AFileThatCannotBeCreatedIsReportedAndClosingGoesOn) {
    WriteFile(kLayoutFile, "the earlier layout");
    std::filesystem::create_directory(std::string(kLayoutFile) + ".tmp"); // in the way
    StartWithLayout(1, 0);
    Frame().close();
    Pump();
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages.back().text, "Can not create file: \"LAYOUT.BIN\"");
    EXPECT_EQ(ReadFile(kLayoutFile), "the earlier layout");
    // The program does not stay trapped: the window closed and its children with it.
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(Windows().empty());
}

TEST_F(LayoutTest, AnOutageAtStartKeepsTheSavedStationsAndWaitsForNone) {
    testing_support::FakeReportServer server;
    for (const char* icao : {"KJFK", "EDDH", "YSSY"})
        server.SetPage(icao, testing_support::Rows(icao, 4, 30));
    auto station = [](const std::string& icao, const std::string& name, WindowPlacement at) {
        StationRecord s;
        s.strICAO = icao;
        s.strStation = name;
        LayoutEntry e = MakeLayoutEntry(KIND_STATION, s, nullptr);
        e.wpPlacement = at;
        return e;
    };
    const std::string layout = EncodePlacement(At(0, 0, 700, 700)) +
                               Record(Entry(KIND_WORLD_MAP, At(0, 0, 550, 350))) +
                               Record(station("KJFK", "NYC_JFK ARPT", At(10, 10, 660, 680))) +
                               Record(station("EDDH", "HAMBURG", At(20, 20, 670, 690))) +
                               Record(station("YSSY", "SYDNEY", At(30, 30, 680, 700))) +
                               Record(Entry(KIND_ALL_STATIONS, At(40, 40, 541, 648)));
    WriteFile(kLayoutFile, layout);
    server.SetStatus(503); // the server is down for maintenance
    platform::Profile::WriteInt("Settings", "iSaveLayout", 1);
    platform::Profile::WriteInt("Settings", "iRestoreLayout", 1);
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    // One station asked, one message; the others kept without waiting.
    EXPECT_EQ(server.Requests().size(), 1u);
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map", "All stations"}));
    EXPECT_EQ(ServerNotice(), "3 saved station windows were not reopened: the report "
                              "server did not answer. They stay in the layout.");
    Stop();
    // The layout still holds all five windows, the stations in their places.
    const std::string file = ReadFile(kLayoutFile);
    ASSERT_EQ(file.size(), 44u + 5u * 472u);
    EXPECT_EQ(FieldText(DecodeEntry(file.data() + 44 + 472 + 4).szIcao), "KJFK");
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 472 + 4).wpPlacement, At(10, 10, 660, 680));
    EXPECT_EQ(FieldText(DecodeEntry(file.data() + 44 + 3 * 472 + 4).szIcao), "YSSY");
    EXPECT_EQ(DecodeEntry(file.data() + 44 + 4 * 472 + 4).nKind, KIND_ALL_STATIONS);
    m_app.reset();

    // The server is back: the next start opens them all.
    server.SetStatus(200);
    m_recorder.messages.clear();
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map", "NYC_JFK ARPT", "HAMBURG", "SYDNEY",
                                                  "All stations"}));
    EXPECT_TRUE(m_recorder.messages.empty());
    EXPECT_TRUE(Frame().UnrestoredStations().empty());
}

TEST_F(LayoutTest, PlacementsAreKeptWithinReach) {
    const int lowest = std::numeric_limits<std::int32_t>::min();
    const int highest = std::numeric_limits<std::int32_t>::max();
    WindowPlacement main = At(lowest, lowest, highest, highest);
    auto station = [](WindowPlacement at) {
        StationRecord s;
        s.strICAO = "KJFK";
        s.strStation = "NYC_JFK ARPT";
        LayoutEntry e = MakeLayoutEntry(KIND_STATION, s, nullptr);
        e.wpPlacement = at;
        return e;
    };
    WriteFile(kLayoutFile,
              EncodePlacement(main) +
                  Record(Entry(KIND_WORLD_MAP, At(lowest, 5, highest, 300))) // overflowing width
                  + Record(Entry(KIND_WORLD_MAP, At(50000, 40000, 50550, 40350))) // far away
                  + Record(Entry(KIND_WORLD_MAP, At(-90000, -90000, -89450, -89650))) +
                  Record(Entry(KIND_WORLD_MAP, At(10, 10, 1000000000, 1000000000))) + // huge
                  Record(station(At(5000, 5000, 5650, 5670))) +
                  Record(station(At(-900, -900, -400, -500))) +
                  Record(Entry(KIND_ALL_STATIONS, At(0, 0, 20000, 608))));
    StartWithLayout(1, 1);
    ASSERT_EQ(Windows().size(), 7u);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(Frame().width(), screen.width());
    EXPECT_LE(Frame().height(), screen.height());
    const QRect area(QPoint(0, 0), Frame().MdiArea()->viewport()->size());
    for (CChildFrame* w : Windows()) {
        SCOPED_TRACE(w->windowTitle().toStdString() + " at " + std::to_string(w->x()) + "," +
                     std::to_string(w->y()));
        // Wholly inside the child-window area, title bar and buttons within reach.
        EXPECT_TRUE(area.contains(w->geometry()));
        EXPECT_GE(w->width(), 100);
        EXPECT_GE(w->height(), 100);
    }
    EXPECT_EQ(Windows()[1]->size(), QSize(550, 350)); // moved, not resized
    EXPECT_EQ(Windows()[6]->width(), area.width());   // the 20,000-pixel list fits the area
    EXPECT_EQ(Windows()[5]->size(), QSize(500, 400)); // a meteogram keeps its saved size
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/layout-off-screen-placements.png"));
    // What is written back is the place where the window now is.
    Stop();
    const std::string file = ReadFile(kLayoutFile);
    const WindowPlacement far = DecodeEntry(file.data() + 44 + 472 + 4).wpPlacement;
    EXPECT_LE(far.right, area.width());
    EXPECT_LE(far.bottom, area.height());
}

TEST_F(LayoutTest, AnOutageAtStartOpensTheKeptStationsWithTheirLastReports) {
    testing_support::FakeReportServer server;
    for (const char* icao : {"KJFK", "EDDH", "YSSY"})
        server.SetPage(icao, testing_support::Rows(icao, 4, 30));
    auto station = [](const std::string& icao, const std::string& name) {
        StationRecord s;
        s.strICAO = icao;
        s.strStation = name;
        return MakeLayoutEntry(KIND_STATION, s, nullptr);
    };
    // JFK and Hamburg were shown in an earlier run, so their reports are kept; Sydney never.
    WriteFile(kLayoutFile, EncodePlacement(At(0, 0, 800, 800)) +
                               Record(station("KJFK", "NYC_JFK ARPT")) +
                               Record(station("EDDH", "HAMBURG")));
    platform::Profile::WriteInt("Settings", "iRestoreLayout", 1);
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    ASSERT_EQ(Titles(), (std::vector<std::string>{"NYC_JFK ARPT", "HAMBURG"}));
    Stop();
    m_app.reset();

    WriteFile(kLayoutFile,
              EncodePlacement(At(0, 0, 800, 800)) + Record(station("KJFK", "NYC_JFK ARPT")) +
                  Record(station("YSSY", "SYDNEY")) + Record(station("EDDH", "HAMBURG")));
    server.SetStatus(503);
    server.ClearRequests();
    m_recorder.messages.clear();
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    Pump();
    // The kept stations open with their reports; Sydney is asked for once and kept for later;
    // the windows do not wait for a server known to be down.
    EXPECT_EQ(Titles(), (std::vector<std::string>{"NYC_JFK ARPT", "HAMBURG"}));
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"YSSY most recent only"});
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_NE(m_recorder.messages[0].text.find("SYDNEY (YSSY)"), std::string::npos);
    ASSERT_EQ(Frame().UnrestoredStations().size(), 1u);
    EXPECT_EQ(FieldText(Frame().UnrestoredStations()[0].szIcao), "YSSY");
    auto* jfk = MapView(WindowTitled("NYC_JFK ARPT"))->PaneAs<MeteogramPane>();
    ASSERT_TRUE(jfk);
    EXPECT_EQ(jfk->Graph()->RowCount(), 4);
    EXPECT_EQ(jfk->Chart()->FootNote().rfind("Offline: newest report 04:50 UTC, ", 0), 0u)
        << jfk->Chart()->FootNote();
    EXPECT_GT(jfk->TimerInterval(), 0);
}
