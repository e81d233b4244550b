#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace platform {

struct CommandUi {
    bool enabled = true;
    bool checked = false;
};

// One command a window handles: what runs, and the state of its menu items and buttons
// (enabled and unchecked when no state is given).
struct Command {
    int id = 0;
    std::function<void()> run;
    std::function<CommandUi()> state = {};
};

// Something that handles commands by id: the active view, then the main frame. Each class
// declares its commands in one table, handler and enabler side by side.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Runs the command when the table has it and it is enabled; false when it has not.
    bool OnCommand(int id);
    // The state of the command's menu items and buttons; none when the table has no entry.
    std::optional<CommandUi> OnUpdateCommand(int id) const;

protected:
    void SetCommands(std::vector<Command> commands) { m_commands = std::move(commands); }

private:
    const Command* Find(int id) const;

    std::vector<Command> m_commands;
};

} // namespace platform
