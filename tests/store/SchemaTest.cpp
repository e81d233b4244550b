#include "store/ObservationStore.h"
#include "store/StoreSchema.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>

using store_testing::ExecuteOnFile;
using store_testing::QueryFile;
using testing_support::ScopedWorkingFolder;

namespace {

const SchemaStep kTestSteps[] = {
    {1, "CREATE TABLE a (x);"},
    {2, "ALTER TABLE a ADD COLUMN y;"},
    {3, "CREATE TABLE b (z);"},
};

const std::string kStamp = "PRAGMA application_id = " + std::to_string(kStoreApplicationId) + ";";

} // namespace

// Steps run in order from the file's version on; a file of a newer version or of another
// program is left as it was.
TEST(StoreSchema, RunsTheMissingStepsInOrderAndLeavesOtherFilesAlone) {
    struct Case {
        const char* name;
        std::string setup; // SQL making the file
        SchemaOutcome outcome;
        std::string version;  // user_version after
        std::string contents; // the tables after, by name
    };
    const Case cases[] = {
        {"new file", "", SchemaOutcome::Ready, "3", "a,b"},
        {"version 1",
         kStamp + "CREATE TABLE a (x); INSERT INTO a VALUES (7); PRAGMA user_version = 1;",
         SchemaOutcome::Ready, "3", "a,b"},
        {"up to date",
         kStamp + "CREATE TABLE a (x, y); CREATE TABLE b (z); PRAGMA user_version = 3;",
         SchemaOutcome::Ready, "3", "a,b"},
        {"newer", kStamp + "CREATE TABLE c (q); PRAGMA user_version = 4;", SchemaOutcome::Newer,
         "4", "c"},
        {"another program's", "CREATE TABLE accounts (id);", SchemaOutcome::Foreign, "0",
         "accounts"},
        {"another program's, only a version yet", "PRAGMA user_version = 2;",
         SchemaOutcome::Foreign, "2", ""},
        {"another program's version 1",
         "PRAGMA application_id = 7; CREATE TABLE a (x); PRAGMA user_version = 1;",
         SchemaOutcome::Foreign, "1", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedWorkingFolder folder;
        const std::string file = (folder.Path() / "f.sqlite").string();
        if (!c.setup.empty())
            ExecuteOnFile(file, c.setup);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(Migrate(db, kTestSteps), c.outcome);
        sqlite3_close(db);
        EXPECT_EQ(QueryFile(file, "PRAGMA user_version"), c.version);
        EXPECT_EQ(QueryFile(file, "SELECT coalesce(group_concat(name), '') FROM (SELECT name FROM "
                                  "sqlite_schema ORDER BY name)"),
                  c.contents);
        if (c.outcome == SchemaOutcome::Ready) {
            EXPECT_EQ(QueryFile(file, "PRAGMA application_id"),
                      std::to_string(kStoreApplicationId));
            EXPECT_EQ(QueryFile(file, "SELECT count(y) + count(*) FROM a"),
                      c.setup.find("(7)") != std::string::npos ? "1" : "0");
        }
    }
}

// A file of the first layout, written by hand from its definition rather than by the store,
// opens with its rows: what the store reads is the layout it has released.
TEST(StoreSchema, OpensAVersionOneFileWithItsRows) {
    ScopedWorkingFolder folder;
    const std::string file = (folder.Path() / kObservationStoreFile).string();
    const std::int64_t now = platform::CurrentTime() - 3600;
    ExecuteOnFile(file, kStamp +
                            "CREATE TABLE observation ("
                            " station TEXT NOT NULL, observed_utc INTEGER NOT NULL,"
                            " temperature_c REAL, pressure_hpa_less_1000 REAL, pressure_inhg REAL,"
                            " wind_speed_ms REAL, wind_direction_deg REAL,"
                            " conditions_at TEXT NOT NULL, temperature_text TEXT NOT NULL,"
                            " dewpoint_text TEXT NOT NULL, pressure_text TEXT NOT NULL,"
                            " winds_text TEXT NOT NULL, visibility_text TEXT NOT NULL,"
                            " ceiling_text TEXT NOT NULL, clouds_text TEXT NOT NULL,"
                            " present_weather_text TEXT NOT NULL, report TEXT NOT NULL,"
                            " PRIMARY KEY (station, observed_utc)) WITHOUT ROWID;"
                            "INSERT INTO observation VALUES ('EDDF', " +
                            std::to_string(now) +
                            ", -2.5, NULL, 29.9, 0, NULL, 'EDDF obs', '-2.5\xC2\xB0"
                            "C', '', '', '', '', '', '', '', 'EDDF 070450Z');"
                            "PRAGMA user_version = 1;");

    ObservationStore store(folder.Path());
    EXPECT_TRUE(store.TakeNotices().empty());
    EXPECT_EQ(QueryFile(file, "PRAGMA user_version"), std::to_string(CurrentSchemaVersion()));
    const ObservationSeries rows = store.ReadPeriod("EDDF", 0, now);
    ASSERT_EQ(rows.GetSize(), 1);
    EXPECT_EQ(rows[0].tObservedUtc, now);
    EXPECT_EQ(rows[0].dTemperature, -2.5);
    EXPECT_TRUE(std::isnan(rows[0].dPressure));
    EXPECT_EQ(rows[0].dWindSpeed, 0.0);
    EXPECT_EQ(rows[0].strTemperature, "-2.5\xB0"
                                      "C");
    EXPECT_EQ(rows[0].strReport, "EDDF 070450Z");
}
