// Station windows with the observation store of the working folder (a real SQLite file):
// opening at once and offline, filling in, exporting any period, retention and store faults.

#include "app/ChildFrame.h"
#include "app/ExportObservations.h"
#include "mapview/MeteogramPane.h"
#include "mapview/VentoraView.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "resources/CommandIds.h"
#include "store/ObservationCsv.h"
#include "store/ObservationStore.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/RecordingSurface.h"

#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QTimeZone>

#include <filesystem>
#include <set>

using testing_support::AppFixture;
using testing_support::Rows;

class StoredObservationsTest : public AppFixture {
protected:
    testing_support::FakeReportServer m_server;

    void StartViewer() {
        CVentoraApp::Options options;
        options.serverUrl = m_server.BaseUrl();
        Start(testing_support::SampleStationList(), options);
    }
    MeteogramPane* Jfk() {
        CVentoraView* view = MapView(WindowTitled("NYC_JFK ARPT"));
        return view ? view->PaneAs<MeteogramPane>() : nullptr;
    }
    void CloseJfk() {
        WindowTitled("NYC_JFK ARPT")->close();
        Pump();
    }
    // The note along the window's foot; empty without one.
    std::string FootNote() {
        testing_support::RecordingSurface surface({0, 0, 650, 670});
        MapView(WindowTitled("NYC_JFK ARPT"))->OnDraw(surface);
        for (const std::string& text : surface.Texts())
            if (text.rfind("Offline", 0) == 0 || text.rfind("Not refreshed", 0) == 0)
                return text;
        return {};
    }
    void StartWithTheStoreInTheWay(bool folder);
    static std::set<std::int64_t> Instants(const ObservationSeries& series) {
        std::set<std::int64_t> instants;
        for (int i = 0; i < series.GetSize(); ++i)
            instants.insert(ObservedInstant(series[i]));
        return instants;
    }
};

TEST_F(StoredObservationsTest, AKeptStationOpensAtOnceAndMergesThePage) {
    m_server.SetPage("KJFK", Rows("KJFK", 24, 60));
    StartViewer();
    Pump();
    // A start that shows the map only leaves the store unopened, its file unmade; the daily
    // pruning has nothing to prune yet.
    Frame().PruneStore();
    EXPECT_FALSE(std::filesystem::exists(kObservationStoreFile));
    App().OpenStations({"KJFK"});
    ASSERT_TRUE(Jfk());
    CloseJfk();
    ASSERT_TRUE(std::filesystem::exists(kObservationStoreFile));

    // The next page has a newer report and lacks the older ones.
    m_server.SetPage("KJFK", Rows("KJFK", 6, 60, 5, 50));
    m_server.ClearRequests();
    App().OpenStations({"KJFK"});
    MeteogramPane* pane = Jfk();
    ASSERT_TRUE(pane);
    // Drawn from the store before the server is asked: no probe first.
    EXPECT_EQ(pane->Graph()->RowCount(), 24);
    Pump();
    EXPECT_EQ(m_server.Requests(), std::vector<std::string>{"KJFK past 24 hours"});
    EXPECT_EQ(pane->Graph()->RowCount(), 25);
    EXPECT_EQ(pane->Series().GetSize(), 25);
    EXPECT_EQ(Instants(pane->Series()).size(), 25u);
    EXPECT_EQ(pane->Graph()->Row(24).At(0), "05:50");
    // The oldest kept row, which the page lacks, stays.
    EXPECT_EQ(ObservedInstant(pane->Series()[24]), ObservedInstant(pane->Series()[0]) - 86400);
    EXPECT_EQ(FootNote(), "");
    EXPECT_TRUE(m_recorder.messages.empty());
    EXPECT_EQ(pane->TimerInterval(), 60 * 60000);
}

