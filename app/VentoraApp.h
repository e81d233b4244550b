#pragma once

#include "app/DocTemplate.h"
#include "platform/qt/Profile.h"
#include "platform/qt/QtUserServices.h"

#include <memory>
#include <string>
#include <vector>

class CMainFrame;

// The application: the two document templates, the main frame, the recent list, the About box.
class CVentoraApp {
public:
    struct Options {
        std::string serverUrl = {}; // empty: the profile's, or the default
        std::string screenshot = {};
        std::vector<std::string> open = {}; // ICAO codes to select after start-up
        bool ownServices = true; // false: messages go to services installed by the caller
        bool userFolder = false; // work in the per-user folder, seeded on first start
        // The map colours of this run (0-3, as "iMapColours"); below 0: the settings' choice.
        int mapColours = -1;
    };

    CVentoraApp();
    ~CVentoraApp();
    static CVentoraApp* Instance();

    // Start-up: the per-user folder when asked for, profile, templates (map, then list), main
    // frame shown. False ends the program.
    bool InitInstance(const Options& options);

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    // Ends the main frame (it writes the settings as it goes).
    void DestroyMainFrame();

    platform::RecentFileList& RecentFiles() { return m_recent; }
    void AddToRecentFileList(const std::string& entry);
    void OnOpenRecentFile(int index);
    void OnAppAbout();
    // Selects each station as a list row would: the first of the catalogue with the ICAO code.
    void OpenStations(const std::vector<std::string>& codes);

    platform::QtUserServices& UserServices() { return m_services; }

    DocTemplate* m_pMapTemplate = nullptr;
    DocTemplate* m_pListTemplate = nullptr;

private:
    platform::QtUserServices m_services;
    std::unique_ptr<platform::ScopedUserServices> m_installed;
    std::vector<std::unique_ptr<DocTemplate>> m_templates;
    std::unique_ptr<CMainFrame> m_mainFrame;
    platform::RecentFileList m_recent{40};
};
