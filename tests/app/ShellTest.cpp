#include "app/ChildFrame.h"
#include "app/VentoraDoc.h"
#include "mapview/VentoraView.h"
#include "resources/CommandIds.h"
#include "stationlist/ListViewStations.h"
#include "tests/support/AppFixture.h"
#include "views/ViewBase.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

using namespace ids;
using testing_support::AppFixture;

namespace {

std::vector<std::string> MenuTitles(QMenuBar* bar) {
    std::vector<std::string> titles;
    for (QAction* a : bar->actions())
        titles.push_back(a->text().toStdString());
    return titles;
}

} // namespace

class ShellTest : public AppFixture {};

TEST_F(ShellTest, StartsWithOneWorldMapAndTheCatalogue) {
    Start(testing_support::SampleStationList());
    EXPECT_EQ(Frame().StationsAll().GetSize(), 6);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map"}));
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Ventora - World Map");
    EXPECT_EQ(PaneText(), "Total stations: 6");
    EXPECT_EQ(iNextWindowKind, KIND_STATION);
    EXPECT_TRUE(m_recorder.messages.empty());
    // The status bar's lock indicators.
    QStringList indicators;
    for (QLabel* label : Frame().statusBar()->findChildren<QLabel*>())
        indicators << label->text();
    EXPECT_TRUE(indicators.contains("CAP") && indicators.contains("NUM") &&
                indicators.contains("SCRL"));
}

TEST_F(ShellTest, AMissingStationListIsReportedAndTheProgramRunsEmpty) {
    Start(std::string());
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text, "Can not open a file \"stations.txt\".");
    EXPECT_EQ(m_recorder.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(Frame().StationsAll().GetSize(), 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map"}));
    EXPECT_EQ(PaneText(), "Total stations: 0");
}

TEST_F(ShellTest, MenusSwitchWithTheActiveWindow) {
    Start(testing_support::SampleStationList());
    EXPECT_EQ(MenuTitles(Frame().menuBar()),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Window", "&Help"}));

    Frame().MdiArea()->closeAllSubWindows();
    Pump();
    EXPECT_EQ(MenuTitles(Frame().menuBar()),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Help"}));
    EXPECT_FALSE(Frame().Action(ID_FILE_CLOSE)->isEnabled());

    // A list window leaves the bar as it was.
    Frame().OpenChildWindow(KIND_ALL_STATIONS);
    Pump();

    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    EXPECT_TRUE(Frame().Action(ID_VIEW_PARAMETERS)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_VIEW_MARK_ALL_STATIONS)->isChecked());

    Frame().MdiArea()->setActiveSubWindow(Windows()[0]); // the list
    Pump();
    EXPECT_FALSE(Frame().Action(ID_VIEW_PARAMETERS)->isEnabled());
    EXPECT_FALSE(Frame().Action(ID_VIEW_MARK_ALL_STATIONS)->isEnabled());
    EXPECT_FALSE(Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_VIEW_FIND_STATION)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_FILE_CLOSE)->isEnabled());
}

TEST_F(ShellTest, MenuItemsPromptsAndToolbar) {
    Start(testing_support::SampleStationList());
    QAction* view = nullptr;
    for (QAction* a : Frame().menuBar()->actions())
        if (a->text() == "&View")
            view = a;
    ASSERT_TRUE(view && view->menu());
    QStringList items;
    for (QAction* a : view->menu()->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, QStringList({"&Toolbar", "&Status Bar", "-", "World Map", "Mark all stations",
                                  "Show all stations", "Parameters", "Find station", "-",
                                  "&Refresh", "Map &Colours", "Report &Server..."}));
    EXPECT_EQ(Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->statusTip(), "Show all stations");
    EXPECT_EQ(Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->toolTip(), "Show all stations table");
    EXPECT_EQ(Frame().Action(ID_VIEW_WORLD_MAP)->statusTip(), "Show World Map");

    QStringList buttons;
    for (QAction* a : Frame().ToolBar()->actions())
        buttons << a->toolTip();
    EXPECT_EQ(buttons, QStringList({"Show Parameters Dialog", "Mark all stations",
                                    "Show all stations table", "Find station", "Refresh"}));
    EXPECT_EQ(Frame().Action(ID_HELP)->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Frame().Action(ID_VIEW_REFRESH)->shortcut(), QKeySequence(Qt::Key_F5));
    // The map colour modes: radio items of a submenu, one choice of four.
    QMenu* colours = nullptr;
    for (QAction* a : view->menu()->actions())
        if (a->text() == "Map &Colours")
            colours = a->menu();
    ASSERT_TRUE(colours);
    QStringList modes;
    for (QAction* a : colours->actions()) {
        modes << a->text();
        EXPECT_TRUE(a->isCheckable());
        EXPECT_TRUE(a->actionGroup());
    }
    EXPECT_EQ(modes, QStringList({"&Stations", "&Flight Category", "&Temperature", "&Wind"}));

    Frame().Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_FALSE(Frame().Action(ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(ShellTest, WorldMapTwiceGivesTwoWindowsAndClosingOneSetsTheKind) {
    Start(testing_support::SampleStationList());
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"World Map", "World Map"}));
    EXPECT_EQ(Windows()[0]->size(), QSize(550, 350));
    EXPECT_EQ(iNextWindowKind, KIND_STATION);
    Windows()[1]->close();
    Pump();
    EXPECT_EQ(iNextWindowKind, KIND_WORLD_MAP);
    EXPECT_EQ(Frame().LayoutEntries().size(), 2u); // entries stay after their windows close
}

