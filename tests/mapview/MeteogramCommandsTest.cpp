// What a user does with a meteogram window day to day: reads values under the pointer,
// refreshes now, saves, prints and copies the picture; and copies rows of a station list.

#include "app/ChildFrame.h"
#include "mapview/MeteogramPane.h"
#include "mapview/VentoraView.h"
#include "platform/CText.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "stationlist/ListViewStations.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QMdiArea>
#include <QMimeData>
#include <QPrinter>
#include <QSvgRenderer>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>

using testing_support::AppFixture;
using testing_support::Rows;

namespace {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

} // namespace

class MeteogramCommandsTest : public AppFixture {
protected:
    testing_support::FakeReportServer m_server;

    // Starts the viewer and opens the window of JFK with `rows` hourly reports, the newest
    // at 04:50 UTC on 7 December 2026.
    MeteogramPane* OpenJfk(int rows, int hours = 24) {
        m_server.SetPage("KJFK", Rows("KJFK", rows, 60));
        CVentoraApp::Options options;
        options.serverUrl = m_server.BaseUrl();
        Start(testing_support::SampleStationList(), options);
        Frame().CurrentStation().iShowPastHours = hours;
        App().OpenStations({"KJFK"});
        Pump();
        return Meteogram();
    }
    CVentoraView* View() { return MapView(WindowTitled("NYC_JFK ARPT")); }
    MeteogramPane* Meteogram() { return View() ? View()->PaneAs<MeteogramPane>() : nullptr; }
    // A point of the plot at the row.
    QPoint AtRow(int row) {
        const CGraph& g = *Meteogram()->Graph();
        return {g.RowToX(row) + 1, (g.m_rcPlot.top + g.m_rcPlot.bottom) / 2};
    }
    bool Enabled(int id) {
        Frame().UpdateCommandUi();
        return Frame().Action(id)->isEnabled();
    }
};

TEST_F(MeteogramCommandsTest, TheReadoutFollowsThePointerAndTheKeys) {
    ScopedTimeZone zone("America/New_York");
    // Four days of a winter's daily round.
    auto rows = Rows("KJFK", 96, 60);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].temperature =
            std::round(20 + 50 * std::sin((static_cast<double>(i) + 7) * 3.14159265 / 12)) / 10;
    m_server.SetPage("KJFK", rows);
    CVentoraApp::Options options;
    options.serverUrl = m_server.BaseUrl();
    Start(testing_support::SampleStationList(), options);
    Frame().CurrentStation().iShowPastHours = 96;
    Frame().CurrentStation().bShowTimeUTC = 0;
    Frame().CurrentStation().bMetricStyle = 0;
    App().OpenStations({"KJFK"});
    Pump();
    MeteogramPane* pane = Meteogram();
    ASSERT_TRUE(pane);
    ASSERT_EQ(pane->Graph()->RowCount(), 96);
    CVentoraView* view = View();
    const QImage plain = view->grab().toImage();

    // The pointer over the plot: the nearest observation, its local time and imperial values.
    QTest::mouseMove(view, AtRow(60));
    Pump();
    ASSERT_EQ(pane->Chart()->Readout(), 60);
    const ObservationRecord& shown = pane->Series()[95 - 60];
    const std::string text = pane->Chart()->ReadoutText(60);
    EXPECT_EQ(text.substr(0, 5), pane->Chart()->TimeLabel(shown));
    EXPECT_NE(text.find(platform::Format("%.1f \xB0"
                                         "F",
                                         shown.dTemperature * 1.8 + 32)),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" inHg  "), std::string::npos) << text;
    EXPECT_NE(text.find(" mph  "), std::string::npos) << text;
    const QImage withReadout = view->grab().toImage();
    EXPECT_NE(withReadout, plain);
    withReadout.save(QStringLiteral(VENTORA_ARTIFACT_DIR "/readout-96h-local-imperial.png"));
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/readout-in-frame.png"));

    // Outside the plot, or gone from the window: none, and the picture is as before.
    QTest::mouseMove(view, QPoint(2, 2));
    EXPECT_EQ(pane->Chart()->Readout(), std::nullopt);
    QTest::mouseMove(view, AtRow(10));
    EXPECT_EQ(pane->Chart()->Readout(), 10);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    EXPECT_EQ(pane->Chart()->Readout(), std::nullopt);
    EXPECT_EQ(view->grab().toImage(), plain);

    // Keys, while the window has the focus: from none the newest, then one by one; Escape.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(pane->Chart()->Readout(), 95);
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(pane->Chart()->Readout(), 94);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(pane->Chart()->Readout(), std::nullopt);
    EXPECT_EQ(view->grab().toImage(), plain);
}

