// Meteogram windows end to end: opened from lists, searches, the recent list and the command
// line against a report server on 127.0.0.1, refreshed, closed and exported.

#include "app/ChildFrame.h"
#include "app/VentoraDoc.h"
#include "mapview/MeteogramPane.h"
#include "mapview/VentoraView.h"
#include "observations/MetarDecoder.h"
#include "observations/PageFetcher.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "reportd/Simulation.h"
#include "resources/CommandIds.h"
#include "stationlist/ListViewStations.h"
#include "tests/reportd/RunningServer.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/RecordingSurface.h"
#include "tests/support/ReportPageBuilder.h"
#include "tests/support/TestHttpServer.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <filesystem>
#include <mutex>

using testing_support::AppFixture;
using testing_support::PageRow;

using testing_support::Rows;

class StationWindowTest : public AppFixture {
protected:
    testing_support::FakeReportServer m_server;

    void SetPage(const std::string& icao, const std::vector<PageRow>& rows) {
        m_server.SetPage(icao, rows);
    }
    void SetLatest(const std::string& icao, const std::vector<PageRow>& rows) {
        m_server.SetLatest(icao, rows);
    }
    std::vector<std::string> Requests() { return m_server.Requests(); }

    void StartViewer(CVentoraApp::Options options = {}) {
        options.serverUrl = m_server.BaseUrl();
        Start(testing_support::SampleStationList(), options);
    }
    // The meteogram of the station window with the title, and the widget that paints it.
    MeteogramPane* StationView(const std::string& title) {
        CVentoraView* view = MapView(WindowTitled(title));
        return view ? view->PaneAs<MeteogramPane>() : nullptr;
    }
    CVentoraView* WidgetOf(const std::string& title) { return MapView(WindowTitled(title)); }
    // The note a station window draws along its foot after a refresh that failed; empty when
    // it draws none.
    std::string RefreshNote(const std::string& title) {
        testing_support::RecordingSurface surface({0, 0, 650, 670});
        WidgetOf(title)->OnDraw(surface);
        for (const std::string& text : surface.Texts())
            if (text.rfind("Not refreshed", 0) == 0)
                return text;
        return {};
    }
    // The message of opening JFK while the server fails.
    std::string Failed(const std::string& server, const std::string& what) {
        return "The report server " + server + " " + what +
               ".\n\nThe reports of NYC_JFK ARPT (KJFK) could not be retrieved.";
    }
    void OpenFromAllStations(const std::string& icao) {
        Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
        Frame().Action(ids::ID_VIEW_SHOW_ALL_STATIONS)->trigger();
        Pump();
        CListView_Stations* list = ListView(Active());
        ASSERT_TRUE(list);
        int row = -1;
        for (int r = 0; r < list->Model().rowCount(); ++r)
            if (list->Model().RowAt(r).texts[6] == icao)
                row = r;
        ASSERT_GE(row, 0);
        QTableView* table = list->Table();
        const QRect cell = table->visualRect(list->Model().index(row, 0));
        // A double-click: the first click selects, the second opens.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        Pump();
    }
};

TEST_F(StationWindowTest, ARowOfTheListOpensTheStationsMeteogram) {
    SetPage("KJFK", Rows("KJFK", 48, 30));
    StartViewer();
    OpenFromAllStations("KJFK");
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    EXPECT_EQ(WindowTitled("NYC_JFK ARPT")->size(), QSize(650, 670));
    EXPECT_EQ(Requests(),
              (std::vector<std::string>{"KJFK most recent only", "KJFK past 24 hours"}));
    ASSERT_TRUE(view->Graph());
    EXPECT_EQ(view->Graph()->RowCount(), 48);
    EXPECT_EQ(view->Graph()->Row(47).At(1), "10.00"); // the newest last
    EXPECT_EQ(view->Station().iPeriodMinutes, 30);
    EXPECT_EQ(view->TimerInterval(), 30 * 60000);
    EXPECT_EQ(view->Latest().dTemperature, 10.0);
    ASSERT_EQ(Frame().StationsOpened().GetSize(), 1);
    EXPECT_EQ(Frame().StationsOpened()[0].strICAO, "KJFK");
    EXPECT_EQ(App().RecentFiles().Entries().front(), "NYC_JFK ARPT (KJFK)");
    EXPECT_EQ(iNextWindowKind, KIND_STATION);
    EXPECT_TRUE(m_recorder.messages.empty());

    // What the window shows: the title and the curve colours.
    const QImage picture = WidgetOf("NYC_JFK ARPT")->grab().toImage();
    int red = 0;
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            red += picture.pixelColor(x, y) == QColor(250, 0, 0);
    EXPECT_GT(red, 100);
}

