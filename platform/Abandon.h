#pragma once

#include "platform/InvalidArgument.h"

#include <utility>

namespace platform {

// Tells the user that an operation was abandoned because of the error. While one such message
// is shown, further ones (from events that arrive meanwhile) are dropped.
void ReportAbandoned(const InvalidArgument& error);

// Runs `work` where commands and events are dispatched. An InvalidArgument it raises abandons
// the operation under way: the user is told, false comes back and the program goes on.
template <typename F> bool AbandonOnError(F&& work) {
    try {
        std::forward<F>(work)();
        return true;
    } catch (const InvalidArgument& error) {
        ReportAbandoned(error);
        return false;
    }
}

} // namespace platform
