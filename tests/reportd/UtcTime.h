#pragma once

#include "platform/CalendarTime.h"

#include <cstdint>

// An instant in UTC, for tests that name one.
inline std::int64_t UtcTime(int year, int month, int day, int hour, int minute) {
    return platform::MakeUtcTime({year, month, day, hour, minute, 0}).value_or(0);
}
