// Station lists driven through their real windows.

#include "app/ChildFrame.h"
#include "resources/CommandIds.h"
#include "stationlist/ListViewStations.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/StationLine.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QTableView>
#include <QTest>

using testing_support::AppFixture;

class ListViewTest : public AppFixture {
protected:
    CListView_Stations* OpenAll() {
        // Show all stations is a command of map windows.
        Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
        Frame().Action(ids::ID_VIEW_SHOW_ALL_STATIONS)->trigger();
        Pump();
        return ListView(Active());
    }
    static std::vector<std::string> Names(const CListView_Stations* list) {
        std::vector<std::string> names;
        for (int r = 0; r < list->Model().rowCount(); ++r)
            names.push_back(list->Model().RowAt(r).texts[0]);
        return names;
    }
    static void ClickHeader(CListView_Stations* list, int column) {
        QHeaderView* header = list->Table()->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
    }
};

TEST_F(ListViewTest, FilledSortedByNameAndSortedByHeaderPresses) {
    Start(testing_support::SampleStationList());
    CListView_Stations* list = OpenAll();
    ASSERT_TRUE(list);
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{"ALBERTA BEACH", "BERLIN_TEGEL", "CUMBERLAND (X)",
                                        "HAMBURG", "NYC_JFK ARPT", "SYDNEY"}));
    EXPECT_TRUE(list->Table()->showGrid());
    EXPECT_EQ(list->Table()->columnWidth(0), 120);

    // The first press after start sorts descending.
    ClickHeader(list, 3);
    std::vector<std::string> elevations;
    for (int r = 0; r < 6; ++r)
        elevations.push_back(list->Model().RowAt(r).texts[3]);
    EXPECT_EQ(elevations, (std::vector<std::string>{"700", "236", "37", "16", "9", "3"}));

    // The direction is shared: a press in another list sorts ascending, and a list opened
    // afterwards comes up sorted by name in the direction of the last press.
    CListView_Stations* second = OpenAll();
    EXPECT_EQ(Names(second).front(), "SYDNEY");
    ClickHeader(second, 6);
    EXPECT_EQ(second->Model().RowAt(0).texts[6], "CXAB");
    EXPECT_EQ(Names(OpenAll()).front(), "ALBERTA BEACH");
}

TEST_F(ListViewTest, TheStatusLineCountsTheSelectedRow) {
    std::string stations = testing_support::SampleStationList();
    for (int i = 0; i < 1194; ++i)
        stations +=
            testing_support::StationLine("  ", "FILL " + std::to_string(i),
                                         "F" + std::to_string(1000 + i), "10 00N", "010 00E") +
            "\n";
    Start(stations);
    CListView_Stations* list = OpenAll();
    ASSERT_EQ(list->Model().rowCount(), 1200);
    list->Table()->selectRow(2);
    EXPECT_EQ(PaneText(), " Line:      3 /   1200");
    EXPECT_EQ(list->CurrentRow(), 2);
}

TEST_F(ListViewTest, EmptyListsHaveTheColumnsAndNoRows) {
    Start(testing_support::SampleStationList());
    Frame().StationsResult().RemoveAll();
    Frame().OpenResultList("Nearest stations");
    Pump();
    CListView_Stations* list = ListView(Active());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Model().rowCount(), 0);
    EXPECT_EQ(list->Model().columnCount(), 8);
    QTest::keyClick(list->Table(), Qt::Key_Return);
    EXPECT_EQ(Windows().size(), 2u);
}

TEST_F(ListViewTest, CtrlFFindsFromTheList) {
    Start(testing_support::SampleStationList());
    CListView_Stations* list = OpenAll();
    WithModal([&] { QTest::keyClick(list->Table(), Qt::Key_F, Qt::ControlModifier); },
              [](QWidget* dialog) {
                  QTest::keyClicks(dialog->findChild<QLineEdit*>(), "edd");
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return);
              });
    Pump();
    ASSERT_TRUE(WindowTitled("The stations found by \"edd\""));
    EXPECT_EQ(ListView(WindowTitled("The stations found by \"edd\""))->Model().rowCount(), 2);
    // The toolbar's Find button works in a list too.
    EXPECT_TRUE(Frame().Action(ids::ID_VIEW_FIND_STATION)->isEnabled());
}

