#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/HelpWindow.h"
#include "app/LayoutFile.h"
#include "app/Settings.h"
#include "app/VentoraApp.h"
#include "app/VentoraDoc.h"
#include "platform/Abandon.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "resources/ResourceImages.h"
#include "views/ViewBase.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

using namespace ids;

CMainFrame::CMainFrame() {
    m_catalogue.SetHost(this);
    ReadSettings(m_currentStation);
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
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { OnSubWindowActivated(window); });

    // Each menu item has an action of its own (two items of one menu may share a command);
    // the first action of a command also serves the toolbar and the accelerators.
    for (const resources::Accelerator& a : resources::Accelerators()) {
        QAction* action = Action(a.id) ? Action(a.id) : NewAction(a.id, QString());
        action->setShortcut(QKeySequence(a.key));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (int menuId : {IDR_MAINFRAME, IDR_VENTORTYPE})
        for (const resources::MenuItem& popup : resources::Menu(menuId))
            m_menus[menuId].push_back(BuildMenu(popup));
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_MARK_ALL_STATIONS})
        for (QAction* action : m_actions[id])
            action->setCheckable(true);
    // Child windows as in any multiple-document program: Ctrl+F6 and Ctrl+Shift+F6 go to the
    // next and the previous (Ctrl+F4, which closes the active one, is the child window's own).
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

    m_wndToolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar128"));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setIconSize(QSize(16, 15));
    for (int id : resources::Toolbar()) {
        QAction* action = Action(id);
        action->setIcon(resources::ToolbarIcon(id));
        m_wndToolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    m_wndStatusBar = new QStatusBar(this);
    m_pane = new QLabel(QStringLiteral("Ready"), m_wndStatusBar);
    m_pane->setObjectName(QStringLiteral("pane0"));
    m_wndStatusBar->addWidget(m_pane, 1);
    m_serverNotice = new QLabel(m_wndStatusBar);
    m_serverNotice->setObjectName(QStringLiteral("serverNotice"));
    m_serverNotice->hide();
    m_wndStatusBar->addWidget(m_serverNotice);
    // The lock states are not reported on every platform; the indicators then stay unlit.
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(name), m_wndStatusBar);
        indicator->setEnabled(false);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(
            indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        m_wndStatusBar->addPermanentWidget(indicator);
    }
    setStatusBar(m_wndStatusBar);

    SwitchMenu(IDR_MAINFRAME);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    UpdateCommandUi();
    return m_mdiArea && m_wndToolBar && m_wndStatusBar;
}

QAction* CMainFrame::NewAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setStatusTip(platform::FromCp1252(resources::Prompt(id)));
    action->setToolTip(platform::FromCp1252(resources::Tooltip(id)));
    connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    m_actions[id].push_back(action);
    return action;
}

QMenu* CMainFrame::BuildMenu(const resources::MenuItem& popup) {
    auto* menu = new QMenu(platform::FromCp1252(popup.text), this);
    for (const resources::MenuItem& item : popup.popup) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        // An action of the command that this menu does not show yet, or a new one: a menu
        // shows an action only once.
        QAction* action = nullptr;
        for (QAction* candidate : m_actions[item.id])
            if (!menu->actions().contains(candidate) &&
                candidate->text() == platform::FromCp1252(item.text))
                action = candidate;
        if (!action)
            action = NewAction(item.id, platform::FromCp1252(item.text));
        menu->addAction(action);
    }
    if (popup.text == "&File")
        m_fileMenus.push_back(menu);
    const bool windowMenu = popup.text == "&Window";
    connect(menu, &QMenu::aboutToShow, this, [this, menu, windowMenu] {
        if (std::find(m_fileMenus.begin(), m_fileMenus.end(), menu) != m_fileMenus.end())
            FillRecentEntries(menu);
        if (windowMenu)
            FillWindowList(menu);
        UpdateCommandUi();
    });
    // A menu item's prompt lasts as long as its menu.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (m_wndStatusBar)
            m_wndStatusBar->clearMessage();
    });
    return menu;
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() || it->second.empty() ? nullptr : it->second.front();
}

std::vector<QAction*> CMainFrame::Actions(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? std::vector<QAction*>{} : it->second;
}