TEST_F(StationWindowTest, OneRowAndNoData) {
    SetPage("EDDH", Rows("EDDH", 1, 30));
    StartViewer();
    OpenFromAllStations("EDDH");
    MeteogramPane* view = StationView("HAMBURG");
    ASSERT_TRUE(view);
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text,
              "Get only one record from the station \"HAMBURG\".\nTherefore compelled to set the "
              "time-period to 30 mins and the time-delta UTC to 0 hours, sorry.");
    EXPECT_EQ(view->TimerInterval(), 1800000);
    EXPECT_EQ(view->Station().iUtcDeltaHours, 0);

    // No data: the message, no window, nothing opened, no recent entry.
    const std::size_t windows = Windows().size();
    OpenFromAllStations("YSSY");
    EXPECT_EQ(m_recorder.messages.back().text,
              "Sorry, no data available for the Station:\n\nSYDNEY  YSSY   (33 57S, 151 11E),  "
              "Elevation: 3 m,  AU.");
    EXPECT_EQ(Windows().size(), windows + 1); // only the list
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 1);
    EXPECT_EQ(App().RecentFiles().Entries().front(), "HAMBURG (EDDH)");
    EXPECT_EQ(Frame().CurrentStation().strICAO, "YSSY");
}

TEST_F(StationWindowTest, TicksAddNewObservationsOnly) {
    SetPage("KJFK", Rows("KJFK", 4, 60));
    StartViewer();
    Frame().CurrentStation().bWriteFile = 1;
    App().OpenStations({"kjfk"}); // as --open does
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Graph()->RowCount(), 4);

    // A new observation: one row more, at the front of the series, and the dial follows it.
    auto newer = Rows("KJFK", 1, 60, 5, 50);
    newer[0].windsCell = "from the E (90 degrees) at 23 MPH (20 knots; 10&#46;3 m/s)";
    newer[0].report = "KJFK 070550Z 09020KT 10SM FEW250 15/M01 A3012";
    newer[0].temperature = 15.0;
    SetLatest("KJFK", newer);
    view->RefreshTick();
    EXPECT_EQ(view->Graph()->RowCount(), 5);
    EXPECT_EQ(view->Series().GetSize(), 5);
    EXPECT_EQ(view->Series()[0].dTemperature, 15.0);
    EXPECT_EQ(view->Latest().dWindDirection, 90);

    // The same observation again adds nothing; a failed tick keeps what was shown.
    view->RefreshTick();
    EXPECT_EQ(view->Graph()->RowCount(), 5);
    SetLatest("KJFK", {});
    view->RefreshTick();
    EXPECT_EQ(view->Graph()->RowCount(), 5);
    EXPECT_EQ(view->Series().GetSize(), 5);
    // Nobody asked for the tick: its window says so, no message waits for a click.
    EXPECT_TRUE(m_recorder.messages.empty());
    EXPECT_NE(RefreshNote("NYC_JFK ARPT").find(": no report came."), std::string::npos);

    // Closing writes every observation the window showed, newest first.
    WindowTitled("NYC_JFK ARPT")->close();
    Pump();
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator("Meteodata"))
        files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().substr(11), "nyc_jfk arpt.txt");
    const std::string text = testing_support::ReadFile(files[0]);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 5);
    EXPECT_NE(text.find("12/07/2026\t05:50\t15.00\t"), std::string::npos);
    EXPECT_EQ(App().RecentFiles().Entries().front(), "NYC_JFK ARPT (KJFK)");
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 0);
}

