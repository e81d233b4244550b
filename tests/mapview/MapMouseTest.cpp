// The world map and zoom windows driven with the mouse.

#include "app/ChildFrame.h"
#include "dialogs/FindDialog.h"
#include "mapview/VentoraView.h"
#include "mapview/WorldMapPane.h"
#include "mapview/ZoomMapPane.h"
#include "resources/CommandIds.h"
#include "stationlist/ListViewStations.h"
#include "tests/support/AppFixture.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTest>

using testing_support::AppFixture;

class MapMouseTest : public AppFixture {
protected:
    CVentoraView* WorldMap() { return MapView(WindowTitled("World Map")); }

    void Drag(QWidget* view, QPoint from, QPoint to) {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
        Pump();
    }

    void DoubleClick(QWidget* view, QPoint at) {
        QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, at);
        Pump();
    }
};

TEST_F(MapMouseTest, ThePointerPositionIsShownInTheStatusBar) {
    Start(testing_support::SampleStationList());
    CVentoraView* map = WorldMap();
    ASSERT_TRUE(map);
    QTest::mouseMove(map, QPoint(20, 45));
    EXPECT_EQ(PaneText(), "  180 00W,  90 00N");
    QTest::mouseMove(map, QPoint(519, 294));
    EXPECT_EQ(PaneText(), "  180 00E,  89 59S");
    QTest::mouseMove(map, QPoint(270, 170));
    EXPECT_EQ(PaneText().substr(0, 11), "  000 21E, ");
    // Over the margin the text stays.
    QTest::mouseMove(map, QPoint(525, 100));
    EXPECT_EQ(PaneText().substr(0, 11), "  000 21E, ");
}

TEST_F(MapMouseTest, ADragToTheRightOpensAZoomWindow) {
    Start(testing_support::SampleStationList());
    CVentoraView* map = WorldMap();
    // 4 pixels wide: nothing; to the left: nothing.
    Drag(map, QPoint(120, 95), QPoint(124, 150));
    Drag(map, QPoint(200, 95), QPoint(120, 150));
    EXPECT_EQ(Windows().size(), 1u);

    Drag(map, QPoint(120, 95), QPoint(125, 96)); // 5 pixels wide is enough
    ASSERT_EQ(Windows().size(), 2u);
    Windows()[1]->close();
    Pump();

    Drag(map, QPoint(120, 95), QPoint(200, 150));
    ASSERT_EQ(Windows().size(), 2u);
    EXPECT_EQ(Titles()[1], "Zoom from (72.00, 35.86) to (129.60, 75.30)");
    EXPECT_EQ(iNextWindowKind, KIND_ZOOM_MAP); // the zoom opener leaves its kind behind
    // Cumberland and New York lie inside; Alberta Beach (65.65) lies west of 72.
    const ZoomMapPane* zoom = MapView(Windows()[1])->PaneAs<ZoomMapPane>();
    ASSERT_EQ(zoom->ZoomStations().GetSize(), 2);
    EXPECT_EQ(zoom->ZoomStations()[0].strICAO, "KCBE");

    // The whole world holds every station but those on an edge.
    Drag(map, QPoint(20, 45), QPoint(520, 296));
    ASSERT_EQ(Windows().size(), 3u);
    EXPECT_EQ(Titles()[2], "Zoom from (0.00, 0.00) to (360.00, 180.00)");
    const ZoomMapPane* world = MapView(Windows()[2])->PaneAs<ZoomMapPane>();
    EXPECT_EQ(world->ZoomStations().GetSize(), 6);
    QPixmap picture = Windows()[2]->grab();
    EXPECT_EQ(PaneText(), "Stations inside: 6");

    // A drag over North America keeps the earlier zoom windows as they were.
    Drag(map, QPoint(110, 90), QPoint(200, 130));
    EXPECT_EQ(Titles()[2], "Zoom from (0.00, 0.00) to (360.00, 180.00)");
    EXPECT_EQ(world->ZoomStations().GetSize(), 6);
    ASSERT_EQ(Windows().size(), 4u);
    // With Alberta Beach now.
    EXPECT_EQ(MapView(Windows()[3])->PaneAs<ZoomMapPane>()->ZoomStations().GetSize(), 3);
}

TEST_F(MapMouseTest, AnUpwardDragOpensAnEmptyZoomWindow) {
    Start(testing_support::SampleStationList());
    Drag(WorldMap(), QPoint(100, 200), QPoint(300, 60));
    ASSERT_EQ(Windows().size(), 2u);
    EXPECT_EQ(MapView(Windows()[1])->PaneAs<ZoomMapPane>()->ZoomStations().GetSize(), 0);
}