void CMainFrame::SwitchMenu(int id) {
    if (m_currentMenu == id)
        return;
    m_currentMenu = id;
    menuBar()->clear();
    for (QMenu* menu : m_menus[id])
        menuBar()->addMenu(menu);
}

void CMainFrame::FillRecentEntries(QMenu* file) {
    // The recent list stands in the File menu in place of its placeholder.
    for (QAction* action : m_recentActions) {
        for (QMenu* menu : m_fileMenus)
            menu->removeAction(action);
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
            QStringLiteral("&%1 %2").arg(i + 1).arg(platform::FromCp1252(entries[i])), this);
        action->setStatusTip(platform::FromCp1252(resources::Prompt(ID_FILE_MRU_FILE1)));
        const int index = static_cast<int>(i);
        connect(action, &QAction::triggered, this,
                [index] { CVentoraApp::Instance()->OnOpenRecentFile(index); });
        file->insertAction(before, action);
        m_recentActions.push_back(action);
    }
}

void CMainFrame::FillWindowList(QMenu* menu) {
    // Below the menu's items: the open child windows, numbered, the active one checked.
    for (QAction* action : m_windowListActions) {
        menu->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListActions.push_back(menu->addSeparator());
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    for (int i = 0; i < windows.size() && i < 9; ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == active);
        const QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        m_windowListActions.push_back(action);
    }
    if (windows.size() > 9) {
        QAction* more = menu->addAction(QStringLiteral("&More Windows..."));
        connect(more, &QAction::triggered, this, [this] { ChooseWindow(); });
        m_windowListActions.push_back(more);
    }
}

void CMainFrame::ChooseWindow() {
    // Every open window, by title, the active one selected; titles may repeat, so the row counts.
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("selectWindow"));
    dialog.setWindowTitle(QStringLiteral("Select Window"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    for (QMdiSubWindow* window : windows)
        list->addItem(window->windowTitle());
    list->setCurrentRow(std::max<int>(0, windows.indexOf(m_mdiArea->activeSubWindow())));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(new QLabel(QStringLiteral("Select &window:"), &dialog));
    layout->addWidget(list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int row = list->currentRow();
    if (row >= 0 && row < windows.size())
        m_mdiArea->setActiveSubWindow(windows[row]);
}

CViewBase* CMainFrame::ActiveView() const {
    QMdiSubWindow* active = m_mdiArea ? m_mdiArea->activeSubWindow() : nullptr;
    auto* child = dynamic_cast<CChildFrame*>(active);
    return child ? child->View() : nullptr;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    // Menu 129 while a map window is active, 128 with no window; a list leaves the bar as it is.
    if (!window || m_mdiArea->subWindowList().isEmpty()) {
        SwitchMenu(IDR_MAINFRAME);
    } else if (auto* child = dynamic_cast<CChildFrame*>(window)) {
        if (child->View() && child->View()->IsMapView())
            SwitchMenu(IDR_VENTORTYPE);
    }
    UpdateTitle();
    UpdateCommandUi();
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
    if (m_wndStatusBar)
        m_wndStatusBar->clearMessage(); // the prompt of the item that started the command
    platform::AbandonOnError([this, id] {
        CViewBase* view = ActiveView();
        if (!view || !view->OnCommand(id))
            OnCommand(id);
    });
    UpdateCommandUi();
}

void CMainFrame::UpdateCommandUi() {
    CViewBase* view = ActiveView();
    for (const auto& [id, actions] : m_actions) {
        std::optional<platform::CommandUi> state;
        if (view)
            state = view->OnUpdateCommand(id);
        if (!state)
            state = OnUpdateCommand(id);
        // Items without a handler in the active window or the frame are disabled.
        for (QAction* action : actions) {
            action->setEnabled(state && state->enabled);
            if (action->isCheckable())
                action->setChecked(state && state->checked);
        }
    }
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
        {ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(m_wndToolBar->isHidden()); },
         [this] {
             return CommandUi{true, m_wndToolBar && !m_wndToolBar->isHidden()};
         }},
        {ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(m_wndStatusBar->isHidden()); },
         [this] {
             return CommandUi{true, m_wndStatusBar && !m_wndStatusBar->isHidden()};
         }},
        {ID_VIEW_WORLD_MAP, [this] { OpenChildWindow(KIND_WORLD_MAP); }},
        {ID_WINDOW_CASCADE, [this] { Cascade(); }, anyWindow},
        {ID_WINDOW_TILE_HORZ, [this] { Tile(false); }, anyWindow},
        {ID_WINDOW_TILE_VERT, [this] { Tile(true); }, anyWindow},
        {ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); }, anyWindow},
        // The placeholder of an empty recent list.
        {ID_FILE_MRU_FILE1, [] {}, [] { return CommandUi{false}; }},
        {ID_HELP_FINDER, help},
        {ID_HELP, help},
        {ID_CONTEXT_HELP, help},
        {ID_DEFAULT_HELP, help},
    });
}

