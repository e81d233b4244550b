// Child windows as a desktop user manages them: the Window menu, the main title, cascading,
// the keyboard, and menu prompts in the status line.

#include "app/ChildFrame.h"
#include "mapview/VentoraView.h"
#include "resources/CommandIds.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

using namespace ids;
using testing_support::AppFixture;

class WindowManagementTest : public AppFixture {
protected:
    testing_support::FakeReportServer m_server;

    void StartViewer() {
        for (const char* icao : {"EDDT", "EDDH", "YSSY", "KCBE", "KJFK"})
            m_server.SetPage(icao, testing_support::Rows(icao, 6, 30));
        Start(testing_support::SampleStationList(), CVentoraApp::Options{m_server.BaseUrl()});
    }

    QMenu* Menu(const char* title) {
        for (QAction* a : Frame().menuBar()->actions())
            if (a->text() == title)
                return a->menu();
        return nullptr;
    }

    // The items of a menu as its user sees them when it opens.
    QStringList Items(QMenu* menu) {
        emit menu->aboutToShow();
        QStringList items;
        for (QAction* a : menu->actions())
            if (a->isVisible())
                items << (a->isSeparator() ? "-" : a->text());
        return items;
    }

    QAction* Item(QMenu* menu, const QString& text) {
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    std::string Title() { return Frame().windowTitle().toStdString(); }

    void Drag(QWidget* view, QPoint from, QPoint to) {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
        Pump();
    }
};

TEST_F(WindowManagementTest, TheWindowMenuShowsEveryItemInOrderAndTheOpenWindows) {
    StartViewer();
    QMenu* window = Menu("&Window");
    ASSERT_TRUE(window);
    EXPECT_EQ(Items(window),
              QStringList({"&Cascade", "&Tile", "&Arrange Icons", "-", "Tile Vertically",
                           "Tile Horizontally", "-", "&1 World Map"}));

    // Both tiling items work: one above the other.
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    Item(window, "Tile Vertically")->trigger();
    EXPECT_EQ(Windows()[0]->y(), Windows()[1]->y());
    Item(window, "Tile Horizontally")->trigger();
    EXPECT_EQ(Windows()[0]->x(), Windows()[1]->x());
    EXPECT_LT(Windows()[0]->y() + Windows()[0]->height(), Windows()[1]->y() + 1);

    // The list grows, checks the active window and activates the one chosen.
    App().OpenStations({"KJFK"});
    EXPECT_EQ(Items(window).mid(7),
              QStringList({"&1 World Map", "&2 World Map", "&3 NYC_JFK ARPT"}));
    EXPECT_TRUE(Item(window, "&3 NYC_JFK ARPT")->isChecked());
    EXPECT_FALSE(Item(window, "&1 World Map")->isChecked());
    Item(window, "&1 World Map")->trigger();
    Pump();
    EXPECT_EQ(Active(), Windows()[0]);
    EXPECT_TRUE(Item(window, "&1 World Map")->isChecked());

    // It shrinks when a window closes.
    Windows()[1]->close();
    Pump();
    EXPECT_EQ(Items(window).mid(7), QStringList({"&1 World Map", "&2 NYC_JFK ARPT"}));
}

TEST_F(WindowManagementTest, BeyondNineWindowsMoreWindowsChoosesAnyOfThem) {
    StartViewer();
    for (int i = 0; i < 10; ++i)
        Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    App().OpenStations({"EDDH"});
    Pump();
    ASSERT_EQ(Windows().size(), 12u);
    QMenu* window = Menu("&Window");
    const QStringList items = Items(window);
    EXPECT_EQ(items.mid(7, 9).size(), 9);
    EXPECT_EQ(items.last(), "&More Windows...");
    WithModal([&] { Item(window, "&More Windows...")->trigger(); },
              [](QWidget* dialog) {
                  auto* list = dialog->findChild<QListWidget*>();
                  ASSERT_EQ(list->count(), 12);
                  EXPECT_EQ(list->currentRow(), 11); // the active one
                  list->setCurrentRow(4);
                  static_cast<QDialog*>(dialog)->accept();
              });
    Pump();
    EXPECT_EQ(Active(), Windows()[4]);
}

TEST_F(WindowManagementTest, TheMainTitleIsVentoraAndTheActiveWindowsTitleInEveryState) {
    StartViewer();
    auto expectInEveryState = [this](const std::string& title) {
        SCOPED_TRACE(title);
        ASSERT_TRUE(Active());
        EXPECT_EQ(Active()->windowTitle().toStdString(), title);
        EXPECT_EQ(Title(), "Ventora - " + title);
        Active()->showMaximized();
        Pump();
        EXPECT_EQ(Title(), "Ventora - " + title);
        Active()->showNormal();
        Pump();
        EXPECT_EQ(Title(), "Ventora - " + title);
    };
    expectInEveryState("World Map");
    Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->trigger();
    Pump();
    expectInEveryState("All stations");
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    App().OpenStations({"KJFK"});
    Pump();
    expectInEveryState("NYC_JFK ARPT");
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    WithModal([&] { Frame().Action(ID_VIEW_FIND_STATION)->trigger(); },
              [](QWidget* dialog) {
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), "edd");
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
              });
    Pump();
    expectInEveryState("The stations found by \"edd\"");
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Drag(MapView(WindowTitled("World Map")), QPoint(100, 60), QPoint(300, 200));
    ASSERT_TRUE(Active());
    expectInEveryState(Active()->windowTitle().toStdString());
    EXPECT_EQ(Title().rfind("Ventora - Zoom from (", 0), 0u);
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    QTest::mouseDClick(MapView(WindowTitled("World Map")), Qt::LeftButton, Qt::NoModifier,
                       QPoint(286, 96));
    Pump();
    expectInEveryState("Nearest stations");
    // Maximised, switching windows keeps one title.
    Active()->showMaximized();
    Pump();
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Pump();
    EXPECT_EQ(Title(), "Ventora - World Map");
    Frame().MdiArea()->closeAllSubWindows();
    Pump();
    EXPECT_EQ(Title(), "Ventora");
}

