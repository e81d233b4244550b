#include "app/FrameCommands.h"

#include "platform/qt/Cp1252.h"
#include "resources/CommandIds.h"
#include "resources/ResourceImages.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

using namespace ids;

FrameCommands::FrameCommands(QMainWindow& frame, Runner run)
    : m_frame(frame), m_run(std::move(run)) {}

void FrameCommands::Build() {
    for (const resources::Accelerator& a : resources::Accelerators()) {
        QAction* action = Action(a.id) ? Action(a.id) : NewAction(a.id, QString());
        // A command may have more than one key (Ctrl+F4 and Ctrl+W close a window).
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(QKeySequence(a.key));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        m_frame.addAction(action);
    }
    for (int menuId : {IDR_MAINFRAME, IDR_VENTORTYPE})
        for (const resources::MenuItem& popup : resources::Menu(menuId))
            m_menus[menuId].push_back(BuildMenu(popup));
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_MARK_ALL_STATIONS})
        for (QAction* action : m_actions[id])
            action->setCheckable(true);

    m_toolBar = new QToolBar(QStringLiteral("Standard"), &m_frame);
    m_toolBar->setObjectName(QStringLiteral("toolbar128"));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setIconSize(QSize(16, 15));
    for (int id : resources::Toolbar()) {
        QAction* action = Action(id) ? Action(id) : NewAction(id, QString());
        const QIcon icon = resources::ToolbarIcon(id);
        action->setIcon(
            !icon.isNull() ? icon : QApplication::style()->standardIcon(QStyle::SP_BrowserReload));
        m_toolBar->addAction(action);
    }
    m_frame.addToolBar(Qt::TopToolBarArea, m_toolBar);
    SwitchMenu(IDR_MAINFRAME);
}

QAction* FrameCommands::NewAction(int id, const QString& text) {
    auto* action = new QAction(text, &m_frame);
    action->setStatusTip(platform::FromCp1252(resources::Prompt(id)));
    action->setToolTip(platform::FromCp1252(resources::Tooltip(id)));
    QObject::connect(action, &QAction::triggered, &m_frame, [this, id] { m_run(id); });
    m_actions[id].push_back(action);
    return action;
}

QMenu* FrameCommands::BuildMenu(const resources::MenuItem& popup) {
    auto* menu = new QMenu(platform::FromCp1252(popup.text), &m_frame);
    for (const resources::MenuItem& item : popup.popup) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (!item.popup.empty()) {
            QMenu* submenu = BuildMenu(item);
            menu->addMenu(submenu);
            // The map colour modes are one choice of four: radio items, a group per menu.
            if (item.popup.front().id == ID_VIEW_MAP_COLOURS_STATIONS) {
                auto* group = new QActionGroup(submenu);
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
                for (QAction* action : submenu->actions()) {
                    action->setCheckable(true);
                    group->addAction(action);
                }
            }
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
    const bool fileMenu = popup.text == "&File";
    const bool windowMenu = popup.text == "&Window";
    QObject::connect(menu, &QMenu::aboutToShow, &m_frame, [this, menu, fileMenu, windowMenu] {
        if (fileMenu && m_hooks.fillFile)
            m_hooks.fillFile(menu);
        if (windowMenu && m_hooks.fillWindow)
            m_hooks.fillWindow(menu);
        if (m_hooks.opened)
            m_hooks.opened();
    });
    QObject::connect(menu, &QMenu::aboutToHide, &m_frame, [this] {
        if (m_hooks.closed)
            m_hooks.closed();
    });
    return menu;
}

QAction* FrameCommands::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() || it->second.empty() ? nullptr : it->second.front();
}

std::vector<QAction*> FrameCommands::Actions(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? std::vector<QAction*>{} : it->second;
}

void FrameCommands::SwitchMenu(int id) {
    if (m_currentMenu == id)
        return;
    m_currentMenu = id;
    m_frame.menuBar()->clear();
    for (QMenu* menu : m_menus[id])
        m_frame.menuBar()->addMenu(menu);
}

void FrameCommands::Update(const StateOf& state) {
    for (const auto& [id, actions] : m_actions) {
        const std::optional<platform::CommandUi> ui = state(id);
        for (QAction* action : actions) {
            action->setEnabled(ui && ui->enabled);
            if (action->isCheckable())
                action->setChecked(ui && ui->checked);
        }
    }
}
