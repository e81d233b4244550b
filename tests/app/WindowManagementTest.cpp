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
#include <QLabel>
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

TEST_F(WindowManagementTest, NineWindowsAreListedTheActiveAlwaysAndMoreWindowsChoosesAny) {
    StartViewer();
    QMenu* window = Menu("&Window");
    auto numbered = [&] {
        QStringList entries;
        for (const QString& item : Items(window).mid(7))
            if (item.size() > 1 && item[0] == '&' && item[1].isDigit())
                entries << item;
        return entries;
    };
    // Exactly nine: all listed, no "More Windows...".
    for (int i = 0; i < 8; ++i)
        Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    ASSERT_EQ(Windows().size(), 9u);
    EXPECT_EQ(numbered().size(), 9);
    EXPECT_EQ(numbered().last(), "&9 World Map");
    EXPECT_FALSE(Items(window).contains("&More Windows..."));

    // Beyond nine: nine numbered entries, the active one among them, then "More Windows...".
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    App().OpenStations({"EDDH"});
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    ASSERT_EQ(Windows().size(), 12u);
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("HAMBURG"));
    Pump();
    const QStringList entries = numbered();
    ASSERT_EQ(entries.size(), 9);
    EXPECT_EQ(entries.last(), "&9 HAMBURG");
    EXPECT_TRUE(Item(window, "&9 HAMBURG")->isChecked());
    EXPECT_EQ(Items(window).last(), "&More Windows...");
    WithModal([&] { Item(window, "&More Windows...")->trigger(); },
              [](QWidget* dialog) {
                  auto* list = dialog->findChild<QListWidget*>();
                  ASSERT_EQ(list->count(), 12);
                  EXPECT_EQ(list->currentRow(), 10); // the active one
                  // The label names its list by a mnemonic, not by a literal "&".
                  auto* label = dialog->findChild<QLabel*>();
                  EXPECT_EQ(label->buddy(), list);
                  list->setCurrentRow(4);
                  static_cast<QDialog*>(dialog)->accept();
              });
    Pump();
    EXPECT_EQ(Active(), Windows()[4]);
    // The first of the list is chosen as well as any other.
    WithModal([&] { Item(window, "&More Windows...")->trigger(); },
              [](QWidget* dialog) {
                  dialog->findChild<QListWidget*>()->setCurrentRow(0);
                  static_cast<QDialog*>(dialog)->accept();
              });
    Pump();
    EXPECT_EQ(Active(), Windows()[0]);
}

TEST_F(WindowManagementTest, ALongTitleIsCutInTheWindowMenuAndShownWholeInItsTip) {
    StartViewer();
    const std::string name(400, 'x');
    WithModal([&] { Frame().Action(ID_VIEW_FIND_STATION)->trigger(); },
              [&](QWidget* dialog) {
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), QString::fromStdString(name));
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
              });
    Pump();
    // No station has that name: the message cuts the text and still closes its quote.
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    const std::string& text = m_recorder.messages[0].text;
    EXPECT_LT(text.size(), 100u);
    EXPECT_TRUE(text.ends_with("...\" found in a list.")) << text;
    QMenu* window = Menu("&Window");
    const QString title = Active()->windowTitle();
    ASSERT_GT(title.size(), 400);
    QAction* entry = nullptr;
    for (QAction* a : (emit window->aboutToShow(), window->actions()))
        if (a->text().startsWith("&2 "))
            entry = a;
    ASSERT_TRUE(entry);
    EXPECT_LE(entry->text().size(), 3 + 60);
    EXPECT_TRUE(entry->text().endsWith("..."));
    EXPECT_EQ(entry->toolTip(), title);
    EXPECT_LT(window->sizeHint().width(), 600);
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
    // A maximised window that closes takes its name out of the title, whichever way it closes.
    for (const auto& close : std::vector<std::function<void()>>{
             [this] { Frame().Action(ID_FILE_CLOSE)->trigger(); },
             [this] { QTest::keyClick(Active(), Qt::Key_F4, Qt::ControlModifier); },
             [this] { QTest::keyClick(Active(), Qt::Key_W, Qt::ControlModifier); }}) {
        Frame().MdiArea()->setActiveSubWindow(WindowTitled("NYC_JFK ARPT"));
        Active()->showMaximized();
        Pump();
        EXPECT_EQ(Title(), "Ventora - NYC_JFK ARPT");
        close();
        Pump();
        ASSERT_FALSE(WindowTitled("NYC_JFK ARPT"));
        ASSERT_TRUE(Active());
        EXPECT_EQ(Title(), "Ventora - " + Active()->windowTitle().toStdString());
        App().OpenStations({"KJFK"});
        Pump();
    }
    Frame().MdiArea()->closeAllSubWindows();
    Pump();
    EXPECT_EQ(Title(), "Ventora");
}

