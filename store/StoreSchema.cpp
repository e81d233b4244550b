#include "store/StoreSchema.h"

#include "store/Sqlite.h"

#include <string>

namespace {

const SchemaStep kSteps[] = {
    // Rows of one station lie together in key order: a period is one short range scan.
    // Numbers are NULL where the report gives none; texts are UTF-8.
    {1, "CREATE TABLE observation ("
        " station TEXT NOT NULL,"
        " observed_utc INTEGER NOT NULL,"
        " temperature_c REAL,"
        " pressure_hpa_less_1000 REAL,"
        " pressure_inhg REAL,"
        " wind_speed_ms REAL,"
        " wind_direction_deg REAL,"
        " conditions_at TEXT NOT NULL,"
        " temperature_text TEXT NOT NULL,"
        " dewpoint_text TEXT NOT NULL,"
        " pressure_text TEXT NOT NULL,"
        " winds_text TEXT NOT NULL,"
        " visibility_text TEXT NOT NULL,"
        " ceiling_text TEXT NOT NULL,"
        " clouds_text TEXT NOT NULL,"
        " present_weather_text TEXT NOT NULL,"
        " report TEXT NOT NULL,"
        " PRIMARY KEY (station, observed_utc)"
        ") WITHOUT ROWID;"},
};

int LastVersion(std::span<const SchemaStep> steps) {
    return steps.back().version;
}

} // namespace

std::span<const SchemaStep> SchemaSteps() {
    return kSteps;
}

int CurrentSchemaVersion() {
    return LastVersion(kSteps);
}

SchemaOutcome InspectSchema(sqlite3* db, std::span<const SchemaStep> steps) {
    // One statement, one snapshot: another process may be creating the file meanwhile.
    sqlite3_stmt* raw = nullptr;
    sqlite::Check(db, sqlite3_prepare_v2(db,
                                         "SELECT (SELECT user_version FROM pragma_user_version), "
                                         "(SELECT application_id FROM pragma_application_id), "
                                         "(SELECT count(*) FROM sqlite_schema)",
                                         -1, &raw, nullptr));
    const sqlite::Statement header(raw);
    sqlite::Check(db, sqlite3_step(raw));
    const auto version = sqlite3_column_int64(raw, 0);
    const auto application = sqlite3_column_int64(raw, 1);
    if (application == 0 && version == 0)
        return sqlite3_column_int64(raw, 2) == 0 ? SchemaOutcome::Ready : SchemaOutcome::Foreign;
    if (application != kStoreApplicationId)
        return SchemaOutcome::Foreign;
    return version > LastVersion(steps) ? SchemaOutcome::Newer : SchemaOutcome::Ready;
}

SchemaOutcome Migrate(sqlite3* db, std::span<const SchemaStep> steps) {
    // Most opens find the file up to date: no write lock for them.
    if (sqlite::QueryInteger(db, "PRAGMA user_version") == LastVersion(steps))
        return InspectSchema(db, steps);

    sqlite::Transaction transaction(db);
    const SchemaOutcome outcome = InspectSchema(db, steps);
    if (outcome != SchemaOutcome::Ready)
        return outcome;
    const auto version = sqlite::QueryInteger(db, "PRAGMA user_version");
    if (version == 0)
        sqlite::Execute(db,
                        ("PRAGMA application_id = " + std::to_string(kStoreApplicationId)).c_str());
    for (const SchemaStep& step : steps) {
        if (step.version <= version)
            continue;
        sqlite::Execute(db, step.sql);
        sqlite::Execute(db, ("PRAGMA user_version = " + std::to_string(step.version)).c_str());
    }
    transaction.Commit();
    return SchemaOutcome::Ready;
}