TEST_F(WindowManagementTest, CascadeKeepsEverySizeAndStepsDownTheDiagonal) {
    StartViewer();
    App().OpenStations({"EDDT", "EDDH", "YSSY", "KCBE", "KJFK"});
    Pump();
    ASSERT_EQ(Windows().size(), 6u);
    auto cascadeKeepsSizes = [this](CChildFrame* active) {
        std::map<QMdiSubWindow*, QSize> sizes;
        for (CChildFrame* w : Windows())
            sizes[w] = w->isMaximized() ? QSize() : w->size();
        Frame().MdiArea()->setActiveSubWindow(active);
        Frame().Action(ID_WINDOW_CASCADE)->trigger();
        Pump();
        QList<QPoint> corners;
        for (QMdiSubWindow* w : Frame().MdiArea()->subWindowList(QMdiArea::StackingOrder)) {
            EXPECT_FALSE(w->isMaximized());
            if (sizes[w].isValid()) {
                EXPECT_EQ(w->size(), sizes[w]);
            }
            EXPECT_EQ(w->x(), w->y());
            corners << w->pos();
        }
        // Each a title bar further down the diagonal, the active one last and on top.
        for (int i = 1; i < corners.size(); ++i)
            EXPECT_GT(corners[i].x(), corners[i - 1].x());
        EXPECT_EQ(Frame().MdiArea()->subWindowList(QMdiArea::StackingOrder).last(), active);
        EXPECT_EQ(Active(), active);
    };
    // From the windows as they opened: the meteograms keep 650 x 670, the map 550 x 350.
    cascadeKeepsSizes(Windows()[5]);
    EXPECT_EQ(Windows()[3]->size(), QSize(650, 670));
    EXPECT_EQ(Windows()[0]->size(), QSize(550, 350));
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/cascade-five-meteograms.png"));
    // From tiles, and with the active window maximised.
    Frame().Action(ID_WINDOW_TILE_VERT)->trigger();
    Pump();
    cascadeKeepsSizes(Windows()[2]);
    Windows()[2]->showMaximized();
    Pump();
    cascadeKeepsSizes(Windows()[2]);
}

TEST_F(WindowManagementTest, CtrlF4ClosesAndCtrlF6CyclesThroughTheWindows) {
    StartViewer();
    Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->trigger();
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    ASSERT_EQ(Windows().size(), 3u);
    CChildFrame* first = Active();
    QTest::keyClick(&Frame(), Qt::Key_F6, Qt::ControlModifier);
    Pump();
    CChildFrame* second = Active();
    EXPECT_NE(second, first);
    QTest::keyClick(&Frame(), Qt::Key_F6, Qt::ControlModifier);
    Pump();
    EXPECT_NE(Active(), second);
    EXPECT_NE(Active(), first);
    QTest::keyClick(&Frame(), Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
    Pump();
    EXPECT_EQ(Active(), second);

    QTest::keyClick(&Frame(), Qt::Key_F4, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(Windows().size(), 2u);
    EXPECT_TRUE(Active());
}

TEST_F(WindowManagementTest, AMenuItemsPromptGoesWhenItsMenuCloses) {
    StartViewer();
    QMenu* view = Menu("&View");
    QAction* find = Item(view, "Find station");
    ASSERT_TRUE(find);
    view->popup(Frame().mapToGlobal(QPoint(40, 40)));
    Pump();
    view->setActiveAction(find);
    Pump();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "Find station");
    // The command's dialog comes and goes; the prompt does not stay behind.
    WithModal([&] { find->trigger(); },
              [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    view->hide();
    Pump();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "");
    EXPECT_EQ(Frame().PaneText(), "Total stations: 6");

    // A menu closed without choosing takes its prompt along as well.
    view->popup(Frame().mapToGlobal(QPoint(40, 40)));
    Pump();
    view->setActiveAction(Item(view, "World Map"));
    Pump();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "Show World Map");
    view->hide();
    Pump();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), "");
}