TEST_F(StoredObservationsTest, WithTheServerDownAKeptStationOpensOfflineAndFillsInLater) {
    m_server.SetPage("KJFK", Rows("KJFK", 24, 60));
    StartViewer();
    App().OpenStations({"KJFK"});
    CloseJfk();

    m_server.GoDown();
    App().OpenStations({"KJFK"});
    Pump();
    MeteogramPane* pane = Jfk();
    ASSERT_TRUE(pane);
    EXPECT_TRUE(m_recorder.messages.empty());
    EXPECT_EQ(pane->Graph()->RowCount(), 24);
    EXPECT_GT(pane->TimerInterval(), 0);
    const std::int64_t age = platform::CurrentTime() - ObservedInstant(pane->Series()[0]);
    EXPECT_EQ(FootNote(), "Offline: newest report 04:50 UTC, " + MeteogramPane::AgeText(age) +
                              " ago. The report server " + m_server.BaseUrl() +
                              " did not answer (connection refused).");
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/offline-window.png"));

    // A station with nothing kept is as before: the message, no window.
    const std::size_t windows = Windows().size();
    App().OpenStations({"EDDH"});
    EXPECT_EQ(Windows().size(), windows);
    EXPECT_EQ(m_recorder.messages.size(), 1u);

    // The server answers again: the next tick brings the whole period, merged.
    m_server.ComeBack();
    m_server.SetPage("KJFK", Rows("KJFK", 24, 60, 6, 50));
    pane->RefreshTick();
    EXPECT_EQ(pane->Graph()->RowCount(), 26);
    EXPECT_EQ(Instants(pane->Series()).size(), 26u);
    EXPECT_EQ(FootNote(), "");
    // Then ticks bring the newest report only, as before.
    m_server.ClearRequests();
    pane->RefreshTick();
    EXPECT_EQ(m_server.Requests(), std::vector<std::string>{"KJFK most recent only"});
    EXPECT_EQ(pane->Graph()->RowCount(), 26);
}

TEST_F(StoredObservationsTest, ExportWritesAnyStoredPeriodAsCsvOrMeteodata) {
    m_server.SetPage("KJFK", Rows("KJFK", 24, 60));
    StartViewer();
    App().OpenStations({"KJFK"});
    ASSERT_TRUE(Jfk());
    Frame().UpdateCommandUi();
    const std::int64_t newest = ObservedInstant(Jfk()->Series()[0]);
    const auto utc = [](std::int64_t t) {
        return QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc());
    };

    // In the meteogram: its station; a period of six reports; CSV.
    AppFixture::WithModal([&] { Frame().Action(ids::ID_FILE_EXPORT_OBSERVATIONS)->trigger(); },
                          [&](QWidget* modal) {
                              auto* dialog = dynamic_cast<ExportObservationsDialog*>(modal);
                              ASSERT_TRUE(dialog);
                              EXPECT_FALSE(dialog->StationBox()->isEnabled());
                              EXPECT_EQ(dialog->Station(), "KJFK");
                              dialog->FromEdit()->setDateTime(utc(newest - 5 * 3600));
                              dialog->ToEdit()->setDateTime(utc(newest));
                              EXPECT_TRUE(dialog->PathEdit()->text().endsWith(
                                  QStringLiteral("/KJFK_2026-12-06_2026-12-07.csv")))
                                  << dialog->PathEdit()->text().toStdString();
                              dialog->grab().save(
                                  QStringLiteral(VENTORA_ARTIFACT_DIR "/export-dialog.png"));
                              dialog->PathEdit()->setText(QStringLiteral("six.csv"));
                              dialog->accept();
                          });
    const std::string csv = testing_support::ReadFile("six.csv");
    ASSERT_EQ(csv.rfind(ObservationCsvHeader(), 0), 0u) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 7);
    EXPECT_NE(csv.find("2026-12-06T23:50:00Z"), std::string::npos) << csv;
    EXPECT_NE(csv.find("2026-12-07T04:50:00Z"), std::string::npos);
    EXPECT_EQ(csv.find("2026-12-06T22:50:00Z"), std::string::npos);
    EXPECT_EQ(PaneText(), "6 observations of KJFK written to \"six.csv\".");

    // From the world map: the station is asked for; the meteodata layout, newest first.
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    Frame().UpdateCommandUi();
    AppFixture::WithModal([&] { Frame().Action(ids::ID_FILE_EXPORT_OBSERVATIONS)->trigger(); },
                          [&](QWidget* modal) {
                              auto* dialog = dynamic_cast<ExportObservationsDialog*>(modal);
                              ASSERT_TRUE(dialog);
                              EXPECT_TRUE(dialog->StationBox()->isEditable());
                              EXPECT_EQ(dialog->StationBox()->findText(QStringLiteral("KJFK")), 0);
                              dialog->StationBox()->setEditText(QStringLiteral("kjfk"));
                              dialog->FromEdit()->setDateTime(utc(newest - 86400 * 10));
                              dialog->ToEdit()->setDateTime(utc(newest));
                              dialog->FormatBox()->setCurrentIndex(1);
                              EXPECT_TRUE(
                                  dialog->PathEdit()->text().endsWith(QStringLiteral(".txt")));
                              dialog->PathEdit()->setText(QStringLiteral("all.txt"));
                              dialog->accept();
                          });
    const std::string text = testing_support::ReadFile("all.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 24);
    EXPECT_NE(text.find("\n12/07/2026\t04:50\t"), std::string::npos);

    // A place that cannot be written: the path and the cause; nothing written.
    for (const char* path : {"no-folder/kjfk.csv", "no-folder/kjfk.txt"}) {
        m_recorder.messages.clear();
        Frame().MdiArea()->setActiveSubWindow(WindowTitled("NYC_JFK ARPT"));
        Frame().UpdateCommandUi();
        AppFixture::WithModal([&] { Frame().Action(ids::ID_FILE_EXPORT_OBSERVATIONS)->trigger(); },
                              [&](QWidget* modal) {
                                  auto* dialog = dynamic_cast<ExportObservationsDialog*>(modal);
                                  ASSERT_TRUE(dialog);
                                  dialog->FormatBox()->setCurrentIndex(
                                      std::string(path).ends_with(".txt"));
                                  dialog->PathEdit()->setText(QString::fromLatin1(path));
                                  dialog->accept();
                              });
        ASSERT_EQ(m_recorder.messages.size(), 1u) << path;
        EXPECT_EQ(
            m_recorder.messages[0].text.rfind(
                platform::Format("The observations could not be written to \"%s\": ", path), 0),
            0u)
            << m_recorder.messages[0].text;
        EXPECT_FALSE(std::filesystem::exists("no-folder"));
    }
}

