#pragma once

#include "observations/ObservationRecord.h"
#include "platform/CalendarTime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The observations the viewer has read, kept in the working folder across runs.
//
// One file, "Observations.sqlite" in the folder the caller names, in SQLite's write-ahead-log
// mode: several stores (in one process or in several) may use the same folder at once, each
// waiting up to kBusyTimeoutMs for the other's write. Rows are keyed by station and observed
// instant (ObservedInstant); a number the record holds as NaN is stored as NULL and comes back
// as NaN. The store is used from one thread.
//
// Nothing here throws or shows anything. An operation that fails returns its empty or false
// result; what the caller should tell the user waits in TakeNotices:
// - a file that is not a database, is damaged or was written by a newer program is renamed
//   aside (never overwritten) and a fresh file started, whether that is found at open or by a
//   later operation;
// - a store that cannot use its file (read-only folder, full disk, ...) says so once per
//   outage, and the caller carries on with what it has in memory.
inline constexpr const char* kObservationStoreFile = "Observations.sqlite";

struct StoreNotice {
    enum class Kind {
        // The old file now lies at `setAside` ("Observations.sqlite.damaged-YYYYMMDD-HHMMSS",
        // local time, with its -wal and -shm beside it); the store goes on with a new, empty
        // file.
        SetAside,
        // The store cannot read or write its file. Told again only after a write has
        // succeeded in between.
        Unavailable,
    };
    Kind kind = Kind::Unavailable;
    std::filesystem::path file;     // the store's file
    std::filesystem::path setAside; // SetAside only
    std::string reason;             // SQLite's or the check's own words, for a detail line
};

enum class ExportResult { Written, Cancelled, Unavailable, CannotWrite };

// Told the rows written so far and the rows of the period in all (0, total first, then every
// few hundred rows, total, total last); returning false cancels the export.
using ExportProgress = std::function<bool(int done, int total)>;

class ObservationStore {
public:
    static constexpr int kDefaultKeepDays = 90;
    static constexpr int kMinKeepDays = 1;
    static constexpr int kMaxKeepDays = 3650;
    static constexpr int kBusyTimeoutMs = 5000;

    // Opens the store of `folder` (creating the file, or bringing an older one up to date) and
    // removes the observations older than `keepDays` (brought into 1..3650). A fault leaves the
    // object usable: see Available and TakeNotices.
    explicit ObservationStore(const std::filesystem::path& folder, int keepDays = kDefaultKeepDays);
    ~ObservationStore();
    ObservationStore(const ObservationStore&) = delete;
    ObservationStore& operator=(const ObservationStore&) = delete;

    // False when the file could not be opened at all: every operation then fails at once.
    bool Available() const;
    const std::filesystem::path& File() const;

    // What happened since the last call, oldest first; each notice is handed out once.
    std::vector<StoreNotice> TakeNotices();

    // Stores the rows of one page of the station in one transaction: a row replaces the
    // stored row of the same instant, so a later page wins; of rows sharing an instant within
    // the series the first is kept (as MergeObservations does). Store the records as the page
    // reader gives them (metric, before ToImperial). False when nothing was stored.
    bool SaveSeries(const std::string& icao, const ObservationSeries& series);

    // The station's rows observed in [fromUtc, toUtc] (seconds since 1970, both ends
    // included), newest first, equal to the records saved: tObservedUtc is the instant and
    // tObserved its local-breakdown value as the page reader makes it (a record saved with
    // tObservedUtc 0 comes back with it filled in). Empty when there are none or on a fault.
    ObservationSeries ReadPeriod(const std::string& icao, std::int64_t fromUtc, std::int64_t toUtc);

    // The station's newest row, for the age of its last report; none without one.
    std::optional<ObservationRecord> Newest(const std::string& icao);

    // Every station with stored rows, in ICAO order.
    std::vector<std::string> Stations();

    // Removes the observations older than the days to keep, counted back from `now`, and
    // compacts the file when that would shrink it by more than half. Runs at open; the caller
    // runs it once a day. The rows removed.
    int Prune(std::int64_t now = platform::CurrentTime());

    // A new number of days to keep (brought into 1..3650), used from the next Prune on.
    void SetKeepDays(int keepDays);

    // Writes the station's rows of [fromUtc, toUtc], oldest first, as CSV (see
    // store/ObservationCsv.h) to `target`: to a file beside it first, renamed over it at the
    // end, so a fault or a cancel leaves `target` as it was.
    ExportResult ExportCsv(const std::string& icao, std::int64_t fromUtc, std::int64_t toUtc,
                           const std::filesystem::path& target,
                           const ExportProgress& progress = {});

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