TEST_F(ListViewTest, TheKeyboardWorksOnTheSelectedRowOfAFreshList) {
    testing_support::FakeReportServer server;
    server.SetPage("EDDH", testing_support::Rows("EDDH", 4, 30));
    Start(testing_support::SampleStationList(), CVentoraApp::Options{server.BaseUrl()});
    // A fresh list has the focus and no row is chosen: Enter opens nothing.
    CListView_Stations* list = OpenAll();
    list->Table()->setFocus();
    Pump();
    QTest::keyClick(list->Table(), Qt::Key_Return);
    Pump();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(Windows().size(), 2u);
    EXPECT_EQ(list->SelectedRow(), -1);

    // From a fresh Find, the first Down selects the first row; Home, End, Page keys move it.
    WithModal([&] { QTest::keyClick(list->Table(), Qt::Key_F, Qt::ControlModifier); },
              [](QWidget* dialog) {
                  QTest::keyClick(dialog->findChild<QLineEdit*>(), Qt::Key_Return); // all of them
              });
    Pump();
    CListView_Stations* found = ListView(Active());
    ASSERT_TRUE(found && found != list);
    ASSERT_EQ(found->Model().rowCount(), 6);
    found->Table()->setFocus();
    Pump();
    EXPECT_EQ(found->SelectedRow(), -1);
    QTest::keyClick(found->Table(), Qt::Key_Down);
    EXPECT_EQ(found->SelectedRow(), 0);
    EXPECT_EQ(PaneText(), " Line:      1 /      6");
    QTest::keyClick(found->Table(), Qt::Key_Down);
    EXPECT_EQ(found->SelectedRow(), 1);
    QTest::keyClick(found->Table(), Qt::Key_End);
    EXPECT_EQ(found->SelectedRow(), 5);
    QTest::keyClick(found->Table(), Qt::Key_Home);
    EXPECT_EQ(found->SelectedRow(), 0);
    QTest::keyClick(found->Table(), Qt::Key_PageDown);
    EXPECT_EQ(found->SelectedRow(), 5);
    QTest::keyClick(found->Table(), Qt::Key_PageUp);
    EXPECT_EQ(found->SelectedRow(), 0);
    QTest::keyClick(found->Table(), Qt::Key_Down); // ALBERTA BEACH, BERLIN_TEGEL, ...
    QTest::keyClick(found->Table(), Qt::Key_Down);
    QTest::keyClick(found->Table(), Qt::Key_Down);
    ASSERT_EQ(found->Model().RowAt(found->SelectedRow()).texts[6], "EDDH");
    QTest::keyClick(found->Table(), Qt::Key_Return);
    Pump();
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"EDDH most recent only", "EDDH past 24 hours"}));
    ASSERT_TRUE(WindowTitled("HAMBURG"));

    // A fresh list with End and nothing chosen goes to the last row.
    CListView_Stations* another = OpenAll();
    another->Table()->setFocus();
    QTest::keyClick(another->Table(), Qt::Key_End);
    EXPECT_EQ(another->SelectedRow(), 5);
}

TEST_F(ListViewTest, AStationWithoutACodeSaysSoAndNeverOpensAnother) {
    testing_support::FakeReportServer server;
    server.SetPage("KJFK", testing_support::Rows("KJFK", 4, 30));
    using testing_support::StationLine;
    Start(StationLine("AK", "BARROW ARM-NSA", "", "71 19N", "156 37W") + "\n" +
              StationLine("NC", "ALBERMARLE", "", "35 22N", "080 11W") + "\n" +
              StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n",
          CVentoraApp::Options{server.BaseUrl()});
    CListView_Stations* list = OpenAll();
    ClickHeader(list, 6); // by ICAO: the two without a code come first
    Pump();
    int row = -1;
    for (int r = 0; r < list->Model().rowCount(); ++r)
        if (list->Model().RowAt(r).texts[0] == "ALBERMARLE")
            row = r;
    ASSERT_GE(row, 0);
    list->Table()->selectRow(row);
    QTest::keyClick(list->Table(), Qt::Key_Return);
    Pump();
    EXPECT_TRUE(server.Requests().empty());
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text,
              "ALBERMARLE has no ICAO code; its reports cannot be retrieved.");
    EXPECT_EQ(Windows().size(), 2u);
}