TEST_F(MeteogramCommandsTest, RefreshFetchesTheNewestReportOnceAndRestartsTheTimer) {
    MeteogramPane* pane = OpenJfk(24);
    ASSERT_TRUE(pane);
    EXPECT_TRUE(Enabled(ids::ID_VIEW_REFRESH));
    QTest::qWait(60);
    const int before = pane->TimerRemaining();
    ASSERT_GT(before, 0);
    ASSERT_LT(before, pane->TimerInterval());

    m_server.SetLatest("KJFK", Rows("KJFK", 1, 60, 5, 50));
    m_server.ClearRequests();
    QTest::keyClick(View(), Qt::Key_F5);
    EXPECT_EQ(m_server.Requests(), std::vector<std::string>{"KJFK most recent only"});
    EXPECT_EQ(pane->Graph()->RowCount(), 25);
    EXPECT_EQ(pane->Series().GetSize(), 25);
    EXPECT_GT(pane->TimerRemaining(), before);
    EXPECT_EQ(pane->TimerInterval(), 60 * 60000);
    EXPECT_EQ(ReportAge().substr(0, 24), "Newest report 05:50 UTC,") << ReportAge();
    EXPECT_NE(ReportAge().find("; next retrieval "), std::string::npos);

    // The same report again: asked for, not added twice. The toolbar's button does the same.
    QAction* button = Frame().Action(ids::ID_VIEW_REFRESH);
    ASSERT_TRUE(Frame().ToolBar()->actions().contains(button));
    button->trigger();
    EXPECT_EQ(m_server.Requests().size(), 2u);
    EXPECT_EQ(pane->Graph()->RowCount(), 25);
    EXPECT_TRUE(m_recorder.messages.empty());

    // A map has nothing of its own to refresh yet: the command is off there.
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    EXPECT_FALSE(Enabled(ids::ID_VIEW_REFRESH));
}

TEST_F(MeteogramCommandsTest, TheStatusLineGivesTheAgeOfTheNewestReport) {
    const struct {
        std::int64_t seconds;
        const char* text;
    } ages[] = {{0, "0 min"},
                {59, "0 min"},
                {23 * 60, "23 min"},
                {3 * 3600, "3 h"},
                {3 * 3600 + 600, "3 h 10 min"},
                {20 * 3600 + 600, "20 h"},
                {49 * 3600, "2 days"},
                {-300, "0 min"}};
    for (const auto& a : ages)
        EXPECT_EQ(MeteogramPane::AgeText(a.seconds), a.text) << a.seconds;

    // Reports of the early morning, read in the evening: far more than two intervals old.
    MeteogramPane* pane = OpenJfk(4);
    ASSERT_TRUE(pane);
    const std::int64_t age = platform::CurrentTime() - ObservedInstant(pane->Series()[0]);
    const std::string text = pane->StatusText();
    EXPECT_EQ(text.substr(0, 25), "Newest report 04:50 UTC, ");
    EXPECT_NE(text.find(MeteogramPane::AgeText(age) + " ago"), std::string::npos) << text;
    EXPECT_EQ(text.find(", overdue") != std::string::npos, age > 2 * 3600) << text;
    // Active, the window puts it in its pane of the status bar; a map takes the pane away.
    EXPECT_EQ(ReportAge(), pane->StatusText());
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("World Map"));
    EXPECT_EQ(ReportAge(), "");
    Frame().MdiArea()->setActiveSubWindow(WindowTitled("NYC_JFK ARPT"));
    EXPECT_EQ(ReportAge(), pane->StatusText());
    Frame().grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/report-age.png"));
}

