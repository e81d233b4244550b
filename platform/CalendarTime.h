#pragma once

#include "platform/DateParser.h"

#include <cstdint>
#include <ctime>
#include <optional>

namespace platform {

// The calendar value whose local-time breakdown gives back the fields (seconds as given),
// daylight saving decided by the C library; no value for dates before 1970 or out of range.
std::optional<std::int64_t> MakeLocalTime(const DateTimeFields& fields);

// The local-time breakdown of a calendar value; no value when the C library cannot give one.
std::optional<std::tm> LocalBreakdown(std::int64_t time);

std::int64_t CurrentTime();

} // namespace platform
