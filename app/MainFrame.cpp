#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/ExportObservations.h"
#include "app/HelpWindow.h"
#include "app/LayoutFile.h"
#include "app/ProfileSettings.h"
#include "app/VentoraApp.h"
#include "app/VentoraDoc.h"
#include "app/WindowArrangement.h"
#include "dialogs/ReportServerDialog.h"
#include "mapview/MeteogramPane.h"
#include "mapview/VentoraView.h"
#include "observations/ReportProtocol.h"
#include "platform/Abandon.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "resources/ResourceImages.h"
#include "store/Utf8Text.h"
#include "views/ViewBase.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <filesystem>

using namespace ids;

CMainFrame::CMainFrame() {
    m_catalogue.SetHost(this);
    m_feed = std::make_unique<ConditionsFeed>(
        nullptr,
        [this] {
            const int hours = protocol::kDefaultLatestHours;
            return m_catalogue.ServerUrl() + std::string(protocol::kLatestPath) + "?" +
                   std::string(protocol::kLatestHoursKey) + "=" + std::to_string(hours);
        },
        [this] {
            std::unordered_set<std::string> codes;
            codes.reserve(static_cast<std::size_t>(m_stationsAll.GetSize()));
            for (const StationRecord& s : m_stationsAll)
                if (!s.strICAO.empty())
                    codes.insert(s.strICAO);
            return codes;
        },
        [this](ConditionsOutcome outcome) { OnConditions(std::move(outcome)); });
    ReadSettings(m_currentStation);
    std::error_code error;
    m_storeFolder = std::filesystem::current_path(error);
    if (error)
        m_storeFolder = ".";
    m_stationsOpened.RemoveAll();
    m_stationsResult.RemoveAll();
    m_stationsAll.RemoveAll();
    {
        platform::WaitCursor wait;
        m_catalogue.LoadStationList(StationCatalogue::Source::LocalFile);
    }
    iNextWindowKind = KIND_WORLD_MAP;
}

CMainFrame::~CMainFrame() {
    m_feed.reset(); // no outcome arrives while the frame goes
    // The window is going: activation, title and state changes of its children no longer
    // reach it.
    if (m_mdiArea) {
        m_mdiArea->disconnect(this);
        for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
            window->disconnect(this);
            if (auto* child = dynamic_cast<CChildFrame*>(window))
                child->SetChangeHandler({});
        }
    }
    // Child windows end first, each with its own close work.
    if (m_mdiArea)
        for (QMdiSubWindow* window : m_mdiArea->subWindowList())
            if (auto* child = dynamic_cast<CChildFrame*>(window))
                child->Finish();
    m_arrLayoutEntries.clear();
    m_stationsOpened.RemoveAll();
    m_stationsResult.RemoveAll();
    m_stationsZoom.RemoveAll();
    m_stationsAll.RemoveAll();
    WriteSettings(m_currentStation);
}

bool CMainFrame::Create() {
    DeclareCommands();
    setWindowTitle(QStringLiteral("Ventora"));
    setWindowIcon(resources::Icon(IDR_MAINFRAME));
    resize(800, 800);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A window that closes hands the focus back to the one active before it.
    m_mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { OnSubWindowActivated(window); });
    m_windowList = new WindowList(*m_mdiArea, *this);

    m_commands.SetMenuHooks({
        [this](QMenu* file) { FillRecentEntries(file); },
        [this](QMenu* window) { m_windowList->Fill(window); },
        [this] { UpdateCommandUi(); },
        [this] {
            if (m_status)
                m_status->Bar()->clearMessage(); // a menu item's prompt lasts as long as its menu
        },
    });
    m_commands.Build();
    // Child windows as in any multiple-document program: Ctrl+F6 and Ctrl+Shift+F6 go to the
    // next and the previous.
    const struct {
        QKeySequence key;
        std::function<void()> run;
    } windowKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_F6), [this] { m_mdiArea->activateNextSubWindow(); }},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
         [this] { m_mdiArea->activatePreviousSubWindow(); }},
    };
    for (const auto& k : windowKeys) {
        auto* action = new QAction(this);
        action->setShortcut(k.key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, k.run);
        addAction(action);
    }

    m_status = std::make_unique<StatusPanes>(*this);
    auto* daily = new QTimer(this);
    connect(daily, &QTimer::timeout, this, [this] { PruneStore(); });
    daily->start(24 * 3600 * 1000);
    // The report age of the active meteogram keeps up with the clock.
    auto* statusClock = new QTimer(this);
    connect(statusClock, &QTimer::timeout, this, [this] { UpdateViewStatus(); });
    statusClock->start(30000);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    UpdateCommandUi();
    return m_mdiArea && ToolBar() && m_status;
}

