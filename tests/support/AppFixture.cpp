#include "tests/support/AppFixture.h"

#include "app/ChildFrame.h"
#include "dialogs/FindDialog.h"
#include "mapview/VentoraView.h"
#include "platform/qt/Cp1252.h"
#include "stationlist/ListViewStations.h"
#include "tests/support/StationLine.h"
#include "views/WindowKinds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace testing_support {

AppFixture::AppFixture() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    // Program-wide values start as at program load.
    iNextWindowKind = KIND_STATION;
    m_nSortColumn = 0;
    m_bSortDescending = 0;
    m_strFindText.clear();
}

AppFixture::~AppFixture() {
    if (m_app)
        m_app->DestroyMainFrame();
    m_app.reset();
    Pump();
}

void AppFixture::Start(const std::string& stations, CVentoraApp::Options options) {
    if (!stations.empty())
        WriteFile("stations.txt", stations);
    options.ownServices = false;
    m_app = std::make_unique<CVentoraApp>();
    ASSERT_TRUE(m_app->InitInstance(options));
    // The start-up work runs once the window is on the screen.
    QElapsedTimer waited;
    waited.start();
    while (!m_app->MainFrame()->Started() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    Pump();
}

void AppFixture::Stop() {
    Frame().close();
    Pump();
    m_app->DestroyMainFrame();
}

void AppFixture::Pump(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < milliseconds);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<CChildFrame*> AppFixture::Windows() const {
    std::vector<CChildFrame*> windows;
    for (QMdiSubWindow* w : m_app->MainFrame()->MdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = dynamic_cast<CChildFrame*>(w))
            windows.push_back(child);
    return windows;
}

CChildFrame* AppFixture::Active() const {
    return dynamic_cast<CChildFrame*>(m_app->MainFrame()->MdiArea()->activeSubWindow());
}

std::vector<std::string> AppFixture::Titles() const {
    std::vector<std::string> titles;
    for (CChildFrame* w : Windows())
        titles.push_back(w->windowTitle().toStdString());
    return titles;
}

CVentoraView* AppFixture::MapView(CChildFrame* frame) const {
    return frame ? dynamic_cast<CVentoraView*>(frame->View()) : nullptr;
}

CListView_Stations* AppFixture::ListView(CChildFrame* frame) const {
    return frame ? dynamic_cast<CListView_Stations*>(frame->View()) : nullptr;
}

CChildFrame* AppFixture::WindowTitled(const std::string& title) const {
    for (CChildFrame* w : Windows())
        if (w->windowTitle().toStdString() == title)
            return w;
    return nullptr;
}

void AppFixture::WithModal(const std::function<void()>& action,
                           const std::function<void(QWidget*)>& interact) {
    bool done = false;
    std::function<void()> poll;
    poll = [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            interact(modal);
            done = true;
        } else {
            QTimer::singleShot(5, poll);
        }
    };
    QTimer::singleShot(0, poll);
    action();
    EXPECT_TRUE(done) << "no dialog came up";
}

std::string SampleStationList() {
    return "! test stations\n" +
           StationLine("  ", "BERLIN/TEGEL", "EDDT", "52 34N", "013 19E", "  37", "DE", "TXL") +
           "\n" + StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E", "  16", "DE", "HAM") +
           "\n" + StationLine("AB", "ALBERTA BEACH", "CXAB", "53 41N", "114 21W", " 700", "CA") +
           "\n" + StationLine("  ", "SYDNEY", "YSSY", "33 57S", "151 11E", "   3", "AU", "SYD") +
           "\n" + StationLine("MD", "CUMBERLAND (X)", "KCBE", "39 37N", "078 46W", " 236", "US") +
           "\n" +
           StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W", "   9", "US", "JFK") +
           "\n";
}

std::string AppFixture::PaneText(const char* name) const {
    const auto* pane =
        m_app->MainFrame()->statusBar()->findChild<QLabel*>(QString::fromLatin1(name));
    if (!pane)
        return {};
    return platform::ToCp1252(pane->toolTip().isEmpty() ? pane->text() : pane->toolTip());
}

} // namespace testing_support
