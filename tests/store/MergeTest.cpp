#include "store/ObservationMerge.h"
#include "store/ObservationStore.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

using store_testing::Comparable;
using store_testing::Instants;
using store_testing::RowAt;

namespace {

struct MergeCase {
    const char* name;
    std::vector<int> stored;      // hours of the rows, each row's temperature is its hour
    std::vector<int> page;        // hours; a page row's temperature is its hour plus 100, plus
                                  // 1000 for a repeated hour
    std::vector<double> expected; // temperatures, newest first
};

ObservationSeries Rows(const std::vector<int>& hours, double offset) {
    ObservationSeries series;
    for (std::size_t i = 0; i < hours.size(); ++i) {
        const double repeat = i > 0 && hours[i] == hours[i - 1] ? 1000 : 0;
        series.Add(RowAt(1'796'000'000 + hours[i] * 3600, hours[i] + offset + repeat));
    }
    return series;
}

std::vector<double> Temperatures(const ObservationSeries& series) {
    std::vector<double> t;
    for (const ObservationRecord& r : series)
        t.push_back(r.dTemperature);
    return t;
}

const MergeCase kCases[] = {
    {"page overlaps the newest stored rows",
     {3, 2, 1, 0},
     {5, 4, 3, 2},
     {105, 104, 103, 102, 1, 0}},
    {"page older than what is stored", {9, 8}, {2, 1}, {9, 8, 102, 101}},
    {"page between stored rows", {9, 1}, {5}, {9, 105, 1}},
    {"page repeats an instant: its first row wins", {}, {4, 4, 3}, {104, 103}},
    {"nothing stored", {}, {2, 1}, {102, 101}},
    {"empty page", {2, 1}, {}, {2, 1}},
    {"stored out of order", {1, 3, 2}, {}, {3, 2, 1}},
};

} // namespace

// The merge keeps every instant once, the page's row where both have it; the store, given
// the two as pages one after the other, ends up with the same rows.
TEST(Merge, KeepsEachInstantOnceWithThePageRowAndTheStoreAgrees) {
    for (const MergeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const ObservationSeries page = Rows(c.page, 100);
        const ObservationSeries merged = MergeObservations(Rows(c.stored, 0), page);
        EXPECT_EQ(Temperatures(merged), c.expected);

        testing_support::ScopedWorkingFolder folder;
        ObservationStore store(folder.Path());
        ASSERT_TRUE(store.SaveSeries("KJFK", Rows(c.stored, 0)));
        ASSERT_TRUE(store.SaveSeries("KJFK", page));
        const ObservationSeries stored = store.ReadPeriod("KJFK", 0, 4'000'000'000);
        EXPECT_EQ(Comparable(stored), Comparable(merged));
    }
}
