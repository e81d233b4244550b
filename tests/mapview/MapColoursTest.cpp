// The maps coloured by every station's latest report, through the real windows: View > Map
// Colours, the table fetched from a server on 127.0.0.1 without blocking the window, F5 and the
// five-minute refresh, an outage, the pointer's tip, and the setting.

#include "app/ChildFrame.h"
#include "mapview/VentoraView.h"
#include "mapview/WorldMapPane.h"
#include "mapview/ZoomMapPane.h"
#include "observations/LatestTable.h"
#include "observations/ReportProtocol.h"
#include "platform/CalendarTime.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/Profile.h"
#include "reportd/Simulation.h"
#include "resources/CommandIds.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/AppFixture.h"
#include "tests/support/RecordingSurface.h"
#include "tests/support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QMdiArea>
#include <QSettings>
#include <QTest>
#include <QToolTip>

#include <atomic>

using testing_support::AppFixture;

namespace {

// The sample list's stations that report: Berlin VFR, Hamburg IFR, Sydney LIFR, Cumberland
// MVFR, JFK without visibility; Alberta Beach has none. One row of a station the viewer does not
// know and one that cannot be read.
std::string SampleTable(std::int64_t observed) {
    const std::vector<LatestRow> rows = {
        MakeLatestRow("EDDT", observed, "EDDT 071450Z 27010KT 9999 FEW030 11/03 Q1013"),
        MakeLatestRow("EDDH", observed, "EDDH 071450Z 24025G38KT 2000 -RA OVC008 08/07 Q1002"),
        MakeLatestRow("YSSY", observed, "YSSY 071430Z 16012KT 0800 FG VV002 18/18 Q1018"),
        MakeLatestRow("KCBE", observed, "KCBE 071453Z 00000KT 4SM BR OVC020 M05/M06 A3001"),
        MakeLatestRow("KJFK", observed, "KJFK 071451Z 31008KT 13/M01 A3012"),
        MakeLatestRow("ZZZZ", observed, "ZZZZ 071450Z 00000KT CAVOK 20/10 Q1000"),
    };
    return WriteLatestTable(rows) + "EDDF,not a time,,,,,,,,,,EDDF\r\n";
}

QColor ColourOf(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

class MapColoursTest : public AppFixture {
protected:
    std::atomic<int> m_tables{0};
    std::atomic<int> m_status{200};
    std::int64_t m_observed = platform::CurrentTime() - 600;
    testing_support::TestHttpServer m_server{
        [this](const httplib::Request& req, httplib::Response& res) {
            if (req.path != protocol::kLatestPath) {
                res.status = 404;
                return;
            }
            ++m_tables;
            res.status = m_status.load();
            res.set_content(res.status == 200 ? SampleTable(m_observed)
                                              : "<HTML><BODY><P>busy</P></BODY></HTML>",
                            res.status == 200 ? "text/csv" : "text/html");
        }};

    void StartViewer(CVentoraApp::Options options = {}) {
        options.serverUrl = m_server.BaseUrl();
        Start(testing_support::SampleStationList(), options);
        ASSERT_TRUE(WorldMap());
    }
    CVentoraView* WorldMap() { return MapView(WindowTitled("World Map")); }
    void Choose(int id) {
        Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
        Frame().Action(id)->trigger();
    }
    // Waits until the feed has handed over `tables` answers.
    void WaitForTables(int tables) {
        QElapsedTimer waited;
        waited.start();
        while ((m_tables.load() < tables || Frame().Feed().Busy()) && waited.elapsed() < 5000)
            Pump(5);
        ASSERT_EQ(m_tables.load(), tables);
        ASSERT_FALSE(Frame().Feed().Busy());
    }
    QPoint PointOf(const std::string& icao) {
        for (const StationRecord& s : Frame().StationsAll())
            if (s.strICAO == icao) {
                const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
                return {p.x, p.y};
            }
        return {};
    }
    QColor PixelOf(const std::string& icao) {
        return WorldMap()->grab().toImage().pixelColor(PointOf(icao));
    }
    std::vector<std::string> LegendTexts(CVentoraView* view) {
        testing_support::RecordingSurface surface({0, 0, view->width(), view->height()});
        view->OnDraw(surface);
        return surface.Texts();
    }
};

TEST_F(MapColoursTest, AModeSwitchedOnFetchesTheTableAndColoursTheWorldMap) {
    StartViewer();
    EXPECT_EQ(PixelOf("EDDT"), QColor(255, 0, 0));
    EXPECT_EQ(m_tables.load(), 0) << "no table is fetched while the colours are off";
    EXPECT_FALSE(Frame().Action(ids::ID_VIEW_REFRESH)->isEnabled());

    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    Pump();
    EXPECT_TRUE(Frame().Action(ids::ID_VIEW_MAP_COLOURS_CATEGORY)->isChecked());
    EXPECT_FALSE(Frame().Action(ids::ID_VIEW_MAP_COLOURS_STATIONS)->isChecked());
    EXPECT_TRUE(Frame().Action(ids::ID_VIEW_REFRESH)->isEnabled());
    const QImage map = WorldMap()->grab().toImage();
    EXPECT_EQ(map.pixelColor(PointOf("EDDT")), ColourOf(FlightCategoryColour(FlightCategory::VFR)));
    EXPECT_EQ(map.pixelColor(PointOf("EDDH")), ColourOf(FlightCategoryColour(FlightCategory::IFR)));
    EXPECT_EQ(map.pixelColor(PointOf("YSSY")),
              ColourOf(FlightCategoryColour(FlightCategory::LIFR)));
    EXPECT_EQ(map.pixelColor(PointOf("KCBE")),
              ColourOf(FlightCategoryColour(FlightCategory::MVFR)));
    EXPECT_EQ(map.pixelColor(PointOf("CXAB")), ColourOf(kNoReportColour)); // no report
    // The dots are three pixels across.
    EXPECT_EQ(map.pixelColor(PointOf("EDDT") + QPoint(1, 1)),
              ColourOf(FlightCategoryColour(FlightCategory::VFR)));

    const std::string asOf = "as of " + UtcClock(Frame().Conditions().FetchedAt());
    EXPECT_EQ(PaneText(), "Current conditions: 5 stations, " + asOf + "; 2 bad rows skipped");
    EXPECT_EQ(LegendTexts(WorldMap()),
              (std::vector<std::string>{"VFR 1", "MVFR 1", "IFR 1", "LIFR 1", "no category 1",
                                        "no report 1", asOf}));

    Choose(ids::ID_VIEW_MAP_COLOURS_WIND);
    Pump();
    EXPECT_EQ(m_tables.load(), 1) << "the table at hand serves every mode";
    EXPECT_EQ(PixelOf("EDDH"), ColourOf(WindClassColour(WindClass::Strong)));
    EXPECT_EQ(PixelOf("KCBE"), ColourOf(WindClassColour(WindClass::Calm)));
    Choose(ids::ID_VIEW_MAP_COLOURS_TEMPERATURE);
    Pump();
    EXPECT_EQ(PixelOf("KCBE"), ColourOf(TemperatureColour(-5)));
    EXPECT_EQ(LegendTexts(WorldMap()).front(), "below -20 \xB0"
                                               "C 0");
}

TEST_F(MapColoursTest, ColoursOffLeaveTheMapAsDesigned) {
    StartViewer();
    const QImage before = WorldMap()->grab().toImage();
    const std::string status = PaneText();
    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    Choose(ids::ID_VIEW_MAP_COLOURS_STATIONS);
    Pump();
    EXPECT_EQ(WorldMap()->grab().toImage(), before);
    EXPECT_EQ(PaneText(), status);
    EXPECT_FALSE(Frame().Feed().Active());
    EXPECT_FALSE(Frame().Action(ids::ID_VIEW_REFRESH)->isEnabled());
}

TEST_F(MapColoursTest, F5FetchesAtOnceAndTheTimerEveryFiveMinutes) {
    StartViewer();
    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    EXPECT_TRUE(Frame().Feed().Timer().isActive());
    EXPECT_EQ(Frame().Feed().Timer().interval(), 5 * 60 * 1000);

    Frame().activateWindow();
    QTest::keyClick(&Frame(), Qt::Key_F5);
    WaitForTables(2);

    // The timer's own tick (made short, and once, for the test: a second tick could come
    // before the test stops it) fetches again.
    Frame().Feed().Timer().setSingleShot(true);
    Frame().Feed().Timer().setInterval(30);
    Frame().Feed().Timer().start();
    WaitForTables(3);

    // With the colours off, neither.
    Choose(ids::ID_VIEW_MAP_COLOURS_STATIONS);
    QTest::keyClick(&Frame(), Qt::Key_F5);
    Pump(50);
    EXPECT_EQ(m_tables.load(), 3);
}

TEST_F(MapColoursTest, AnOutageKeepsTheLastColoursAndIsToldOnceInTheStatusBar) {
    StartViewer();
    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    const QColor vfr = ColourOf(FlightCategoryColour(FlightCategory::VFR));
    const std::string asOf = "as of " + UtcClock(Frame().Conditions().FetchedAt());

    m_status = 503;
    Frame().RefreshConditions();
    WaitForTables(2);
    Pump();
    EXPECT_EQ(PixelOf("EDDT"), vfr);
    const std::vector<std::string> legend = LegendTexts(WorldMap());
    EXPECT_EQ(legend.back().rfind(asOf + ", ", 0), 0u) << legend.back();
    EXPECT_NE(legend.back().find("min ago"), std::string::npos) << legend.back();
    const std::string notice = ServerNotice();
    EXPECT_NE(notice.find("answers with errors (HTTP 503)"), std::string::npos) << notice;
    EXPECT_NE(notice.find("the map's current conditions"), std::string::npos) << notice;
    EXPECT_TRUE(m_recorder.messages.empty());

    Frame().RefreshConditions();
    WaitForTables(3);
    EXPECT_EQ(ServerNotice(), notice);
    EXPECT_TRUE(m_recorder.messages.empty());

    m_status = 200;
    Frame().RefreshConditions();
    WaitForTables(4);
    EXPECT_NE(ServerNotice().find("answers again"), std::string::npos);
    EXPECT_EQ(LegendTexts(WorldMap()).back(),
              "as of " + UtcClock(Frame().Conditions().FetchedAt()));
}

TEST_F(MapColoursTest, ThePointerRestingOnAStationTellsItsReport) {
    StartViewer();
    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    CVentoraView* view = WorldMap();
    auto tipAt = [view](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, view->mapToGlobal(at));
        QApplication::sendEvent(view, &help);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    EXPECT_EQ(tipAt(PointOf("EDDT") + QPoint(6, 0)), "") << "too far from any station";
    const std::string tip = tipAt(PointOf("EDDT") + QPoint(2, -2));
    EXPECT_EQ(tip, platform::FromCp1252(StationTip(Frame().StationsAll().At(0),
                                                   Frame().Conditions().RowOf("EDDT"), true,
                                                   platform::CurrentTime()))
                       .toStdString());
    EXPECT_NE(tip.find("BERLIN_TEGEL (EDDT)"), std::string::npos) << tip;
    EXPECT_NE(tip.find("10 min ago"), std::string::npos) << tip;
    EXPECT_NE(tip.find("Flight category VFR"), std::string::npos) << tip;
    EXPECT_NE(tip.find("EDDT 071450Z 27010KT 9999 FEW030 11/03 Q1013"), std::string::npos);
    // Moving away takes the tip away.
    tipAt(PointOf("EDDT") + QPoint(0, 6));
    QElapsedTimer waited;
    waited.start();
    while (QToolTip::isVisible() && waited.elapsed() < 3000)
        Pump(10);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(MapColoursTest, ZoomMapsAreColouredToo) {
    StartViewer();
    Choose(ids::ID_VIEW_MAP_COLOURS_CATEGORY);
    WaitForTables(1);
    // A drag around Berlin and Hamburg.
    const QPoint berlin = PointOf("EDDT");
    QTest::mousePress(WorldMap(), Qt::LeftButton, Qt::NoModifier, berlin - QPoint(10, 10));
    QTest::mouseMove(WorldMap(), berlin);
    QTest::mouseMove(WorldMap(), berlin + QPoint(10, 10));
    QTest::mouseRelease(WorldMap(), Qt::LeftButton, Qt::NoModifier, berlin + QPoint(10, 10));
    Pump();
    CVentoraView* zoom = MapView(Active());
    ASSERT_TRUE(zoom && zoom->PaneAs<ZoomMapPane>());
    testing_support::RecordingSurface surface({0, 0, zoom->width(), zoom->height()});
    zoom->OnDraw(surface);
    const auto dots = surface.OfKind(testing_support::DrawOp::Ellipse);
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_EQ(dots[0].brush.color, platform::RGB(0, 170, 0));
    EXPECT_EQ(dots[1].brush.color, platform::RGB(230, 0, 0));
    EXPECT_TRUE(surface.FindText("VFR 1"));
    EXPECT_TRUE(surface.FindText("IFR 1"));
    // F5 in the zoom map fetches too.
    QTest::keyClick(&Frame(), Qt::Key_F5);
    WaitForTables(2);
}

TEST_F(MapColoursTest, TheChoiceIsKeptInTheSettingsAndTheCommandLineChoosesForARun) {
    platform::Profile::WriteInt("Settings", "iSaveSettings", 1);
    platform::Profile::WriteInt("Settings", "iMapColours", 3);
    StartViewer();
    EXPECT_EQ(Frame().MapColourMode(), MapColours::Wind);
    WaitForTables(1); // fetched at start
    Choose(ids::ID_VIEW_MAP_COLOURS_TEMPERATURE);
    Stop();
    m_app.reset();
    EXPECT_EQ(QSettings("Korvessa", "Ventora").value("Settings/iMapColours").toInt(), 2);

    // A value out of range is the default; --map-colours holds for the run only.
    platform::Profile::WriteInt("Settings", "iMapColours", 4);
    CVentoraApp::Options options;
    options.mapColours = static_cast<int>(MapColours::Category);
    StartViewer(options);
    EXPECT_EQ(Frame().CurrentStation().iMapColours, 0);
    EXPECT_EQ(Frame().MapColourMode(), MapColours::Category);
    EXPECT_TRUE(Frame().Action(ids::ID_VIEW_MAP_COLOURS_CATEGORY)->isChecked());
    Stop();
    EXPECT_EQ(QSettings("Korvessa", "Ventora").value("Settings/iMapColours").toInt(), 0);
}

// Against the bundled server's simulated reports: every station's dot has the colour of its
// row in the server's own table.
TEST_F(MapColoursTest, TheSimulatedServersTableColoursEveryStation) {
    testing_support::RunningServer server(testing_support::SampleStationList(),
                                          std::make_unique<SimulatedSource>(),
                                          [] { return platform::CurrentTime(); });
    CVentoraApp::Options options;
    options.serverUrl = server.BaseUrl();
    options.mapColours = static_cast<int>(MapColours::Category);
    Start(testing_support::SampleStationList(), options);
    QElapsedTimer waited;
    waited.start();
    while (!Frame().Conditions().HasTable() && waited.elapsed() < 5000)
        Pump(5);
    ASSERT_TRUE(Frame().Conditions().HasTable());
    EXPECT_EQ(Frame().Conditions().RowCount(), 6);
    Pump();
    const QImage map = WorldMap()->grab().toImage();
    map.save(VENTORA_ARTIFACT_DIR "/map-colours-sample.png");
    for (const StationRecord& s : Frame().StationsAll()) {
        const LatestRow* row = Frame().Conditions().RowOf(s.strICAO);
        ASSERT_TRUE(row) << s.strICAO;
        const StationMark mark = Frame().Conditions().MarkOf(MapColours::Category, row);
        EXPECT_EQ(map.pixelColor(PointOf(s.strICAO)), ColourOf(mark.colour)) << s.strICAO;
    }
    // A zoom map of Europe, for the eye.
    QTest::mousePress(WorldMap(), Qt::LeftButton, Qt::NoModifier, QPoint(260, 80));
    QTest::mouseMove(WorldMap(), QPoint(290, 100));
    QTest::mouseMove(WorldMap(), QPoint(320, 120));
    QTest::mouseRelease(WorldMap(), Qt::LeftButton, Qt::NoModifier, QPoint(320, 120));
    Pump();
    CVentoraView* zoom = MapView(Active());
    ASSERT_TRUE(zoom && zoom->PaneAs<ZoomMapPane>());
    zoom->grab().save(VENTORA_ARTIFACT_DIR "/map-colours-zoom.png");
}
