#include "platform/qt/CommandTarget.h"

namespace platform {

const Command* CommandTarget::Find(int id) const {
    for (const Command& c : m_commands)
        if (c.id == id)
            return &c;
    return nullptr;
}

bool CommandTarget::OnCommand(int id) {
    const Command* command = Find(id);
    if (!command)
        return false;
    if (command->state && !command->state().enabled)
        return true; // handled here, and disabled: nothing runs
    command->run();
    return true;
}

std::optional<CommandUi> CommandTarget::OnUpdateCommand(int id) const {
    const Command* command = Find(id);
    if (!command)
        return std::nullopt;
    return command->state ? command->state() : CommandUi{};
}

} // namespace platform
