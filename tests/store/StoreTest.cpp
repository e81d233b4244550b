#include "store/ObservationStore.h"
#include "store/Utf8Text.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

using store_testing::Comparable;
using store_testing::Instants;
using store_testing::PageRows;
using store_testing::QueryFile;
using store_testing::RowAt;
using testing_support::ReadFile;
using testing_support::ScopedWorkingFolder;

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kAll = 4'000'000'000;

class ScopedZone {
public:
    explicit ScopedZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedZone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

int CountWhere(const ObservationStore& store, const char* condition) {
    return std::atoi(
        QueryFile(store.File(), std::string("SELECT count(*) FROM observation WHERE ") + condition)
            .c_str());
}

} // namespace

// What a page gives comes back equal, missing numbers as NULL (never 0) and zeros as zeros,
// texts byte for byte, the local-breakdown time as the page reader makes it in the user's zone.
TEST(ObservationStore, GivesBackTheRecordsOfAPageAsTheyWereSaved) {
    for (const char* zone : {"UTC", "America/New_York", "Australia/Lord_Howe"}) {
        SCOPED_TRACE(zone);
        const ScopedZone inZone(zone);
        const ObservationSeries page = PageRows(12);
        ScopedWorkingFolder folder;
        ObservationStore store(folder.Path());
        ASSERT_TRUE(store.SaveSeries("KJFK", page));
        EXPECT_EQ(Comparable(store.ReadPeriod("KJFK", 0, kAll)), Comparable(page));

        int missing = 0, zeros = 0;
        for (const ObservationRecord& r : page) {
            missing += std::isnan(r.dTemperature);
            zeros += r.dTemperature == 0.0;
        }
        ASSERT_GT(missing * zeros, 0);
        EXPECT_EQ(CountWhere(store, "temperature_c IS NULL"), missing);
        EXPECT_EQ(CountWhere(store, "temperature_c = 0"), zeros);
        // Texts are UTF-8 in the file: the degree sign of the page is two bytes there.
        std::string utf8 = page[0].strTemperature;
        platform::ReplaceAll(utf8, "\xB0", "\xC2\xB0");
        ASSERT_NE(utf8, page[0].strTemperature);
        EXPECT_EQ(QueryFile(store.File(), "SELECT temperature_text FROM observation WHERE "
                                          "observed_utc = " +
                                              std::to_string(page[0].tObservedUtc)),
                  utf8);
    }
}

TEST(ObservationStore, ReadsAPeriodTheNewestRowAndTheStations) {
    ScopedWorkingFolder folder;
    ObservationStore store(folder.Path());
    const std::int64_t t0 = platform::CurrentTime() - 10 * 3600;
    ObservationSeries rows;
    for (int h = 5; h >= 0; --h)
        rows.Add(RowAt(t0 + h * 3600, h));
    ASSERT_TRUE(store.SaveSeries("LFPG", rows));
    ASSERT_TRUE(store.SaveSeries("EGLL", rows));
    ASSERT_TRUE(store.SaveSeries("KJFK", ObservationSeries()));

    EXPECT_EQ(Instants(store.ReadPeriod("LFPG", t0 + 3600, t0 + 4 * 3600)),
              (std::vector<std::int64_t>{t0 + 4 * 3600, t0 + 3 * 3600, t0 + 2 * 3600, t0 + 3600}));
    EXPECT_EQ(store.ReadPeriod("KJFK", 0, kAll).GetSize(), 0);
    ASSERT_TRUE(store.Newest("EGLL"));
    EXPECT_EQ(store.Newest("EGLL")->tObservedUtc, t0 + 5 * 3600);
    EXPECT_FALSE(store.Newest("KJFK"));
    EXPECT_EQ(store.Stations(), (std::vector<std::string>{"EGLL", "LFPG"}));
    EXPECT_TRUE(store.TakeNotices().empty());
}

// Rows older than the days kept go at open and at each prune; the days are held to 1..3650.
TEST(ObservationStore, RemovesObservationsOlderThanTheDaysKept) {
    struct Case {
        int keepDays;
        std::vector<double> kept; // ages in days of the rows left, newest first
    };
    const std::vector<double> ages = {0.5, 2, 89, 91, 3000, 3700};
    const Case cases[] = {{90, {0.5, 2, 89}},
                          {1, {0.5}},
                          {0, {0.5}},
                          {3650, {0.5, 2, 89, 91, 3000}},
                          {5000, {0.5, 2, 89, 91, 3000}}};
    const std::int64_t now = platform::CurrentTime();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keepDays);
        ScopedWorkingFolder folder;
        ObservationSeries rows;
        std::vector<std::int64_t> expected;
        for (const double age : ages)
            rows.Add(RowAt(now - static_cast<std::int64_t>(age * kDay)));
        for (const double age : c.kept)
            expected.push_back(now - static_cast<std::int64_t>(age * kDay));
        {
            ObservationStore writer(folder.Path());
            ASSERT_TRUE(writer.SaveSeries("KJFK", rows));
        }
        ObservationStore atOpen(folder.Path(), c.keepDays);
        EXPECT_EQ(Instants(atOpen.ReadPeriod("KJFK", 0, kAll)), expected);

        ObservationStore onDemand(folder.Path(), ObservationStore::kMaxKeepDays);
        ASSERT_TRUE(onDemand.SaveSeries("KJFK", rows));
        onDemand.SetKeepDays(c.keepDays);
        EXPECT_EQ(onDemand.Prune(now), static_cast<int>(ages.size() - c.kept.size()));
        EXPECT_EQ(Instants(onDemand.ReadPeriod("KJFK", 0, kAll)), expected);
    }
}

