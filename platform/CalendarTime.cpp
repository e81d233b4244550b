#include "platform/CalendarTime.h"

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

} // namespace

std::optional<std::int64_t> MakeLocalTime(const DateTimeFields& fields) {
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