CVentoraDoc* CMainFrame::OpenChildWindow(std::int32_t kind) {
    iNextWindowKind = kind;
    CVentoraApp* app = CVentoraApp::Instance();
    DocTemplate* t = kind == KIND_RESULT_LIST || kind == KIND_ALL_STATIONS ? app->m_pListTemplate
                                                                           : app->m_pMapTemplate;
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
    return true;
}

void CMainFrame::AddToRecentFileList(const std::string& entry) {
    CVentoraApp::Instance()->AddToRecentFileList(entry);
}

void CMainFrame::SetStatusText(const std::string& text) {
    if (m_pane)
        m_pane->setText(platform::FromCp1252(text));
}

void CMainFrame::SetServerNotice(const std::string& text) {
    if (!m_serverNotice)
        return;
    m_serverNotice->setText(platform::FromCp1252(text));
    m_serverNotice->setVisible(!text.empty());
}

std::string CMainFrame::ServerNotice() const {
    return m_serverNotice ? platform::ToCp1252(m_serverNotice->text()) : std::string();
}

std::string CMainFrame::PaneText() const {
    return m_pane ? platform::ToCp1252(m_pane->text()) : std::string();
}

void CMainFrame::Tile(bool sideBySide) {
    // One column (side by side) or one row (one above the other) per window not minimised.
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList())
        if (!w->isMinimized())
            windows.push_back(w);
    if (windows.empty())
        return;
    const QSize area = m_mdiArea->viewport()->size();
    const int count = static_cast<int>(windows.size());
    const int step = (sideBySide ? area.width() : area.height()) / count;
    for (int i = 0; i < count; ++i) {
        windows[static_cast<std::size_t>(i)]->showNormal();
        windows[static_cast<std::size_t>(i)]->setGeometry(
            sideBySide ? QRect(i * step, 0, step, area.height())
                       : QRect(0, i * step, area.width(), step));
    }
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows in a row along the bottom edge.
    const QSize area = m_mdiArea->viewport()->size();
    int x = 0;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        w->move(x, area.height() - size.height());
        x += size.width();
    }
}

void CMainFrame::Cascade() {
    // Each window keeps its size and steps down the diagonal by a title bar's height; the
    // active window comes last, on top.
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (w->isMinimized())
            continue;
        if (w->isMaximized())
            w->showNormal();
        if (w != active)
            windows.push_back(w);
    }
    if (active && !active->isMinimized())
        windows.push_back(active);
    if (windows.empty())
        return;
    const QSize area = m_mdiArea->viewport()->size();
    const int step =
        std::max(8, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()));
    int offset = 0;
    for (QMdiSubWindow* w : windows) {
        QSize size = w->size();
        if (size.width() < 100 || size.height() < 60) {
            // A window squeezed to a stub gets back the size of its kind.
            const auto* child = dynamic_cast<CChildFrame*>(w);
            const QSize kindSize =
                child && child->View() ? ChildFrameSize(child->View()->Kind()) : QSize();
            size = kindSize.isValid() ? kindSize : QSize(500, 330);
        }
        // Start again at the top left before a title bar would leave the visible area.
        if (offset > 0 && (offset + 2 * step > area.height() || offset + 100 > area.width()))
            offset = 0;
        w->setGeometry(offset, offset, size.width(), size.height());
        w->raise();
        offset += step;
    }
    if (active)
        m_mdiArea->setActiveSubWindow(active);
}

void CMainFrame::ShowHelp() {
    HelpWindow::Show(this);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    platform::AbandonOnError([this] { RestoreLayout(*this); });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A layout that cannot be written is reported, and closing goes on: a folder that cannot
    // be written to must not keep the program from ending.
    platform::AbandonOnError([this] { SaveLayout(*this); });
    m_mdiArea->closeAllSubWindows();
    event->accept();
}
