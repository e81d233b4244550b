#include "platform/CalendarTime.h"

#include <cstdlib>
#include <string>

namespace platform {

namespace {

std::tm FieldsToTm(const DateTimeFields& fields) {
    std::tm tm{};
    tm.tm_year = fields.year - 1900;
    tm.tm_mon = fields.month - 1;
    tm.tm_mday = fields.day;
    tm.tm_hour = fields.hour;
    tm.tm_min = fields.minute;
    tm.tm_sec = fields.second;
    return tm;
}

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// The fields read as if they were UTC, in seconds since 1970: the clock's reading. None for
// fields out of their ranges, which mktime() carries over into the next field.
std::optional<std::int64_t> ClockReading(const DateTimeFields& f) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (f.year < 1900 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 || f.hour < 0 ||
        f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59)
        return std::nullopt;
    if (f.day > kDays[f.month - 1] + (f.month == 2 && IsLeapYear(f.year)))
        return std::nullopt;
    return DaysFromCivil(f.year, f.month, f.day) * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
}

// Clock readings [first, last) that the zone maps one to one onto instants, at one offset
// (seconds the clock is ahead of UTC); kept per thread for the zone named by TZ.
struct LocalSpan {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t offset = 0;
    bool zoneSet = false;
    std::string zone;
};

// The span of the zone of the moment: a change of TZ empties it (and has the C library read
// the new zone).
LocalSpan& CurrentSpan() {
    thread_local LocalSpan span;
    const char* tz = std::getenv("TZ");
    if (span.zoneSet != (tz != nullptr) || (tz && span.zone != tz)) {
        span = LocalSpan();
        span.zoneSet = tz != nullptr;
        span.zone = tz ? tz : "";
        tzset();
    }
    return span;
}

std::optional<std::int64_t> OffsetAt(std::int64_t instant) {
    const std::time_t t = static_cast<std::time_t>(instant);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return std::nullopt;
    return static_cast<std::int64_t>(tm.tm_gmtoff);
}

// The span of the six hours of readings either side of the hour of `reading`, when the zone
// has one offset twelve hours before that hour, at it and twelve hours after: no zone has
// changed its offset and back within twelve hours, so the offset holds throughout, and no
// other instant (at another offset, more than six hours away) shows the same readings. Near a
// change of offset the span stays empty, and mktime() decides, as it did for every reading.
void FindSpan(LocalSpan& span, std::int64_t reading) {
    constexpr std::int64_t kHalfDay = 43200;
    span.first = span.last = 0;
    const std::int64_t hour = reading - ((reading % 3600) + 3600) % 3600;
    std::optional<std::int64_t> offset = span.offset;
    for (int attempt = 0; attempt < 2 && offset; ++attempt) {
        const std::int64_t t = hour - *offset;
        const auto at = OffsetAt(t);
        if (!at)
            return;
        if (*at != *offset) {
            offset = at; // the offset of the instant of the previous guess: try that
            continue;
        }
        if (OffsetAt(t - kHalfDay) != offset || OffsetAt(t + kHalfDay) != offset)
            return;
        span.first = hour - kHalfDay / 2;
        span.last = hour + kHalfDay / 2;
        span.offset = *offset;
        return;
    }
}

} // namespace

std::optional<std::int64_t> MakeLocalTime(const DateTimeFields& fields) {
    // A reading of a valid date and time inside a span of readings the zone maps one to one,
    // at one offset, takes no call of the C library: mktime() looks at the zone's file on
    // every call.
    const std::optional<std::int64_t> reading = ClockReading(fields);
    LocalSpan& span = CurrentSpan();
    if (reading && !(*reading >= span.first && *reading < span.last))
        FindSpan(span, *reading);
    if (reading && *reading >= span.first && *reading < span.last) {
        const std::int64_t t = *reading - span.offset;
        if (t < 0)
            return std::nullopt;
        return t;
    }
    std::tm tm = FieldsToTm(fields);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t < 0)
        return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::optional<std::int64_t> MakeUtcTime(const DateTimeFields& fields) {
    std::tm tm = FieldsToTm(fields);
    const std::time_t t = timegm(&tm);
    if (t < 0)
        return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::optional<std::tm> LocalBreakdown(std::int64_t time) {
    if (time < 0)
        return std::nullopt;
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return std::nullopt;
    return tm;
}

std::optional<std::tm> UtcBreakdown(std::int64_t time) {
    if (time < 0)
        return std::nullopt;
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    if (!gmtime_r(&t, &tm))
        return std::nullopt;
    return tm;
}

std::optional<std::int64_t> LocalOffsetAt(std::int64_t instant) {
    const auto local = LocalBreakdown(instant);
    if (!local)
        return std::nullopt;
    return static_cast<std::int64_t>(local->tm_gmtoff);
}

std::int64_t CurrentTime() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace platform
