#include "app/VentoraApp.h"

#include "app/MainFrame.h"
#include "app/ProfileSettings.h"
#include "app/UserFolder.h"
#include "mapview/VentoraView.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/TemplateDialog.h"
#include "resources/CommandIds.h"
#include "resources/ResourceImages.h"
#include "resources/Resources.h"
#include "stationlist/ListViewStations.h"

#include <QCoreApplication>

namespace {
CVentoraApp* g_app = nullptr;
}

CVentoraApp::CVentoraApp() {
    g_app = this;
}

CVentoraApp::~CVentoraApp() {
    DestroyMainFrame();
    if (g_app == this)
        g_app = nullptr;
}

CVentoraApp* CVentoraApp::Instance() {
    return g_app;
}

bool CVentoraApp::InitInstance(const Options& options) {
    if (options.ownServices)
        m_installed = std::make_unique<platform::ScopedUserServices>(m_services);
    m_services.SetUnattended(!options.screenshot.empty());
    std::string folderMessage;
    if (options.userFolder) {
        const UserFolderResult folder = EnterUserFolder(UserFolderPath(), BundledStationLists());
        if (!folder.entered) {
            platform::MessageBox(folder.message, platform::MessageIcon::Error);
            return false;
        }
        folderMessage = folder.message; // said over the main window once it is there
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Korvessa"));
    QCoreApplication::setApplicationName(QStringLiteral("Ventora"));
    m_recent.Load();

    m_templates.push_back(
        std::make_unique<DocTemplate>(resources::Icon(ids::IDR_VENTORTYPE),
                                      [](CMainFrame& frame) { return new CVentoraView(frame); }));
    m_pMapTemplate = m_templates.back().get();
    m_templates.push_back(
        std::make_unique<DocTemplate>(resources::Icon(ids::IDR_LISTTYPE), [](CMainFrame& frame) {
            return new CListView_Stations(frame);
        }));
    m_pListTemplate = m_templates.back().get();

    m_mainFrame = std::make_unique<CMainFrame>();
    m_services.SetParentWindow(m_mainFrame.get());
    if (!folderMessage.empty())
        m_mainFrame->Tell(folderMessage);
    m_mainFrame->Catalogue().SetServerUrl(options.serverUrl.empty() ? ReadServerUrl()
                                                                    : options.serverUrl);
    if (options.mapColours >= 0 && options.mapColours < kMapColoursCount)
        m_mainFrame->SetMapColoursForRun(static_cast<MapColours>(options.mapColours));
    if (!m_mainFrame->Create())
        return false;
    m_mainFrame->show();
    return true;
}

void CVentoraApp::DestroyMainFrame() {
    if (!m_mainFrame)
        return;
    m_services.SetParentWindow(nullptr);
    m_mainFrame.reset();
    m_recent.Save();
}

void CVentoraApp::AddToRecentFileList(const std::string& entry) {
    m_recent.Add(entry);
    m_recent.Save();
}

void CVentoraApp::OnOpenRecentFile(int index) {
    const auto& entries = m_recent.Entries();
    if (index < 0 || index >= static_cast<int>(entries.size()) || !m_mainFrame)
        return;
    const std::string entry = entries[static_cast<std::size_t>(index)];
    m_pMapTemplate->OpenRecentEntry(*m_mainFrame, entry);
}

void CVentoraApp::OpenStations(const std::vector<std::string>& codes) {
    if (!m_mainFrame)
        return;
    for (const std::string& code : codes) {
        const std::string wanted = platform::ToLower(code);
        const StationRecord* found = nullptr;
        for (const StationRecord& s : m_mainFrame->StationsAll())
            if (platform::ToLower(s.strICAO) == wanted) {
                found = &s;
                break;
            }
        if (found)
            m_mainFrame->Catalogue().SelectStation(*found);
        else
            m_mainFrame->Tell(platform::Format("No station \"%s\" found in a list.",
                                               platform::Elide(wanted).c_str()));
    }
}

void CVentoraApp::OnAppAbout() {
    platform::TemplateDialog about(resources::Dialog(ids::IDD_ABOUTBOX), m_mainFrame.get());
    about.DoModal();
}
