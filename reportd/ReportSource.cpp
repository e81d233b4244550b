#include "reportd/ReportSource.h"

#include "platform/CText.h"

#include <ctime>

std::int64_t UtcTime(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return static_cast<std::int64_t>(timegm(&tm));
}

UtcFields BreakDownUtc(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_yday};
}

std::string CleanReport(const std::string& line) {
    std::string text = platform::Trim(line);
    for (const char* prefix : {"METAR ", "SPECI "})
        if (text.rfind(prefix, 0) == 0)
            text = platform::Trim(text.substr(6));
    return text;
}