TEST_F(WindowManagementTest, CascadeKeepsSizesThatFitAndStepsDownTheDiagonal) {
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
        const QSize room = Frame().MdiArea()->viewport()->size();
        for (QMdiSubWindow* w : Frame().MdiArea()->subWindowList(QMdiArea::StackingOrder)) {
            EXPECT_FALSE(w->isMaximized());
            // Each keeps its size where it fits, and lies wholly inside the area.
            if (sizes[w].isValid()) {
                EXPECT_EQ(w->size(), sizes[w].boundedTo(room - QSize(w->x(), w->y())));
            }
            EXPECT_TRUE(QRect(QPoint(0, 0), room).contains(w->geometry())) << w->geometry().x();
            EXPECT_EQ(w->x(), w->y());
            corners << w->pos();
        }
        // Each a title bar further down the diagonal, the active one last and on top.
        for (int i = 1; i < corners.size(); ++i)
            EXPECT_GT(corners[i].x(), corners[i - 1].x());
        EXPECT_EQ(Frame().MdiArea()->subWindowList(QMdiArea::StackingOrder).last(), active);
        EXPECT_EQ(Active(), active);
    };
    // From the windows as they opened: the map keeps 550 x 350, the meteograms their width.
    cascadeKeepsSizes(Windows()[5]);
    EXPECT_EQ(Windows()[3]->width(), 650);
    EXPECT_EQ(Windows()[0]->size(), QSize(550, 350));
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/cascade-five-meteograms.png"));
    // From full-width tiles: every window's buttons stay in view.
    Frame().Action(ID_WINDOW_TILE_HORZ)->trigger();
    Pump();
    cascadeKeepsSizes(Windows()[1]);
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/cascade-after-tile.png"));
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

    // Ctrl+F4 and Ctrl+W are File > Close's keys, whatever the platform binds for child windows
    // (a second binding of a key would make both do nothing).
    const QList<QKeySequence> keys = Frame().Action(ID_FILE_CLOSE)->shortcuts();
    EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | Qt::Key_F4)));
    EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | Qt::Key_W)));
    for (CChildFrame* w : Windows())
        for (QAction* a : w->systemMenu()->actions())
            EXPECT_TRUE(a->shortcuts().isEmpty()) << a->text().toStdString();
    QTest::keyClick(&Frame(), Qt::Key_F4, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(Windows().size(), 2u);
    EXPECT_TRUE(Active());
}

TEST_F(WindowManagementTest, ClosingAWindowActivatesTheOneActiveBeforeIt) {
    StartViewer();
    App().OpenStations({"EDDT", "EDDH", "YSSY"});
    Pump();
    // Neither the first window created nor the closing one's neighbour.
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("BERLIN_TEGEL"));
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("SYDNEY"));
    Pump();
    Frame().Action(ID_FILE_CLOSE)->trigger();
    Pump();
    ASSERT_TRUE(Active());
    EXPECT_EQ(Active()->windowTitle(), "BERLIN_TEGEL");
    EXPECT_EQ(Title(), "Ventora - BERLIN_TEGEL");
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
    EXPECT_EQ(PaneText(), "Total stations: 6");

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

TEST_F(WindowManagementTest, StatusTextsNeitherWidenTheWindowNorLieUnderAPrompt) {
    StartViewer();
    Pump();
    const QSize before = Frame().size();
    const std::string notice = "2 saved station windows were not reopened (" +
                               std::string(300, 'N') +
                               "): the report server did not answer. They stay in the layout.";
    Frame().SetServerNotice(notice);
    Frame().SetStatusText(std::string(500, 'S'));
    Pump();
    EXPECT_EQ(Frame().size(), before);
    auto* pane = Frame().findChild<QLabel*>("serverNotice");
    ASSERT_TRUE(pane);
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(pane->text().endsWith(QChar(0x2026))) << pane->text().toStdString();
    EXPECT_EQ(pane->toolTip().toStdString(), notice);
    EXPECT_EQ(ServerNotice(), notice);

    // A prompt hides the notice, also one that arrives while the prompt is up.
    Frame().statusBar()->showMessage("Find station");
    Pump();
    EXPECT_FALSE(pane->isVisible());
    Frame().SetServerNotice("The report server answers again.");
    Pump();
    EXPECT_FALSE(pane->isVisible());
    Frame().statusBar()->clearMessage();
    Pump();
    EXPECT_TRUE(pane->isVisible());
    EXPECT_EQ(pane->text(), "The report server answers again.");
    Frame().SetServerNotice("");
    EXPECT_FALSE(pane->isVisible());
}