TEST_F(StoredObservationsTest, OldObservationsAreRemovedAtStartAndOnTheDailyRound) {
    const std::int64_t now = platform::CurrentTime();
    {
        ObservationStore store(".");
        ObservationSeries rows;
        for (int days : {2, 40, 100, 400}) {
            ObservationRecord r;
            ResetObservation(r);
            r.tObservedUtc = now - days * 86400LL;
            r.dTemperature = days;
            rows.Add(r);
        }
        ASSERT_TRUE(store.SaveSeries("EDDH", rows));
    }
    StartViewer();
    ObservationStore* store = Frame().Store();
    ASSERT_TRUE(store);
    const auto kept = [&] { return store->ReadPeriod("EDDH", 0, now).GetSize(); };
    EXPECT_EQ(kept(), 2); // the default keeps 90 days
    Frame().CurrentStation().iKeepDays = 30;
    Frame().PruneStore();
    EXPECT_EQ(kept(), 1);
    EXPECT_TRUE(m_recorder.messages.empty());
}

// Something at the store's place that is not a store: a file of another kind, or a folder.
// The viewer says so once and works as without a store.
void StoredObservationsTest::StartWithTheStoreInTheWay(bool folder) {
    if (folder)
        std::filesystem::create_directory(kObservationStoreFile);
    else
        testing_support::WriteFile(kObservationStoreFile, std::string(5000, 'x'));
    m_server.SetPage("KJFK", Rows("KJFK", 4, 60));
    StartViewer();
    Pump();
    App().OpenStations({"KJFK"});
    ASSERT_TRUE(Jfk());
    EXPECT_EQ(Jfk()->Graph()->RowCount(), 4);
    CloseJfk();
    App().OpenStations({"KJFK"});
    Pump();
    ASSERT_TRUE(Jfk());
}

TEST_F(StoredObservationsTest, AFileThatIsNoStoreIsSetAsideOnce) {
    StartWithTheStoreInTheWay(false);
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_NE(m_recorder.messages[0].text.find("It was renamed to \""), std::string::npos)
        << m_recorder.messages[0].text;
    // A fresh store took the pages; the old file lies aside, untouched.
    int aside = 0;
    for (const auto& e : std::filesystem::directory_iterator(".")) {
        const std::string name = e.path().filename().string();
        if (name.rfind(std::string(kObservationStoreFile) + ".damaged-", 0) == 0 &&
            name.find("-wal") == std::string::npos && name.find("-shm") == std::string::npos) {
            ++aside;
            EXPECT_EQ(testing_support::ReadFile(e.path()), std::string(5000, 'x'));
        }
    }
    EXPECT_EQ(aside, 1);
    ASSERT_TRUE(Frame().Store());
    EXPECT_EQ(Frame().Store()->ReadPeriod("KJFK", 0, platform::CurrentTime()).GetSize(), 4);
}

TEST_F(StoredObservationsTest, AStoreThatCannotBeUsedIsToldOnceAndTheViewerGoesOn) {
    StartWithTheStoreInTheWay(true);
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_NE(m_recorder.messages[0].text.find("Ventora goes on without it"), std::string::npos)
        << m_recorder.messages[0].text;
    EXPECT_EQ(Jfk()->Graph()->RowCount(), 4);
}