TEST_F(StationWindowTest, TwoWindowsOfOneStationKeepItsSquareUntilBothClose) {
    SetPage("KJFK", Rows("KJFK", 3, 60));
    StartViewer();
    App().OpenStations({"KJFK", "KJFK"});
    ASSERT_EQ(Frame().StationsOpened().GetSize(), 2);
    CVentoraView* map = MapView(WindowTitled("World Map"));
    const QPoint jfk(167, 113);
    EXPECT_EQ(map->grab().toImage().pixelColor(jfk), QColor(0, 0, 255));

    std::vector<CChildFrame*> stations;
    for (CChildFrame* w : Windows())
        if (w->windowTitle() == "NYC_JFK ARPT")
            stations.push_back(w);
    ASSERT_EQ(stations.size(), 2u);
    stations[0]->close();
    Pump();
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 1);
    EXPECT_EQ(map->grab().toImage().pixelColor(jfk), QColor(0, 0, 255));
    stations[1]->close();
    Pump();
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 0);
    EXPECT_NE(map->grab().toImage().pixelColor(jfk), QColor(0, 0, 255));
}

TEST_F(StationWindowTest, TheRecentListReopensStations) {
    SetPage("KJFK", Rows("KJFK", 3, 60));
    StartViewer();
    App().AddToRecentFileList("NYC_JFK ARPT (KJFK)");
    App().OnOpenRecentFile(0);
    Pump();
    ASSERT_TRUE(StationView("NYC_JFK ARPT"));
    EXPECT_EQ(Windows().size(), 2u); // the entry's own document was discarded

    // A name holding a parenthesis of its own: the code is the last one's.
    SetPage("KCBE", Rows("KCBE", 3, 60));
    App().AddToRecentFileList("CUMBERLAND (X) (KCBE)");
    App().OnOpenRecentFile(0);
    Pump();
    EXPECT_TRUE(m_recorder.messages.empty());
    ASSERT_TRUE(StationView("CUMBERLAND (X)"));
    EXPECT_EQ(Windows().size(), 3u);

    // An entry without "(" opens nothing.
    App().AddToRecentFileList("NOTHING HERE");
    App().OnOpenRecentFile(0);
    Pump();
    EXPECT_EQ(Windows().size(), 3u);
}

TEST_F(StationWindowTest, AnUnknownCodeOnTheCommandLineIsReported) {
    StartViewer();
    App().OpenStations({"XXXX"});
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text, "No station \"xxxx\" found in a list.");
}

TEST_F(StationWindowTest, TheBundledReportServerFillsAMeteogram) {
    // Simulated reports of the bundled server on the real clock, through the real client.
    testing_support::RunningServer reportd(testing_support::SampleStationList(),
                                           std::make_unique<SimulatedSource>(),
                                           [] { return platform::CurrentTime(); });
    Start(testing_support::SampleStationList(),
          CVentoraApp::Options{reportd.BaseUrl(), "", {"KJFK"}});
    App().OpenStations({"KJFK"});
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    const std::int64_t now = platform::CurrentTime();
    const auto expected = SimulatedSource().Reports(Frame().StationsAll()[5], now - 24 * 3600, now);
    EXPECT_NEAR(view->Graph()->RowCount(), static_cast<int>(expected.size()), 1);
    EXPECT_EQ(view->Station().iPeriodMinutes,
              ReportsHalfHourly(Frame().StationsAll()[5]) ? 30 : 60);
    EXPECT_NE(view->Latest().strReport.find("RMK SIMULATED"), std::string::npos);
    EXPECT_EQ(view->Latest().dTemperature,
              DecodeMetar(view->Latest().strReport).temperatureC.value_or(0) == 0
                  ? 0.0
                  : *DecodeMetar(view->Latest().strReport).temperatureC);
}