void CMainFrame::FillRecentEntries(QMenu* file) {
    // The recent list stands in the File menu in place of its placeholder.
    for (QAction* action : m_recentActions) {
        for (QObject* holder : action->associatedObjects())
            if (auto* widget = qobject_cast<QWidget*>(holder))
                widget->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    QAction* placeholder = Action(ID_FILE_MRU_FILE1);
    const auto& entries = CVentoraApp::Instance()->RecentFiles().Entries();
    placeholder->setVisible(entries.empty());
    QAction* before = nullptr;
    const QList<QAction*> actions = file->actions();
    for (int i = 0; i < actions.size(); ++i)
        if (actions[i] == placeholder && i + 1 < actions.size())
            before = actions[i + 1];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(platform::FromCp1252(entries[i])), file);
        action->setStatusTip(platform::FromCp1252(resources::Prompt(ID_FILE_MRU_FILE1)));
        const int index = static_cast<int>(i);
        connect(action, &QAction::triggered, this,
                [index] { CVentoraApp::Instance()->OnOpenRecentFile(index); });
        file->insertAction(before, action);
        m_recentActions.push_back(action);
    }
}

CViewBase* CMainFrame::ActiveView() const {
    QMdiSubWindow* active = m_mdiArea ? m_mdiArea->activeSubWindow() : nullptr;
    auto* child = dynamic_cast<CChildFrame*>(active);
    return child ? child->View() : nullptr;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    // Menu 129 while a map window is active, 128 with no window; a list leaves the bar as it is.
    if (!window || m_mdiArea->subWindowList().isEmpty()) {
        m_commands.SwitchMenu(IDR_MAINFRAME);
    } else if (auto* child = dynamic_cast<CChildFrame*>(window)) {
        if (child->View() && child->View()->IsMapView())
            m_commands.SwitchMenu(IDR_VENTORTYPE);
    }
    UpdateTitle();
    UpdateCommandUi();
    UpdateViewStatus();
}

void CMainFrame::UpdateViewStatus() {
    const CViewBase* view = ActiveView();
    if (m_status)
        m_status->SetReportAge(view ? view->StatusText() : std::string());
}

void CMainFrame::UpdateTitle() {
    // "Ventora - " and the active child's title, in every state of the child (its title is
    // often set after it became active, and a maximised child must not add its own again).
    QMdiSubWindow* active = m_mdiArea ? m_mdiArea->activeSubWindow() : nullptr;
    const QString title =
        active ? QStringLiteral("Ventora - ") + active->windowTitle() : QStringLiteral("Ventora");
    if (windowTitle() != title)
        setWindowTitle(title);
}

void CMainFrame::OnChildFrameChanged(QMdiSubWindow* window) {
    if (window == (m_mdiArea ? m_mdiArea->activeSubWindow() : nullptr))
        UpdateTitle();
}

void CMainFrame::RouteCommand(int id) {
    if (m_status)
        m_status->Bar()->clearMessage(); // the prompt of the item that started the command
    platform::AbandonOnError([this, id] {
        CViewBase* view = ActiveView();
        if (!view || !view->OnCommand(id))
            OnCommand(id);
    });
    UpdateCommandUi();
    UpdateViewStatus();
}

void CMainFrame::UpdateCommandUi() {
    CViewBase* view = ActiveView();
    m_commands.Update([this, view](int id) {
        std::optional<platform::CommandUi> state;
        if (view)
            state = view->OnUpdateCommand(id);
        return state ? state : OnUpdateCommand(id);
    });
}

