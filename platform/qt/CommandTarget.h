#pragma once

#include <optional>

namespace platform {

struct CommandUi {
    bool enabled = true;
    bool checked = false;
};

// Something that handles commands by id: the active view, then the main frame.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Runs the command; false when this target has no handler for it.
    virtual bool OnCommand(int id) = 0;
    // The state of the command's menu items and buttons; none when there is no handler.
    virtual std::optional<CommandUi> OnUpdateCommand(int id) = 0;
};

} // namespace platform
