#pragma once

#include "platform/DateParser.h"

#include <cstdint>
#include <ctime>
#include <optional>

namespace platform {

// The calendar value whose local-time breakdown gives back the fields (seconds as given),
// daylight saving decided by the C library; no value for dates before 1970 or out of range.
std::optional<std::int64_t> MakeLocalTime(const DateTimeFields& fields);

// The instant (seconds since 1970, UTC) of the fields read as UTC; no value before 1970.
std::optional<std::int64_t> MakeUtcTime(const DateTimeFields& fields);

// The local-time breakdown of a calendar value; no value when the C library cannot give one.
std::optional<std::tm> LocalBreakdown(std::int64_t time);

// The UTC breakdown of an instant; no value when the C library cannot give one.
std::optional<std::tm> UtcBreakdown(std::int64_t time);

// How far the local clock is ahead of UTC at the instant, in seconds (the zone's rules for that
// moment, daylight saving included).
std::optional<std::int64_t> LocalOffsetAt(std::int64_t instant);

std::int64_t CurrentTime();

} // namespace platform
