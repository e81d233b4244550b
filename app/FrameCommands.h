#pragma once

#include "platform/qt/CommandTarget.h"
#include "resources/Resources.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QString;
class QToolBar;

// The main window's menus, toolbar and accelerators, made from the resource tables: one action
// per menu item (two items of one menu may share a command); the first action of a command also
// serves the toolbar and the accelerators. Every action runs its command through `run`.
class FrameCommands {
public:
    using Runner = std::function<void(int id)>;
    // The state of a command's items in the active window; none when nobody handles it.
    using StateOf = std::function<std::optional<platform::CommandUi>(int id)>;

    FrameCommands(QMainWindow& frame, Runner run);

    // Accelerators, menus 128 and 129, the toolbar; menu 128 on the bar.
    void Build();

    QAction* Action(int id) const;
    std::vector<QAction*> Actions(int id) const;
    QToolBar* ToolBar() const { return m_toolBar; }

    // Puts menu 128 or 129 on the bar.
    void SwitchMenu(int id);
    int CurrentMenu() const { return m_currentMenu; }

    // Each item enabled and checked as the active window or the frame says; disabled when
    // neither handles it.
    void Update(const StateOf& state);

    // What happens as menus open and close: a File menu gets the recent list, the Window menu
    // the open windows; every menu opening brings the items up to date; a closing one takes its
    // item's prompt away.
    struct MenuHooks {
        std::function<void(QMenu*)> fillFile;
        std::function<void(QMenu*)> fillWindow;
        std::function<void()> opened;
        std::function<void()> closed;
    };
    void SetMenuHooks(MenuHooks hooks) { m_hooks = std::move(hooks); }

private:
    QAction* NewAction(int id, const QString& text);
    QMenu* BuildMenu(const resources::MenuItem& popup);

    QMainWindow& m_frame;
    Runner m_run;
    QToolBar* m_toolBar = nullptr;
    std::map<int, std::vector<QAction*>> m_actions; // per command, one per menu item
    std::map<int, std::vector<QMenu*>> m_menus;     // the popups of menus 128 and 129
    int m_currentMenu = 0;
    MenuHooks m_hooks;
};
