#pragma once

#include <optional>
#include <string_view>

namespace platform {

struct DateTimeFields {
    int year = 0;
    int month = 0; // 1-12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads a date and a time of day written the English (United States) way, in either order:
// times "HH:MM", "HH:MM:SS", optionally followed by AM or PM; dates "M/D/YYYY", "M/D/YY",
// "YYYY-MM-DD", "D Month YYYY" and "Month D, YYYY" (month names or their three-letter
// abbreviations, any case). Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999.
// Anything else, an impossible date or time, or a text of more than 80 characters, gives no
// value.
std::optional<DateTimeFields> ParseUsDateTime(std::string_view text);

} // namespace platform