TEST_F(MeteogramCommandsTest, SavePictureWritesTheWindowsPixelsOrItsDrawing) {
    MeteogramPane* pane = OpenJfk(24);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->DefaultPictureName(), "KJFK_2026-12-07_0450.png");

    // Through the dialog, under the default name: the PNG is the window as it shows.
    std::filesystem::create_directory("pictures");
    Frame().UpdateCommandUi();
    WithModal([&] { Frame().Action(ids::ID_FILE_SAVE_PICTURE)->trigger(); },
              [&](QWidget* modal) {
                  auto* dialog = qobject_cast<QFileDialog*>(modal);
                  ASSERT_TRUE(dialog);
                  ASSERT_EQ(dialog->selectedFiles().size(), 1);
                  EXPECT_TRUE(dialog->selectedFiles()[0].endsWith(
                      QStringLiteral("/KJFK_2026-12-07_0450.png")));
                  dialog->setDirectory(QStringLiteral("pictures"));
                  dialog->selectFile(QStringLiteral("KJFK_2026-12-07_0450.png"));
                  static_cast<QDialog*>(dialog)->accept();
              });
    const QImage saved(QStringLiteral("pictures/KJFK_2026-12-07_0450.png"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              View()->grab().toImage().convertToFormat(QImage::Format_RGB32));

    // SVG: a drawing that parses and holds the curves in their colours.
    ASSERT_TRUE(pane->SavePicture(QStringLiteral("pictures/kjfk.SVG")));
    QSvgRenderer svg(QStringLiteral("pictures/kjfk.SVG"));
    EXPECT_TRUE(svg.isValid());
    const std::string text = testing_support::ReadFile("pictures/kjfk.SVG");
    for (const char* colour : {"#fa0000", "#00c800", "#0000fa", "#00c8fa"})
        EXPECT_NE(text.find(std::string("stroke=\"") + colour), std::string::npos) << colour;
    EXPECT_NE(text.find("<polyline"), std::string::npos);
    EXPECT_TRUE(m_recorder.messages.empty());

    // A place that cannot be written: the path and the cause, and nothing left behind.
    const QString nowhere = QStringLiteral("missing-folder/kjfk.png");
    EXPECT_FALSE(pane->SavePicture(nowhere));
    ASSERT_EQ(m_recorder.messages.size(), 1u);
    EXPECT_EQ(m_recorder.messages[0].text.rfind(
                  "The picture could not be written to \"missing-folder/kjfk.png\": ", 0),
              0u)
        << m_recorder.messages[0].text;
    EXPECT_GT(m_recorder.messages[0].text.size(), 70u);
    EXPECT_FALSE(std::filesystem::exists("missing-folder"));
    // A file in the way of the folder: the old picture stays whole, no scrap beside it.
    std::filesystem::create_directory("pictures/taken.png");
    EXPECT_FALSE(pane->SavePicture(QStringLiteral("pictures/taken.png")));
    EXPECT_EQ(m_recorder.messages.size(), 2u);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("pictures"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"KJFK_2026-12-07_0450.png", "kjfk.SVG", "taken.png"}));
}