TEST_F(StationWindowTest, ImperialUnitsEndToEnd) {
    SetPage("KJFK", Rows("KJFK", 3, 60));
    StartViewer();
    Frame().CurrentStation().bMetricStyle = 0;
    Frame().CurrentStation().bWriteFile = 1;
    App().OpenStations({"KJFK"});
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    const CGraph& g = *view->Graph();
    // Fahrenheit, inches Hg on the pressure axis (unshifted), miles per hour.
    EXPECT_EQ(g.Series(2).strTitle, "Pressure           inches Hg");
    EXPECT_EQ(g.Row(2).At(1), "50.00");
    EXPECT_EQ(g.Row(2).At(2), "30.12");
    EXPECT_EQ(g.Row(2).At(3), platform::Format("%.2f", 9 * 0.514444 * 2.2369418519393043));
    EXPECT_EQ(g.m_dYDelta, 10.0);

    // A tick in imperial style shows Fahrenheit; the file keeps Celsius, hPa and m/s.
    auto newer = Rows("KJFK", 1, 60, 5, 50);
    newer[0].report = "KJFK 070550Z 27009KT 10SM FEW250 20/M01 A3012";
    newer[0].temperature = 20.0;
    SetLatest("KJFK", newer);
    view->RefreshTick();
    ASSERT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Row(3).At(1), "68.00");
    WindowTitled("NYC_JFK ARPT")->close();
    Pump();
    const auto file = *std::filesystem::directory_iterator("Meteodata");
    const std::string text = testing_support::ReadFile(file.path());
    EXPECT_NE(text.find("12/07/2026\t05:50\t20.00\t1019.98\t\t270.00\t\t4.63\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\t10.00\t1019.98\t\t270.00\t\t4.63\n"), std::string::npos) << text;
}

TEST_F(StationWindowTest, TheWindDialShowsTheSpeedInTheUnitShown) {
    // 15 m/s: below the 30 of the hurricane mark in metric units, above it as 33.6 MpH.
    auto rows = Rows("KJFK", 2, 60);
    rows[0].report = "KJFK 070450Z 27029KT 10SM FEW250 10/M01 A3012";
    SetPage("KJFK", rows);
    StartViewer();
    App().OpenStations({"KJFK"});
    MeteogramPane* metricWindow = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(metricWindow);
    testing_support::RecordingSurface metric({0, 0, 650, 670});
    metricWindow->Draw(metric);
    EXPECT_FALSE(metric.FindText("HURRICANE"));
    WindowTitled("NYC_JFK ARPT")->close();
    Pump();

    Frame().CurrentStation().bMetricStyle = 0;
    App().OpenStations({"KJFK"});
    MeteogramPane* imperialWindow = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(imperialWindow);
    testing_support::RecordingSurface imperial({0, 0, 650, 670});
    imperialWindow->Draw(imperial);
    EXPECT_TRUE(imperial.FindText("HURRICANE"));
    // The arrow is as long as the speed shown, plus 5.
    const auto lines = imperial.OfKind(testing_support::DrawOp::Line);
    const testing_support::DrawOp& arrow = lines.back();
    EXPECT_EQ(arrow.pen.width, 3);
    EXPECT_NEAR(std::hypot(arrow.x2 - arrow.x1, arrow.y2 - arrow.y1),
                29 * 0.514444 * 2.2369418519393043 + 5, 1.5);
}