void CMainFrame::DeclareCommands() {
    using platform::CommandUi;
    const auto anyWindow = [this] {
        return CommandUi{m_mdiArea && !m_mdiArea->subWindowList().isEmpty()};
    };
    const auto help = [this] { ShowHelp(); };
    SetCommands({
        {ID_FILE_CLOSE,
         [this] {
             if (QMdiSubWindow* window = m_mdiArea->activeSubWindow())
                 window->close();
         },
         [this] { return CommandUi{m_mdiArea && m_mdiArea->activeSubWindow()}; }},
        {ID_APP_EXIT, [this] { close(); }},
        {ID_APP_ABOUT, [] { CVentoraApp::Instance()->OnAppAbout(); }},
        {ID_VIEW_TOOLBAR, [this] { ToolBar()->setVisible(ToolBar()->isHidden()); },
         [this] {
             return CommandUi{true, ToolBar() && !ToolBar()->isHidden()};
         }},
        {ID_VIEW_STATUS_BAR, [this] { m_status->Bar()->setVisible(m_status->Bar()->isHidden()); },
         [this] {
             return CommandUi{true, m_status && !m_status->Bar()->isHidden()};
         }},
        {ID_VIEW_WORLD_MAP, [this] { OpenChildWindow(KIND_WORLD_MAP); }},
        {ID_FILE_EXPORT_OBSERVATIONS, [this] { OnExportObservations(); },
         [this] { return CommandUi{!m_store || m_store->Available()}; }},
        {ID_VIEW_MAP_COLOURS_STATIONS, [this] { SetMapColours(MapColours::Stations); },
         [this] {
             return CommandUi{true, MapColourMode() == MapColours::Stations};
         }},
        {ID_VIEW_MAP_COLOURS_CATEGORY, [this] { SetMapColours(MapColours::Category); },
         [this] {
             return CommandUi{true, MapColourMode() == MapColours::Category};
         }},
        {ID_VIEW_MAP_COLOURS_TEMPERATURE, [this] { SetMapColours(MapColours::Temperature); },
         [this] {
             return CommandUi{true, MapColourMode() == MapColours::Temperature};
         }},
        {ID_VIEW_MAP_COLOURS_WIND, [this] { SetMapColours(MapColours::Wind); },
         [this] {
             return CommandUi{true, MapColourMode() == MapColours::Wind};
         }},
        {ID_WINDOW_CASCADE,
         [this] {
             arrangement::Cascade(*m_mdiArea, [](QMdiSubWindow* w) {
                 const auto* child = dynamic_cast<CChildFrame*>(w);
                 if (!child || !child->View())
                     return QSize();
                 const WindowKindTraits& traits = KindTraits(child->View()->Kind());
                 return QSize(traits.width, traits.height);
             });
         },
         anyWindow},
        {ID_WINDOW_TILE_HORZ, [this] { arrangement::Tile(*m_mdiArea, false); }, anyWindow},
        {ID_WINDOW_TILE_VERT, [this] { arrangement::Tile(*m_mdiArea, true); }, anyWindow},
        {ID_WINDOW_ARRANGE, [this] { arrangement::ArrangeIcons(*m_mdiArea); }, anyWindow},
        {ID_VIEW_REPORT_SERVER, [this] { OnReportServer(); }},
        // The placeholder of an empty recent list.
        {ID_FILE_MRU_FILE1, [] {}, [] { return CommandUi{false}; }},
        {ID_HELP_FINDER, help},
        {ID_HELP, help},
        {ID_CONTEXT_HELP, help},
        {ID_DEFAULT_HELP, help},
    });
}