TEST_F(ShellTest, ShowAllStationsOpensAListAndHelpAndAboutCanBeShown) {
    Start(testing_support::SampleStationList());
    Frame().Action(ID_VIEW_SHOW_ALL_STATIONS)->trigger();
    Pump();
    ASSERT_TRUE(WindowTitled("All stations"));
    EXPECT_EQ(WindowTitled("All stations")->size(), QSize(501, 608));
    EXPECT_EQ(ListView(WindowTitled("All stations"))->Model().rowCount(), 6);

    QTest::keyClick(&Frame(), Qt::Key_F1);
    Pump();
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "help" && w->isVisible())
            help = w;
    ASSERT_TRUE(help);
    help->close();

    std::string title, line;
    WithModal([&] { Frame().Action(ID_APP_ABOUT)->trigger(); },
              [&](QWidget* about) {
                  title = about->windowTitle().toStdString();
                  for (QLabel* label : about->findChildren<QLabel*>())
                      if (!label->text().isEmpty())
                          line = label->text().toStdString();
                  about->findChild<QPushButton*>()->click();
              });
    EXPECT_EQ(title, "About Ventora");
    EXPECT_EQ(line, "Ventora Version 1.2");
}

TEST_F(ShellTest, TheRecentListStandsInTheFileMenu) {
    Start(testing_support::SampleStationList());
    QMenu* file = nullptr;
    for (QAction* a : Frame().menuBar()->actions())
        if (a->text() == "&File")
            file = a->menu();
    ASSERT_TRUE(file);
    emit file->aboutToShow();
    EXPECT_TRUE(Frame().Action(ID_FILE_MRU_FILE1)->isVisible()); // the placeholder, disabled
    EXPECT_FALSE(Frame().Action(ID_FILE_MRU_FILE1)->isEnabled());

    Frame().AddToRecentFileList("HAMBURG (EDDH)");
    Frame().AddToRecentFileList("SYDNEY (YSSY)");
    emit file->aboutToShow();
    QStringList items;
    for (QAction* a : file->actions())
        if (a->isVisible())
            items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, QStringList({"Save &Picture...", "Export &Observations...", "-", "&Print...",
                                  "Print Pre&view", "-", "&1 SYDNEY (YSSY)", "&2 HAMBURG (EDDH)",
                                  "-", "&Close", "E&xit"}));
}

namespace {

// A window whose command and mouse handlers run into an index out of range.
class FaultyView : public CViewBase {
public:
    explicit FaultyView(WindowHost& host) : CViewBase(host) {
        SetCommands({{ID_VIEW_PARAMETERS,
                      [] { throw platform::InvalidArgument("array index 7 outside 0..2"); }}});
    }
    bool IsMapView() const override { return true; }

protected:
    void mousePressEvent(QMouseEvent*) override {
        throw platform::InvalidArgument("array index 9 outside 0..2");
    }
};

} // namespace

TEST_F(ShellTest, AnOutOfRangeErrorAbandonsTheOperationAndTheProgramGoesOn) {
    Start(testing_support::SampleStationList());
    auto* frame = new CChildFrame(KIND_WORLD_MAP);
    auto* view = new FaultyView(Frame());
    frame->SetView(view, std::make_unique<CVentoraDoc>(*App().m_pMapTemplate));
    Frame().MdiArea()->addSubWindow(frame);
    frame->show();
    Frame().MdiArea()->setActiveSubWindow(frame);
    Pump();

    Frame().Action(ID_VIEW_PARAMETERS)->trigger(); // a command
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text, "The operation was abandoned because of an internal "
                                           "error (array index 7 outside 0..2).");
    QTest::mouseClick(view, Qt::LeftButton); // an event
    ASSERT_EQ(m_recorder.messages.size(), 2u);
    EXPECT_NE(m_recorder.messages[1].text.find("array index 9"), std::string::npos);

    // The program goes on.
    Frame().Action(ID_VIEW_WORLD_MAP)->trigger();
    Pump();
    EXPECT_EQ(Titles().back(), "World Map");
}