TEST_F(StationWindowTest, SwitchingQuantitiesOffKeepsAnOpenWindowWhole) {
    SetPage("KJFK", Rows("KJFK", 6, 60));
    StartViewer();
    App().OpenStations({"KJFK"});
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    // Y autoscale on in the window, Temperature off in the settings, through the dialog.
    WithModal([&] { Frame().Action(ids::ID_VIEW_PARAMETERS)->trigger(); },
              [](QWidget* dialog) {
                  dialog->findChild<QCheckBox*>("control_505")->setChecked(true);
                  dialog->findChild<QCheckBox*>("control_513")->setChecked(false);
                  dialog->findChild<QPushButton*>("control_1")->click();
              });
    EXPECT_EQ(Frame().CurrentStation().bShowTemperature, 0);
    auto newer = Rows("KJFK", 1, 60, 5, 50);
    newer[0].temperature = 15.0;
    SetLatest("KJFK", newer);
    view->RefreshTick();
    const CGraph& g = *view->Graph();
    ASSERT_EQ(g.SeriesCount(), 5);
    ASSERT_EQ(g.Row(6).GetSize(), 5);
    EXPECT_EQ(g.Row(6).At(1), "15.00"); // the temperature stays in its own series
    EXPECT_EQ(g.Row(6).At(2), "19.98"); // and the pressure in its own

    // The whole picture is drawn: labels, legend and the curves.
    testing_support::RecordingSurface s({0, 0, 650, 670});
    view->Draw(s);
    EXPECT_TRUE(s.FindText("Temperature     \xB0"
                           "C"));
    EXPECT_TRUE(s.FindText("Wind direction    -18...+18"));
    EXPECT_TRUE(s.FindText("Time local (every 60 min)"));
    int curveSegments = 0;
    for (const auto& op : s.OfKind(testing_support::DrawOp::Line))
        curveSegments +=
            op.pen.color == platform::RGB(250, 0, 0) || op.pen.color == platform::RGB(0, 200, 0);
    EXPECT_GE(curveSegments, 2 * 6);
    EXPECT_EQ(s.OfKind(testing_support::DrawOp::Ellipse).size(), 2u); // the dial, drawn last
}

TEST_F(StationWindowTest, TwoNewestReportsOfOneTimeOpenNoWindow) {
    auto rows = Rows("KJFK", 3, 60);
    rows[1].hour = rows[0].hour;
    rows[1].minute = rows[0].minute;
    rows[1].report = "KJFK 070450Z COR 27012KT 10SM FEW250 11/M01 A3012";
    SetPage("KJFK", rows);
    StartViewer();
    App().OpenStations({"KJFK"});
    EXPECT_FALSE(StationView("NYC_JFK ARPT"));
    EXPECT_EQ(Windows().size(), 1u);
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 0);
    // Not silently: the user is told why.
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text,
              "The two newest reports of the station \"NYC_JFK ARPT\" have the same time, so no "
              "reporting interval can be derived; the station's window is not opened.");

    // Rows out of order and repeated word for word give their interval all the same. (Another
    // station: the rows of the page above are kept, and a kept station opens with them.)
    rows = Rows("EDDH", 4, 30);
    SetPage("EDDH", {rows[2], rows[0], rows[0], rows[3], rows[1]});
    App().OpenStations({"EDDH"});
    MeteogramPane* view = StationView("HAMBURG");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->TimerInterval(), 30 * 60000);
    EXPECT_EQ(view->Graph()->RowCount(), 4);
    EXPECT_EQ(view->Graph()->Row(3).At(1), "10.00"); // the newest last
    // A tick that brings an older report than shown adds nothing.
    SetLatest("EDDH", {rows[2]});
    view->RefreshTick();
    EXPECT_EQ(view->Graph()->RowCount(), 4);
}

TEST_F(StationWindowTest, AStationWindowRefreshesPreciselyAndHasNoMarkAllStations) {
    SetPage("KJFK", Rows("KJFK", 3, 30));
    StartViewer();
    App().OpenStations({"KJFK"});
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    // An early tick would fetch the report already shown and drop it.
    EXPECT_EQ(view->TimerType(), Qt::PreciseTimer);
    EXPECT_EQ(view->TimerInterval(), 30 * 60000);
    EXPECT_FALSE(Frame().Action(ids::ID_VIEW_MARK_ALL_STATIONS)->isEnabled());
    EXPECT_TRUE(Frame().Action(ids::ID_VIEW_PARAMETERS)->isEnabled());
}

