#pragma once

#include <sqlite3.h>

#include <span>

// The layout of Observations.sqlite, one step per schema version (at least one). A file's PRAGMA user_version
// says how many steps it has had; opening runs the missing ones in order, so a new file and an
// old one reach the same layout by the same path. A step, once released, never changes: a
// later change is a new step at the end.
struct SchemaStep {
    int version;     // the user_version after the step
    const char* sql; // statements run in the step's transaction
};

std::span<const SchemaStep> SchemaSteps();

// PRAGMA application_id of the program's files: a file that carries another is not one.
inline constexpr int kStoreApplicationId = 0x56544F52; // "VTOR"

// The user_version of a file with every step run.
int CurrentSchemaVersion();

enum class SchemaOutcome { Ready, Newer, Foreign };

// What the file is, read from its header and schema without writing: Foreign when it carries
// another application id, or none but already holds tables (some other program's file); Newer
// when its version is beyond the last step; else Ready to be brought up to date. A file that
// is no database at all throws.
SchemaOutcome InspectSchema(sqlite3* db, std::span<const SchemaStep> steps);

// Brings the file up to `steps` in one write transaction (which another process may be holding:
// then it waits on the busy timeout, and finds the steps done), stamping a new file with the
// application id. A file that is not Ready is left as it was. SQLite's failures are thrown.
SchemaOutcome Migrate(sqlite3* db, std::span<const SchemaStep> steps);