TEST_F(MeteogramCommandsTest, PrintingGivesALandscapePageAndAPreview) {
    MeteogramPane* pane = OpenJfk(24);
    ASSERT_TRUE(pane);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("kjfk.pdf"));
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(pane->PrintTo(printer));
    const std::string pdf = testing_support::ReadFile("kjfk.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Type /Page\n"), std::string::npos);
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
    EXPECT_GT(pdf.size(), 10000u);

    QPrinter nowhere(QPrinter::HighResolution);
    nowhere.setOutputFormat(QPrinter::PdfFormat);
    nowhere.setOutputFileName(QStringLiteral("missing-folder/kjfk.pdf"));
    EXPECT_FALSE(pane->PrintTo(nowhere));

    Frame().UpdateCommandUi();
    // The preview: landscape unless the user turns it, the meteogram with its title.
    WithModal([&] { Frame().Action(ids::ID_FILE_PRINT_PREVIEW)->trigger(); },
              [&](QWidget* modal) {
                  modal->resize(900, 700);
                  Pump(50);
                  const QImage shot = modal->grab().toImage();
                  shot.save(QStringLiteral(VENTORA_ARTIFACT_DIR "/print-preview.png"));
                  // Some of the page is the curves' red.
                  int red = 0;
                  for (int y = 0; y < shot.height(); y += 2)
                      for (int x = 0; x < shot.width(); x += 2) {
                          const QColor c = shot.pixelColor(x, y);
                          red += c.red() > 200 && c.green() < 120 && c.blue() < 120;
                      }
                  EXPECT_GT(red, 20);
                  static_cast<QDialog*>(modal)->reject();
              });
    // The print dialog comes up; cancelled, nothing is printed and nothing is said.
    WithModal([&] { Frame().Action(ids::ID_FILE_PRINT)->trigger(); },
              [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_TRUE(m_recorder.messages.empty());
}

TEST_F(MeteogramCommandsTest, CopyPutsThePictureAndTheObservationTableOnTheClipboard) {
    MeteogramPane* pane = OpenJfk(3);
    ASSERT_TRUE(pane);
    QApplication::clipboard()->clear();
    View()->setFocus();
    QTest::keyClick(View(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), View()->size());
    const QString table = data->text();
    EXPECT_EQ(QString::fromUtf8(data->data(QStringLiteral("text/tab-separated-values"))), table);
    const QStringList lines = table.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Time UTC\tTemperature \u00B0C\tPressure hPa\t"
                                       "Wind speed m/s\tWind direction \u00B0"));
    // Oldest first; the newest is the row the window shows last.
    const ObservationRecord& newest = pane->Series()[0];
    EXPECT_EQ(lines[3], platform::FromCp1252(platform::Format(
                            "2026-12-07 04:50\t%.1f\t%.1f\t%.1f\t%.0f", newest.dTemperature,
                            newest.dPressure + 1000.0, newest.dWindSpeed, newest.dWindDirection)));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2026-12-07 02:50\t")));
}

TEST_F(MeteogramCommandsTest, CopyInAStationListTakesTheSelectedRows) {
    Start(testing_support::SampleStationList());
    Frame().Action(ids::ID_VIEW_SHOW_ALL_STATIONS)->trigger();
    Pump();
    CListView_Stations* list = ListView(Active());
    ASSERT_TRUE(list);
    QTableView* table = list->Table();
    // Nothing chosen: nothing to copy.
    table->clearSelection();
    EXPECT_FALSE(Enabled(ids::ID_EDIT_COPY));
    const auto rowOf = [&](const char* icao) {
        for (int r = 0; r < list->Model().rowCount(); ++r)
            if (list->Model().RowAt(r).texts[6] == icao)
                return r;
        return -1;
    };
    const auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                          table->visualRect(list->Model().index(row, 0)).center());
    };
    click(rowOf("EDDH"), Qt::NoModifier);
    click(rowOf("KJFK"), Qt::ControlModifier);
    EXPECT_TRUE(Enabled(ids::ID_EDIT_COPY));
    QApplication::clipboard()->clear();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines =
        QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << QApplication::clipboard()->text().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("STATION\tLAT\tLON\tELEV\tCY\tCD\tICAO\tIATA"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("HAMBURG\t53 38N\t")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\t40 38N\t")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("\tKJFK\tJFK")));
}