TEST_F(StationWindowTest, ParametersFromAStationWindowRedrawItAtOnce) {
    SetPage("KJFK", Rows("KJFK", 3, 30));
    StartViewer();
    App().OpenStations({"KJFK"});
    MeteogramPane* view = StationView("NYC_JFK ARPT");
    ASSERT_TRUE(view);
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    WidgetOf("NYC_JFK ARPT")->installEventFilter(&counter);
    WithModal([&] { Frame().Action(ids::ID_VIEW_PARAMETERS)->trigger(); },
              [](QWidget* dialog) {
                  dialog->findChild<QCheckBox*>("control_515")->setChecked(true); // marks
                  dialog->findChild<QPushButton*>("control_1")->click();
              });
    // Drawn before anything else runs, with the marks.
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(view->Graph()->m_bShowMarks, 1);
    const QImage picture = WidgetOf("NYC_JFK ARPT")->grab().toImage();
    const int x = view->Graph()->RowToX(1);
    const auto y = view->Graph()->ValueToY(10.5);
    ASSERT_TRUE(y);
    EXPECT_EQ(picture.pixelColor(x - 2, *y - 2), QColor(0, 0, 0)); // a corner of the mark
}

TEST_F(StationWindowTest, AServerFailureIsNotReportedAsAStationWithoutData) {
    SetPage("KJFK", Rows("KJFK", 6, 30));
    StartViewer();
    // An error page with report rows in it.
    m_server.SetStatus(500);
    App().OpenStations({"KJFK"});
    EXPECT_FALSE(StationView("NYC_JFK ARPT"));
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(
        m_recorder.messages[0].text,
        Failed(m_server.BaseUrl(), "answered with an error (HTTP 500 Internal Server Error)"));
    // A server that takes the connection and then says nothing.
    m_server.SetStatus(200);
    testing_support::SilentServer silent;
    PageFetcher::Limits quick;
    quick.connectTimeoutMs = 500;
    quick.idleTimeoutMs = 400;
    Frame().Fetcher().SetLimits(quick);
    Frame().Catalogue().SetServerUrl(silent.BaseUrl());
    App().OpenStations({"KJFK"});
    ASSERT_EQ(m_recorder.messages.size(), 2u);
    EXPECT_EQ(m_recorder.messages[1].text, Failed(silent.BaseUrl(), "did not answer in time"));
    // Nobody there at all.
    m_server.GoDown();
    Frame().Catalogue().SetServerUrl(m_server.BaseUrl());
    App().OpenStations({"KJFK"});
    ASSERT_EQ(m_recorder.messages.size(), 3u);
    EXPECT_EQ(m_recorder.messages[2].text,
              Failed(m_server.BaseUrl(), "did not answer (connection refused)"));
    EXPECT_EQ(Windows().size(), 1u);
    EXPECT_EQ(Frame().StationsOpened().GetSize(), 0);
}

