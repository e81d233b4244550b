#include "platform/DateParser.h"
#include "platform/CalendarTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using platform::DateTimeFields;
using platform::ParseUsDateTime;

namespace {

void ExpectFields(const char* text, int y, int mo, int d, int h, int mi, int s = 0) {
    SCOPED_TRACE(text);
    const auto f = ParseUsDateTime(text);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->year, y);
    EXPECT_EQ(f->month, mo);
    EXPECT_EQ(f->day, d);
    EXPECT_EQ(f->hour, h);
    EXPECT_EQ(f->minute, mi);
    EXPECT_EQ(f->second, s);
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_old.empty())
            unsetenv("TZ");
        else
            setenv("TZ", m_old.c_str(), 1);
        tzset();
    }

private:
    std::string m_old;
};

} // namespace

TEST(UsDateParser, ReadsTheFormsReportServersPrint) {
    const struct {
        const char* text;
        int y, mo, d, h, mi, s;
    } cases[] = {
        {"04:51 12/07/2026", 2026, 12, 7, 4, 51, 0},
        {"15:51:30 3/2/2004", 2004, 3, 2, 15, 51, 30},
        {"23:05 1/31/26", 2026, 1, 31, 23, 5, 0},
        {"00:00 12/31/99", 1999, 12, 31, 0, 0, 0},
        {"09:50 2026-12-06", 2026, 12, 6, 9, 50, 0},
        {"09:50 6 December 2026", 2026, 12, 6, 9, 50, 0},
        {"09:50 6 dec 2026", 2026, 12, 6, 9, 50, 0},
        {"09:50 December 6, 2026", 2026, 12, 6, 9, 50, 0},
        {"09:50 SEP 6 2026", 2026, 9, 6, 9, 50, 0},
        {"12/07/2026 04:51", 2026, 12, 7, 4, 51, 0},
        // Twelve-hour clocks.
        {"3:51 PM 3/2/2004", 2004, 3, 2, 15, 51, 0},
        {"12:05 am 3/2/2004", 2004, 3, 2, 0, 5, 0},
        {"12:05 PM 3/2/2004", 2004, 3, 2, 12, 5, 0},
        {"04:51 2/29/2024", 2024, 2, 29, 4, 51, 0},
    };
    for (const auto& c : cases)
        ExpectFields(c.text, c.y, c.mo, c.d, c.h, c.mi, c.s);
}

TEST(UsDateParser, RefusesEverythingElse) {
    for (const char* text :
         {"", "04:51", "12/07/2026", "04:51 13/07/2026", "04:51 2/30/2026", "24:00 1/1/2026",
          "04:60 1/1/2026", "04:51 12/07/2026 extra", "garbage", "04:51 Smarch 3, 2026",
          "04:51 07.12.2026", "04:51 12/07/202", "04:51 1234567/1/2026", "04:51 12/07/2026 UTC",
          "04:51 2/29/2025", "13:05 PM 3/2/2004", "04:51 12/07-2026", "04:51 12-07/2026"})
        EXPECT_FALSE(ParseUsDateTime(text)) << text;
    // A text longer than any date and time is not looked at.
    EXPECT_FALSE(ParseUsDateTime("04:51 12/07/2026" + std::string(100, ' ')));
}

TEST(CalendarTime, LocalBreakdownGivesBackThePrintedFields) {
    for (const char* tz : {"UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata"}) {
        ScopedTimeZone zone(tz);
        const auto t = platform::MakeLocalTime({2004, 3, 2, 15, 51, 0});
        ASSERT_TRUE(t) << tz;
        const auto tm = platform::LocalBreakdown(*t);
        ASSERT_TRUE(tm);
        EXPECT_EQ(tm->tm_year + 1900, 2004) << tz;
        EXPECT_EQ(tm->tm_mon + 1, 3);
        EXPECT_EQ(tm->tm_mday, 2);
        EXPECT_EQ(tm->tm_hour, 15);
        EXPECT_EQ(tm->tm_min, 51);
    }
}

// The reading of a local clock becomes the instant the C library gives for it, also where the
// zone changes its offset (half-hour and 30-minute changes, gaps and repeated hours), in every
// zone in turn: readings a reader converts from its cache of offsets included.
TEST(CalendarTime, LocalTimesAreTheCLibrarysThroughAYearOfChanges) {
    for (const char* tz : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe",
                           "Asia/Kolkata", "America/St_Johns", "UTC"}) {
        ScopedTimeZone zone(tz);
        for (int day = 0; day < 366; ++day)
            for (int minute = 0; minute < 1440; minute += 25) {
                std::tm tm{};
                tm.tm_year = 2026 - 1900;
                tm.tm_mon = 0;
                tm.tm_mday = 1 + day;
                std::mktime(&tm); // normalised into a month and day
                const platform::DateTimeFields fields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                                                      minute / 60,       minute % 60,   0};
                std::tm local{};
                local.tm_year = tm.tm_year;
                local.tm_mon = tm.tm_mon;
                local.tm_mday = tm.tm_mday;
                local.tm_hour = fields.hour;
                local.tm_min = fields.minute;
                local.tm_isdst = -1;
                const std::time_t expected = std::mktime(&local);
                const auto t = platform::MakeLocalTime(fields);
                ASSERT_TRUE(t) << tz;
                ASSERT_EQ(*t, expected) << tz << " " << fields.month << "/" << fields.day << " "
                                        << fields.hour << ":" << fields.minute;
            }
    }
}

TEST(CalendarTime, DatesBefore1970HaveNoValue) {
    ScopedTimeZone zone("UTC");
    EXPECT_FALSE(platform::MakeLocalTime({1969, 12, 31, 12, 0, 0}));
    EXPECT_EQ(platform::MakeLocalTime({1970, 1, 1, 0, 1, 0}), 60);
    EXPECT_FALSE(platform::LocalBreakdown(-5));
}