void CMainFrame::OnReportServer() {
    ReportServerDialog dialog(m_catalogue.ServerUrl(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.Address() == m_catalogue.ServerUrl())
        return;
    m_catalogue.SetServerUrl(dialog.Address());
    WriteServerUrl(dialog.Address());
    SetStatusText("Reports now come from the report server " + dialog.Address() + ".");
    // The map's colours come from the new server too.
    RefreshConditions();
}

CVentoraDoc* CMainFrame::OpenChildWindow(std::int32_t kind) {
    iNextWindowKind = kind;
    CVentoraApp* app = CVentoraApp::Instance();
    DocTemplate* t = KindTraits(kind).list ? app->m_pListTemplate : app->m_pMapTemplate;
    CVentoraDoc* doc = t ? t->OpenDocumentFile(*this) : nullptr;
    iNextWindowKind = KIND_STATION;
    m_lastOpened = doc;
    return doc;
}

bool CMainFrame::OpenWindow(std::int32_t kind, const std::string& title) {
    CVentoraDoc* doc = OpenChildWindow(kind);
    if (kind == KIND_ZOOM_MAP)
        iNextWindowKind = KIND_ZOOM_MAP; // unlike the other openers, the zoom opener leaves it
    if (doc)
        doc->SetTitle(title);
    return doc != nullptr;
}

void CMainFrame::RegisterLayoutEntry(std::int32_t kind, const StationRecord& station,
                                     const void* view) {
    m_arrLayoutEntries.push_back(MakeLayoutEntry(kind, station, view));
}

ObservationStore* CMainFrame::Store() {
    // Opened on first use: a start that shows maps only has no need of it.
    if (!m_store) {
        // Opening prunes what is older than the days to keep.
        platform::WaitCursor wait;
        m_store = std::make_unique<ObservationStore>(m_storeFolder, m_currentStation.iKeepDays);
        // What opening found is told once the caller's work is done, not in its middle (a
        // search, a layout being restored).
        QTimer::singleShot(0, this,
                           [this, found = m_store->TakeNotices()] { TellStoreNotices(found); });
    }
    return m_store->Available() ? m_store.get() : nullptr;
}

void CMainFrame::ObservationsRead(const StationRecord& station, const ObservationSeries& rows) {
    if (ObservationStore* store = Store()) {
        store->SaveSeries(station.strICAO, rows);
        TellStoreNotices();
    }
}

bool CMainFrame::HasStoredObservations(const std::string& icao) {
    ObservationStore* store = Store();
    const bool stored = store && store->Newest(icao).has_value();
    TellStoreNotices();
    return stored;
}

void CMainFrame::PruneStore() {
    // A store not opened yet is pruned when it opens.
    if (!m_store)
        return;
    if (ObservationStore* store = Store()) {
        platform::WaitCursor wait;
        store->SetKeepDays(m_currentStation.iKeepDays);
        store->Prune();
    }
    TellStoreNotices();
}

void CMainFrame::OnExportObservations() {
    ObservationStore* store = Store();
    if (!store)
        return;
    // In a meteogram window its station and the period it shows; elsewhere the user chooses.
    std::string icao;
    std::int64_t to = platform::CurrentTime();
    std::int64_t from = to - 7 * 86400;
    if (auto* view = dynamic_cast<CVentoraView*>(ActiveView()))
        if (const MeteogramPane* meteogram = view->PaneAs<MeteogramPane>()) {
            icao = meteogram->Station().strICAO;
            const ObservationSeries& series = meteogram->Series();
            if (series.GetSize() > 0) {
                to = ObservedInstant(series.At(0));
                from = ObservedInstant(series.At(series.GetSize() - 1));
            }
        }
    ExportObservationsDialog dialog(this, store->Stations(), icao, from, to);
    TellStoreNotices();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int rows = ExportObservations(*store, dialog.Station(), dialog.From(), dialog.To(),
                                        dialog.ChosenFormat(), dialog.Path(), this);
    if (rows >= 0)
        SetStatusText(platform::Format("%d observations of %s written to \"%s\".", rows,
                                       dialog.Station().c_str(),
                                       platform::ToCp1252(dialog.Path()).c_str()));
    TellStoreNotices();
}

void CMainFrame::TellStoreNotices() {
    if (m_store)
        TellStoreNotices(m_store->TakeNotices());
}

void CMainFrame::TellStoreNotices(const std::vector<StoreNotice>& notices) {
    for (const StoreNotice& notice : notices) {
        const std::string file = platform::ToCp1252(QString::fromStdString(notice.file.string()));
        const std::string reason = Cp1252FromUtf8(notice.reason);
        if (notice.kind == StoreNotice::Kind::SetAside)
            Tell(platform::Format(
                "The observation store \"%s\" could not be used (%s). It was renamed to \"%s\" "
                "and a new, empty store started.",
                file.c_str(), reason.c_str(),
                platform::ToCp1252(QString::fromStdString(notice.setAside.string())).c_str()));
        else
            Tell(platform::Format("The observation store \"%s\" cannot be used (%s). Ventora "
                                  "goes on without it: what it retrieves now is not kept.",
                                  file.c_str(), reason.c_str()));
    }
}

bool CMainFrame::OpenResultList(const std::string& title) {
    CVentoraDoc* doc = OpenChildWindow(KIND_RESULT_LIST);
    if (doc)
        doc->SetTitle(title);
    return doc != nullptr;
}

bool CMainFrame::OpenStationWindow(const std::string& title) {
    CVentoraDoc* doc = OpenChildWindow(KIND_STATION);
    if (!doc)
        return false;
    doc->SetTitle(title);
    // The station is open again: its kept layout entry has done its work.
    const auto kept =
        std::find_if(m_unrestored.begin(), m_unrestored.end(), [this](const LayoutEntry& e) {
            return FieldText(e.szIcao) == m_currentStation.strICAO;
        });
    if (kept != m_unrestored.end())
        m_unrestored.erase(kept);
    UpdateViewStatus();
    return true;
}

void CMainFrame::AddToRecentFileList(const std::string& entry) {
    CVentoraApp::Instance()->AddToRecentFileList(entry);
}

void CMainFrame::SetStatusText(const std::string& text) {
    if (m_status)
        m_status->SetText(text);
}

void CMainFrame::SetServerNotice(const std::string& text) {
    if (m_status)
        m_status->SetServerNotice(text);
}

void CMainFrame::ShowHelp() {
    HelpWindow::Show(this);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised child window that closes puts back the title the main window had when it was
    // maximised; the title always names the window active now.
    if (event->type() == QEvent::WindowTitleChange) {
        UpdateTitle();
        // Once more when the closing window has gone.
        QMetaObject::invokeMethod(
            this, [this] { UpdateTitle(); }, Qt::QueuedConnection);
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The start-up work waits until the window is on the screen, so that its messages stand over
    // it; a window that never shows (started minimised, say) waits no longer than a second.
    if (windowHandle())
        windowHandle()->installEventFilter(this);
    QTimer::singleShot(1000, this, [this] { FinishStart(); });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && !m_started &&
        windowHandle()->isExposed())
        QMetaObject::invokeMethod(
            this, [this] { FinishStart(); }, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::FinishStart() {
    if (m_started)
        return;
    m_started = true;
    if (windowHandle())
        windowHandle()->removeEventFilter(this);
    for (const auto& [text, icon] : std::exchange(m_pendingMessages, {}))
        platform::MessageBox(text, icon);
    platform::AbandonOnError([this] { RestoreLayout(*this); });
    // The colours chosen last come with the first table.
    if (MapColourMode() != MapColours::Stations)
        m_feed->SetActive(true);
    for (const auto& work : std::exchange(m_whenStarted, {}))
        work();
}

MapColours CMainFrame::MapColourMode() const {
    if (m_mapColoursForRun)
        return *m_mapColoursForRun;
    const int mode = m_currentStation.iMapColours;
    return mode > 0 && mode < kMapColoursCount ? static_cast<MapColours>(mode)
                                               : MapColours::Stations;
}

void CMainFrame::SetMapColours(MapColours mode) {
    m_mapColoursForRun.reset();
    m_currentStation.iMapColours = static_cast<std::int32_t>(mode);
    const bool on = mode != MapColours::Stations;
    m_feed->SetActive(on && m_started);
    if (!on) {
        for (const auto& work : std::exchange(m_whenConditions, {}))
            work();
    }
    RepaintMaps();
}

void CMainFrame::RefreshConditions() {
    if (MapColourMode() != MapColours::Stations)
        m_feed->FetchNow();
}

void CMainFrame::WhenConditionsSettled(std::function<void()> work) {
    if (MapColourMode() == MapColours::Stations ||
        (!m_feed->Busy() && (m_conditions.HasTable() || m_conditions.FailingSince() != 0)))
        work();
    else
        m_whenConditions.push_back(std::move(work));
}

void CMainFrame::OnConditions(ConditionsOutcome outcome) {
    const std::string what = "the map's current conditions";
    if (outcome.table) {
        m_conditions.Take(std::move(*outcome.table), outcome.fetchedAt);
        m_catalogue.NoteRefresh(what, {}, outcome.simulated);
        SetStatusText(m_conditions.StatusText());
    } else {
        // The colours of the last table stay; the legend tells their age.
        if (m_conditions.FailingSince() == 0)
            m_conditions.NoteFailure(outcome.fetchedAt);
        m_catalogue.NoteRefresh(what, outcome.failure, false);
    }
    RepaintMaps();
    for (const auto& work : std::exchange(m_whenConditions, {}))
        work();
}

void CMainFrame::RepaintMaps() {
    if (!m_mdiArea)
        return;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        if (auto* child = dynamic_cast<CChildFrame*>(window))
            if (child->View() && child->View()->IsMapView())
                child->View()->update();
}

void CMainFrame::WhenStarted(std::function<void()> work) {
    if (m_started)
        work();
    else
        m_whenStarted.push_back(std::move(work));
}

void CMainFrame::Tell(const std::string& text, platform::MessageIcon icon) {
    if (m_started)
        platform::MessageBox(text, icon);
    else
        m_pendingMessages.emplace_back(text, icon);
}

void CMainFrame::Report(const CatalogueNotice& notice) {
    if (notice.asked)
        Tell(notice.text);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A layout that cannot be written is reported, and closing goes on: a folder that cannot
    // be written to must not keep the program from ending.
    platform::AbandonOnError([this] { SaveLayout(*this); });
    m_mdiArea->closeAllSubWindows();
    event->accept();
}