// Pruning more than half of the file compacts it; less leaves the pages for new rows.
TEST(ObservationStore, CompactsTheFileOnlyWhenItWouldShrinkByMoreThanHalf) {
    for (const int oldRows : {300, 1000}) {
        SCOPED_TRACE(oldRows);
        ScopedWorkingFolder folder;
        ObservationStore store(folder.Path(), 30);
        const std::int64_t now = platform::CurrentTime();
        ObservationSeries rows;
        for (int i = 0; i < 1300; ++i)
            rows.Add(RowAt(now - (i < oldRows ? 40 * kDay : 0) - i * 60));
        ASSERT_TRUE(store.SaveSeries("KJFK", rows));
        const int before = std::atoi(QueryFile(store.File(), "PRAGMA page_count").c_str());
        EXPECT_EQ(store.Prune(now), oldRows);
        const int after = std::atoi(QueryFile(store.File(), "PRAGMA page_count").c_str());
        if (oldRows * 2 > 1300)
            EXPECT_LT(after * 2, before);
        else
            EXPECT_EQ(after, before);
    }
}

TEST(ObservationStore, ExportsAPeriodAsCsvOldestFirst) {
    ScopedWorkingFolder folder;
    ObservationStore store(folder.Path());
    ObservationSeries rows;
    const std::int64_t t = 1'796'617'860; // 2026-12-07 04:31 UTC
    rows.Add(RowAt(t + 1200, 3.25));
    rows.Add(RowAt(t, std::numeric_limits<double>::quiet_NaN()));
    rows.Add(RowAt(t - 600, 1));
    rows[0].dPressure = 13.2;
    rows[0].strPresentWeather = "light \"rain\", mist";
    ASSERT_TRUE(store.SaveSeries("KJFK", rows));

    const auto target = folder.Path() / "out.csv";
    ASSERT_EQ(store.ExportCsv("KJFK", t, t + 1200, target), ExportResult::Written);
    EXPECT_EQ(ReadFile(target),
              "station,observed_utc,temperature_degC,pressure_hPa,pressure_inHg,wind_speed_m_s,"
              "wind_direction_deg,conditions_at,temperature_text,dewpoint_text,pressure_text,"
              "winds_text,visibility_text,ceiling_text,clouds_text,present_weather_text,report\r\n"
              "KJFK,2026-12-07T04:31:00Z,,1000,0,0,0,,12.5\xC2\xB0"
              "C,,,,,,,,KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012\r\n"
              "KJFK,2026-12-07T04:51:00Z,3.25,1013.2,0,0,0,,12.5\xC2\xB0"
              "C,,,,,,,\"light \"\"rain\"\", mist\",KJFK 070451Z 27009KT 10SM FEW250 13/M01 "
              "A3012\r\n");
}

// Progress comes at the start, every 256 rows and at the end; a cancel or a target that cannot
// be written leaves the old file.
TEST(ObservationStore, ExportReportsProgressAndLeavesTheTargetOnCancelOrFault) {
    ScopedWorkingFolder folder;
    ObservationStore store(folder.Path());
    ObservationSeries rows;
    for (int i = 0; i < 600; ++i)
        rows.Add(RowAt(1'796'615'460 - i * 60));
    ASSERT_TRUE(store.SaveSeries("KJFK", rows));
    const auto target = folder.Path() / "out.csv";
    testing_support::WriteFile(target, "old");

    std::vector<std::pair<int, int>> calls;
    const auto cancelAt = [&](int stop) {
        return [&calls, stop](int done, int total) {
            calls.emplace_back(done, total);
            return done < stop;
        };
    };
    EXPECT_EQ(store.ExportCsv("KJFK", 0, kAll, target, cancelAt(300)), ExportResult::Cancelled);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 600}, {256, 600}, {512, 600}}));
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(store.ExportCsv("KJFK", 0, kAll, folder.Path() / "no" / "out.csv"),
              ExportResult::CannotWrite);

    calls.clear();
    EXPECT_EQ(store.ExportCsv("KJFK", 0, kAll, target, cancelAt(601)), ExportResult::Written);
    EXPECT_EQ(calls.back(), std::make_pair(600, 600));
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_NE(ReadFile(target), "old");
}

// The file holds UTF-8; every Windows-1252 byte comes back, and what has no byte becomes "?".
TEST(ObservationStore, TextsGoToUtf8AndBackByteForByte) {
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(everyByte)), everyByte);
    EXPECT_EQ(Utf8FromCp1252("\x80\xA0\xFF"), "\xE2\x82\xAC\xC2\xA0\xC3\xBF");
    // U+0800, a cut sequence, a lone continuation byte.
    EXPECT_EQ(Cp1252FromUtf8("\xE0\xA0\x80 \xC3"), "? ?");
    EXPECT_EQ(Cp1252FromUtf8("\x80"), "?");
}
