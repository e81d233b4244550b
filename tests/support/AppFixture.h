#pragma once

#include "app/MainFrame.h"
#include "app/VentoraApp.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestPaths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

class CChildFrame;
class CListView_Stations;
class CVentoraView;

namespace testing_support {

// The whole program on the offscreen platform, in a fresh working folder with its own station
// list and a profile of its own; messages are recorded instead of shown.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    // Writes stations.txt (unless `stations` is empty) and starts the program.
    void Start(const std::string& stations, CVentoraApp::Options options = {});
    void Stop(); // closes the main window as a user would, then ends the program

    CMainFrame& Frame() { return *m_app->MainFrame(); }
    CVentoraApp& App() { return *m_app; }
    std::vector<CChildFrame*> Windows() const;
    CChildFrame* Active() const;
    std::vector<std::string> Titles() const;
    CVentoraView* MapView(CChildFrame* frame) const;
    CListView_Stations* ListView(CChildFrame* frame) const;
    CChildFrame* WindowTitled(const std::string& title) const;
    // A pane of the status bar as its user reads it: the whole text, which the tip holds where
    // the pane cuts it. The information line, the server's notice, the newest report's age.
    std::string PaneText(const char* pane = "pane0") const;
    std::string ServerNotice() const { return PaneText("serverNotice"); }
    std::string ReportAge() const { return PaneText("reportAge"); }

    // Runs `action`, which opens a modal dialog, and `interact` on the dialog once it is up.
    static void WithModal(const std::function<void()>& action,
                          const std::function<void(QWidget*)>& interact);
    static void Pump(int milliseconds = 0);

    ScopedWorkingFolder m_folder;
    QTemporaryDir m_profile;
    MessageRecorder m_recorder;
    std::unique_ptr<CVentoraApp> m_app;
};

// A station list of a few real stations, in list order: Berlin, Hamburg, Alberta Beach,
// Sydney, Cumberland (X) and New York JFK.
std::string SampleStationList();

} // namespace testing_support