TEST_F(StationWindowTest, AnOutageDuringRefreshTicksIsToldInTheStatusBarAndTheWindows) {
    for (const char* icao : {"KJFK", "EDDH", "YSSY"})
        SetPage(icao, Rows(icao, 4, 30));
    StartViewer();
    App().OpenStations({"KJFK", "EDDH", "YSSY"});
    const std::vector<MeteogramPane*> views = {StationView("NYC_JFK ARPT"), StationView("HAMBURG"),
                                               StationView("SYDNEY")};
    for (MeteogramPane* view : views)
        ASSERT_TRUE(view);
    ASSERT_TRUE(m_recorder.messages.empty());
    EXPECT_EQ(RefreshNote("HAMBURG"), "");

    // The server goes down: every window ticks twice; nothing waits for a click, ticks go on.
    m_server.GoDown();
    for (int round = 0; round < 2; ++round)
        for (MeteogramPane* view : views)
            view->RefreshTick();
    EXPECT_TRUE(m_recorder.messages.empty());
    for (MeteogramPane* view : views)
        EXPECT_GT(view->TimerInterval(), 0);
    const std::int64_t downSince = Frame().Catalogue().ServerDownSince();
    const auto since = platform::LocalBreakdown(downSince);
    ASSERT_TRUE(since);
    // The status line says since when, and which stations were not refreshed; the world map's
    // own texts do not take that away; each window says it was not refreshed and why.
    const std::string notRefreshed = " Not refreshed: NYC_JFK ARPT, HAMBURG, SYDNEY.";
    const std::string notice =
        platform::Format("The report server %s has not answered since %02d:%02d.",
                         m_server.BaseUrl().c_str(), since->tm_hour, since->tm_min) +
        notRefreshed;
    EXPECT_EQ(ServerNotice(), notice);
    MapView(WindowTitled("World Map"))->repaint();
    EXPECT_EQ(PaneText(), "Total stations: 6");
    EXPECT_EQ(ServerNotice(), notice);
    for (MeteogramPane* view : views)
        EXPECT_EQ(view->Graph()->RowCount(), 4);
    EXPECT_TRUE(RefreshNote("HAMBURG").ends_with(": the report server did not answer "
                                                 "(connection refused)."))
        << RefreshNote("HAMBURG");

    // It comes back answering errors: the status says so, the outage keeps its start.
    m_server.ComeBack();
    m_server.SetStatus(503);
    views[1]->RefreshTick();
    EXPECT_EQ(Frame().Catalogue().ServerDownSince(), downSince);
    EXPECT_EQ(ServerNotice(),
              platform::Format("The report server %s answers with errors (HTTP 503) since "
                               "%02d:%02d.",
                               m_server.BaseUrl().c_str(), since->tm_hour, since->tm_min) +
                  notRefreshed);
    EXPECT_TRUE(RefreshNote("HAMBURG").ends_with("(HTTP 503 Service Unavailable)."));
    EXPECT_TRUE(m_recorder.messages.empty());
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("HAMBURG"));
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/status-during-outage.png"));
    // Opening a station is asked for: that one is answered with a message (a station with
    // nothing kept; a kept one opens with its kept reports).
    App().OpenStations({"KCBE"});
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_TRUE(m_recorder.messages[0].text.starts_with(
        "The report server " + m_server.BaseUrl() +
        " answered with an error (HTTP 503 Service Unavailable)"))
        << m_recorder.messages[0].text;
    EXPECT_TRUE(m_recorder.messages[0].text.ends_with(
        "\n\nThe reports of CUMBERLAND (X) (KCBE) could not be retrieved."));

    // It answers again: ticks add their rows as before, and the status line says so.
    m_server.SetStatus(200);
    SetLatest("KJFK", Rows("KJFK", 1, 30, 5, 20));
    views[0]->RefreshTick();
    EXPECT_EQ(ServerNotice(), "The report server " + m_server.BaseUrl() + " answers again.");
    EXPECT_EQ(views[0]->Graph()->RowCount(), 5);
    EXPECT_EQ(RefreshNote("NYC_JFK ARPT"), "");
    EXPECT_EQ(m_recorder.messages.size(), 1u);
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/status-after-outage.png"));

    // A second outage starts anew.
    m_server.GoDown();
    views[2]->RefreshTick();
    EXPECT_GE(Frame().Catalogue().ServerDownSince(), downSince);
    EXPECT_TRUE(ServerNotice().ends_with(" Not refreshed: SYDNEY."));
    EXPECT_EQ(m_recorder.messages.size(), 1u);
}