TEST_F(MapMouseTest, DoubleClicksListTheNearestStations) {
    Start(testing_support::SampleStationList());
    CVentoraView* map = WorldMap();
    // Far from any station: a message and no list.
    DoubleClick(map, QPoint(100, 250));
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text,
              "Not found any station in a distance of 90.00 minutes around clicked point.");
    EXPECT_EQ(Windows().size(), 1u);

    // Berlin lies at x 287, y 96, Hamburg 1.9 degrees further west.
    DoubleClick(map, QPoint(286, 96));
    ASSERT_EQ(Windows().size(), 2u);
    EXPECT_EQ(Titles()[1], "Nearest stations");
    EXPECT_EQ(Windows()[1]->size(), QSize(501, 408));
    EXPECT_EQ(ListView(Windows()[1])->Model().rowCount(), 1);
    Frame().CurrentStation().dNearestMinutes = 150;
    DoubleClick(map, QPoint(286, 96));
    ASSERT_EQ(Windows().size(), 3u);
    CListView_Stations* list = ListView(Windows()[2]);
    ASSERT_EQ(list->Model().rowCount(), 2);
    EXPECT_EQ(iNextWindowKind, KIND_STATION);

    // In a zoom window: a list, even an empty one, and no message.
    Drag(map, QPoint(20, 45), QPoint(520, 296));
    CVentoraView* zoom = MapView(Windows().back());
    DoubleClick(zoom, QPoint(1, 1));
    EXPECT_EQ(Titles().back(), "Nearest stations");
    EXPECT_EQ(ListView(Windows().back())->Model().rowCount(), 0);
    EXPECT_EQ(m_recorder.messages.size(), 1u);
}

TEST_F(MapMouseTest, MarkAllStationsSwitchesTheDots) {
    Start(testing_support::SampleStationList());
    CVentoraView* map = WorldMap();
    QAction* mark = Frame().Action(ids::ID_VIEW_MARK_ALL_STATIONS);
    EXPECT_TRUE(mark->isEnabled());
    EXPECT_TRUE(mark->isChecked());
    QImage before = map->grab().toImage();
    const QPoint berlin(287, 96); // 193.32, 37.43 in map degrees
    EXPECT_EQ(before.pixelColor(berlin), QColor(255, 0, 0));

    Frame().SetStatusText("kept");
    mark->trigger();
    EXPECT_FALSE(map->PaneAs<WorldMapPane>()->MarkingAll());
    EXPECT_FALSE(mark->isChecked());
    EXPECT_NE(map->grab().toImage().pixelColor(berlin), QColor(255, 0, 0));
    EXPECT_EQ(PaneText(), "kept");

    // In a zoom window the command is disabled.
    Drag(map, QPoint(20, 45), QPoint(520, 296));
    EXPECT_FALSE(mark->isEnabled());
}

TEST_F(MapMouseTest, FindStationCollectsMatchesIntoAList) {
    Start(testing_support::SampleStationList());
    WithModal([&] { Frame().Action(ids::ID_VIEW_FIND_STATION)->trigger(); },
              [](QWidget* dialog) {
                  EXPECT_EQ(dialog->windowTitle(), "Find a station");
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), "BeR");
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
              });
    Pump();
    ASSERT_TRUE(WindowTitled("The stations found by \"ber\""));
    EXPECT_EQ(ListView(WindowTitled("The stations found by \"ber\""))->Model().rowCount(), 3);

    // Cancel opens nothing and keeps the text confirmed before; the field opens empty.
    const std::size_t windows = Windows().size();
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    WithModal([&] { Frame().Action(ids::ID_VIEW_FIND_STATION)->trigger(); },
              [](QWidget* dialog) {
                  EXPECT_EQ(dialog->findChild<QLineEdit*>()->text(), "");
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), "hamb");
                  QTest::keyClick(dialog, Qt::Key_Escape);
              });
    Pump();
    EXPECT_EQ(Windows().size(), windows);
    EXPECT_EQ(m_strFindText, "BeR");

    // An empty text is contained in every name: all stations are found.
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    WithModal(
        [&] { Frame().Action(ids::ID_VIEW_FIND_STATION)->trigger(); },
        [](QWidget* dialog) { QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return); });
    Pump();
    ASSERT_TRUE(WindowTitled("The stations found by \"\""));
    EXPECT_EQ(ListView(WindowTitled("The stations found by \"\""))->Model().rowCount(), 6);
    EXPECT_EQ(m_strFindText, "");

    // Nothing found: the message, then an empty list.
    WithModal([&] { Frame().Action(ids::ID_VIEW_FIND_STATION)->trigger(); },
              [](QWidget* dialog) {
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), "QQQ");
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
              });
    Pump();
    ASSERT_FALSE(m_recorder.messages.empty());
    EXPECT_EQ(m_recorder.messages.back().text, "No station \"qqq\" found in a list.");
    ASSERT_TRUE(WindowTitled("The stations found by \"qqq\""));
    EXPECT_EQ(ListView(WindowTitled("The stations found by \"qqq\""))->Model().rowCount(), 0);
}

TEST_F(MapMouseTest, ADoubleClickWithoutStationsLeavesNoRubberBandBehind) {
    Start(testing_support::SampleStationList());
    CVentoraView* map = WorldMap();
    auto send = [map](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, map->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(map, &event);
    };
    // Press, release, double-click; the release that ends the double-click never arrives:
    // the message box took it.
    const QPoint far(100, 250);
    send(QEvent::MouseButtonPress, far, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, far, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, far, Qt::LeftButton, Qt::LeftButton);
    Pump();
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    // The pointer moves on with no button held: no band follows it, a stray release opens nothing.
    send(QEvent::MouseMove, QPoint(300, 280), Qt::NoButton, Qt::NoButton);
    const QRubberBand* band = map->findChild<QRubberBand*>();
    EXPECT_TRUE(!band || !band->isVisible());
    send(QEvent::MouseButtonRelease, QPoint(300, 280), Qt::LeftButton, Qt::NoButton);
    Pump();
    EXPECT_EQ(Windows().size(), 1u);
    EXPECT_EQ(m_recorder.messages.size(), 1u);
}
