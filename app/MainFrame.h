#pragma once

#include "app/ConditionsFeed.h"
#include "app/FrameCommands.h"
#include "app/LayoutEntry.h"
#include "app/StatusPanes.h"
#include "catalogue/CurrentConditions.h"
#include "catalogue/StationCatalogue.h"
#include "observations/PageFetcher.h"
#include "platform/UserServices.h"
#include "platform/qt/CommandTarget.h"
#include "resources/Resources.h"
#include "store/ObservationStore.h"
#include "views/WindowHost.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CViewBase;
class CVentoraDoc;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class WindowList;

// The program's single top-level window: child-window area, menus, toolbar and status bar; the
// user's settings; the station catalogue and its tables. Its data are its own: the child
// windows reach what they need through WindowHost.
class CMainFrame : public QMainWindow, public WindowHost, public platform::CommandTarget {
public:
    // Reads the settings and loads the station list of the working folder.
    CMainFrame();
    // Writes the settings.
    ~CMainFrame() override;

    // Toolbar, status bar and menus; centres the window. False when a part cannot be made.
    bool Create();

    // WindowHost
    void SetStatusText(const std::string& text) override;
    void SetServerNotice(const std::string& text) override;
    StationTable& StationsResult() override { return m_stationsResult; }
    StationTable& StationsOpened() override { return m_stationsOpened; }
    bool OpenResultList(const std::string& title) override;
    bool OpenStationWindow(const std::string& title) override;
    void AddToRecentFileList(const std::string& entry) override;
    // What the user asked for is answered in a message box; a refresh tick's trouble stays in
    // the status bar and its window.
    void Report(const CatalogueNotice& notice) override;
    StationTable& StationsAll() override { return m_stationsAll; }
    StationTable& StationsZoom() override { return m_stationsZoom; }
    MapRegion& ZoomRegion() override { return m_zoomRegion; }
    StationRecord& CurrentStation() override { return m_currentStation; }
    StationCatalogue& Catalogue() override { return m_catalogue; }
    bool OpenWindow(std::int32_t kind, const std::string& title) override;
    const CurrentConditions& Conditions() const override { return m_conditions; }
    MapColours MapColourMode() const override;
    void RefreshConditions() override;
    void RegisterLayoutEntry(std::int32_t kind, const StationRecord& station,
                             const void* view) override;
    // The store of the working folder, while it can be used; opened on the first call.
    ObservationStore* Store() override;
    // Every page read goes into the store.
    void ObservationsRead(const StationRecord& station, const ObservationSeries& rows) override;
    bool HasStoredObservations(const std::string& icao) override;
    // Removes what is older than the days to keep; when the store opens and once a day.
    void PruneStore();

    // Shows a message over the main window; before the window is on the screen, once it is.
    void Tell(const std::string& text,
              platform::MessageIcon icon = platform::MessageIcon::Exclamation);
    // Runs `work` once the start-up is done (the window on the screen, the layout restored and
    // the messages of the start shown), at once when it is.
    void WhenStarted(std::function<void()> work);
    bool Started() const { return m_started; }

    PageFetcher& Fetcher() { return m_fetcher; }

    // View > Map Colours: the mode is kept in the settings ("iMapColours"); switched on, the
    // table of current conditions is fetched at once and then every five minutes.
    void SetMapColours(MapColours mode);
    // A mode for this run only (--map-colours), which the settings do not keep.
    void SetMapColoursForRun(MapColours mode) { m_mapColoursForRun = mode; }
    // Runs `work` once the table of current conditions has arrived or failed: at once when no
    // colour mode is on or a table is at hand.
    void WhenConditionsSettled(std::function<void()> work);
    ConditionsFeed& Feed() { return *m_feed; }
    const std::vector<LayoutEntry>& LayoutEntries() const { return m_arrLayoutEntries; }
    // The layout restore runs once per run.
    bool TakeLayoutRestore() { return !std::exchange(m_bLayoutRestored, true); }

    // Runs a command: the active view first, then the frame.
    void RouteCommand(int id);
    // Brings menu items and toolbar buttons up to date with the active window.
    void UpdateCommandUi();
    // The first action of a command (the toolbar's and the accelerators'), and all of them.
    QAction* Action(int id) const { return m_commands.Action(id); }
    std::vector<QAction*> Actions(int id) const { return m_commands.Actions(id); }
    // The title of a child window or its state changed.
    void OnChildFrameChanged(QMdiSubWindow* window);
    void OnReportServer();

    // Sets iNextWindowKind, opens a child window of the kind through its template and sets the
    // kind back to KIND_STATION; none when the window could not be created.
    CVentoraDoc* OpenChildWindow(std::int32_t kind);
    // The document of the window opened last (by any opener).
    CVentoraDoc* LastOpenedDocument() const { return m_lastOpened; }
    // Station windows of the layout that were not reopened because the report server did not
    // answer; written to the layout again until the station's window opens.
    void KeepUnrestoredStation(const LayoutEntry& entry) { m_unrestored.push_back(entry); }
    const std::vector<LayoutEntry>& UnrestoredStations() const { return m_unrestored; }
    QMdiArea* MdiArea() const { return m_mdiArea; }
    CViewBase* ActiveView() const;
    QToolBar* ToolBar() const { return m_commands.ToolBar(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrameCommands m_commands{*this, [this](int id) { RouteCommand(id); }};
    bool m_bLayoutRestored = false;
    PageFetcher m_fetcher;
    StationRecord m_currentStation;
    StationCatalogue m_catalogue{m_fetcher, m_currentStation, m_stationsAll};
    std::unique_ptr<StatusPanes> m_status;
    std::vector<LayoutEntry> m_arrLayoutEntries;
    StationTable m_stationsOpened;
    StationTable m_stationsResult;
    StationTable m_stationsZoom;
    MapRegion m_zoomRegion;
    StationTable m_stationsAll;

    void DeclareCommands();
    void UpdateTitle();
    // What the store has to tell (a file set aside, a file it cannot use), once each.
    void TellStoreNotices();
    void TellStoreNotices(const std::vector<StoreNotice>& notices);
    // File > Export Observations...: the active meteogram's station, or one the user names.
    void OnExportObservations();
    // The report age of the active window; none for windows without one.
    void UpdateViewStatus();
    void FillRecentEntries(QMenu* file);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ShowHelp();
    // The start-up work: the messages that waited, the layout restore, what waits for them.
    void FinishStart();

    QMdiArea* m_mdiArea = nullptr;
    WindowList* m_windowList = nullptr;
    std::vector<QAction*> m_recentActions;
    bool m_shown = false;
    bool m_started = false;
    std::vector<std::pair<std::string, platform::MessageIcon>> m_pendingMessages;
    std::vector<std::function<void()>> m_whenStarted;
    CVentoraDoc* m_lastOpened = nullptr;
    std::vector<LayoutEntry> m_unrestored;
    std::filesystem::path m_storeFolder; // the working folder at start
    std::unique_ptr<ObservationStore> m_store;

    CurrentConditions m_conditions;
    std::optional<MapColours> m_mapColoursForRun;
    std::vector<std::function<void()>> m_whenConditions;
    void OnConditions(ConditionsOutcome outcome);
    void RepaintMaps();
    // Last: it stops its worker before what the worker's outcome reaches goes.
    std::unique_ptr<ConditionsFeed> m_feed;
};
