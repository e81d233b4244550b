#include "store/ObservationStore.h"

#include "platform/CText.h"
#include "platform/FileReplace.h"
#include "store/ObservationCsv.h"
#include "store/Sqlite.h"
#include "store/StoreSchema.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>
#include <utility>

namespace {

// The columns after the key, and the same of the row an insert brings.
#define VENTORA_STORE_VALUES                                                                       \
    "temperature_c, pressure_hpa_less_1000, pressure_inhg, wind_speed_ms, wind_direction_deg, "    \
    "conditions_at, temperature_text, dewpoint_text, pressure_text, winds_text, "                  \
    "visibility_text, ceiling_text, clouds_text, present_weather_text, report"
#define VENTORA_STORE_NEW_VALUES                                                                   \
    "excluded.temperature_c, excluded.pressure_hpa_less_1000, excluded.pressure_inhg, "            \
    "excluded.wind_speed_ms, excluded.wind_direction_deg, excluded.conditions_at, "                \
    "excluded.temperature_text, excluded.dewpoint_text, excluded.pressure_text, "                  \
    "excluded.winds_text, excluded.visibility_text, excluded.ceiling_text, "                       \
    "excluded.clouds_text, excluded.present_weather_text, excluded.report"
#define VENTORA_STORE_COLUMNS "observed_utc, " VENTORA_STORE_VALUES

// The record's fields in the order of the columns after observed_utc.
constexpr double ObservationRecord::*kNumbers[] = {
    &ObservationRecord::dTemperature,   &ObservationRecord::dPressure,
    &ObservationRecord::dPressureInHg,  &ObservationRecord::dWindSpeed,
    &ObservationRecord::dWindDirection,
};
constexpr std::string ObservationRecord::*kTexts[] = {
    &ObservationRecord::strConditionsAt,   &ObservationRecord::strTemperature,
    &ObservationRecord::strDewpoint,       &ObservationRecord::strPressure,
    &ObservationRecord::strWinds,          &ObservationRecord::strVisibility,
    &ObservationRecord::strCeiling,        &ObservationRecord::strClouds,
    &ObservationRecord::strPresentWeather, &ObservationRecord::strReport,
};
constexpr int kFirstNumber = 1;

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kProgressRows = 256;

// The value whose local breakdown shows the instant's UTC fields, as the page reader sets
// tObserved.
std::int64_t LocalBreakdownValue(std::int64_t instant) {
    const auto tm = platform::UtcBreakdown(instant);
    if (!tm)
        return instant;
    const auto value = platform::MakeLocalTime(
        {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec});
    return value ? *value : instant;
}

ObservationRecord RecordOfRow(sqlite3_stmt* row) {
    ObservationRecord record;
    record.tObservedUtc = sqlite3_column_int64(row, 0);
    record.tObserved = LocalBreakdownValue(record.tObservedUtc);
    int column = kFirstNumber;
    for (const auto member : kNumbers) {
        record.*member = sqlite3_column_type(row, column) == SQLITE_NULL
                             ? std::numeric_limits<double>::quiet_NaN()
                             : sqlite3_column_double(row, column);
        ++column;
    }
    for (const auto member : kTexts) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
        record.*member = Cp1252FromUtf8(
            text ? std::string_view(text,
                                    static_cast<std::size_t>(sqlite3_column_bytes(row, column)))
                 : std::string_view());
        ++column;
    }
    return record;
}

void BindText(sqlite3* db, sqlite3_stmt* statement, int index, const std::string& text) {
    const std::string utf8 = Utf8FromCp1252(text);
    sqlite::Check(db, sqlite3_bind_text(statement, index, utf8.data(),
                                        static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
}

int ClampKeepDays(int keepDays) {
    return std::clamp(keepDays, ObservationStore::kMinKeepDays, ObservationStore::kMaxKeepDays);
}

// "Observations.sqlite.damaged-20261207-045100", or with "-2", "-3", ... when taken.
std::filesystem::path AsideName(const std::filesystem::path& file) {
    const auto tm = platform::LocalBreakdown(platform::CurrentTime());
    std::filesystem::path base = file;
    base += tm ? platform::Format(".damaged-%04d%02d%02d-%02d%02d%02d", tm->tm_year + 1900,
                                  tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec)
               : std::string(".damaged");
    std::filesystem::path name = base;
    for (int n = 2;
         std::filesystem::exists(name) || std::filesystem::exists(name.string() + "-wal"); ++n)
        name = base.string() + "-" + std::to_string(n);
    return name;
}

// Switches the file to the write-ahead log. A new file's switch takes a lock without the busy
// handler: while another process holds it (creating the same file), wait here instead.
std::string SwitchToLog(sqlite3* db) {
    constexpr int kStepMs = 5;
    for (int waited = 0;; waited += kStepMs) {
        try {
            return sqlite::QueryText(db, "PRAGMA journal_mode = WAL");
        } catch (const sqlite::Error& error) {
            if (error.Code() != SQLITE_BUSY || waited >= ObservationStore::kBusyTimeoutMs)
                throw;
        }
        sqlite3_sleep(kStepMs);
    }
}

std::optional<std::string> ReasonToSetAside(sqlite3* db, SchemaOutcome outcome) {
    switch (outcome) {
    case SchemaOutcome::Ready:
        break;
    case SchemaOutcome::Newer:
        return platform::Format(
            "its schema version %lld is newer than this program's %d",
            static_cast<long long>(sqlite::QueryInteger(db, "PRAGMA user_version")),
            CurrentSchemaVersion());
    case SchemaOutcome::Foreign:
        return std::string("it is another program's file");
    }
    return std::nullopt;
}

} // namespace

struct ObservationStore::Impl {
    std::filesystem::path file;
    int keepDays = kDefaultKeepDays;
    sqlite::Database db; // after the statements in destruction order
    sqlite::Statement save, period, periodOldestFirst, count, newest, nextStation, prune;
    std::vector<StoreNotice> notices;
    bool failing = false;

    // Opens the file; the reason to set it aside when it is not a store of this program.
    // SQLite's failures are thrown, a damaged file's among them.
    std::optional<std::string> TryOpen();
    void Close();
    // Opens the file, setting aside one that cannot be used and starting afresh.
    void Open();
    // Sets the file aside and opens a fresh one; false, told, when it cannot be moved.
    bool Replace(const std::string& reason);
    void NoteUnavailable(const std::string& reason);
    // Every station with rows, one seek each; SQLite's failures are thrown.
    std::vector<std::string> StationList();
    // Runs an operation on the open file: false, with the fault handled, when it fails. A
    // write that succeeds ends an outage.
    template <typename Body> bool Run(bool write, Body&& body);
};

std::optional<std::string> ObservationStore::Impl::TryOpen() {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(file.c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    db.reset(raw); // a handle comes back even when the open fails
    sqlite::Check(raw, opened);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw sqlite::Error(SQLITE_READONLY, "the file is read-only");
    // A file of another program or a newer one is set aside as it is: checked before the
    // first write.
    if (auto reason = ReasonToSetAside(raw, InspectSchema(raw, SchemaSteps())))
        return reason;
    if (SwitchToLog(raw) != "wal")
        throw sqlite::Error(SQLITE_CANTOPEN, "the file cannot have a write-ahead log");
    // With the log, a commit survives the process being killed; only a power cut can take
    // the last few, and never the file's consistency.
    sqlite::Execute(raw, "PRAGMA synchronous = NORMAL");
    if (auto reason = ReasonToSetAside(raw, Migrate(raw, SchemaSteps())))
        return reason;

    try {
        // A row the page repeats unchanged (most of a refresh) is not written again.
        save = sqlite::Prepare(
            raw, "INSERT INTO observation (station, " VENTORA_STORE_COLUMNS ") VALUES (?1, ?2, "
                 "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17) "
                 "ON CONFLICT (station, observed_utc) DO UPDATE SET (" VENTORA_STORE_VALUES
                 ") = (" VENTORA_STORE_NEW_VALUES ") WHERE (" VENTORA_STORE_VALUES
                 ") IS NOT (" VENTORA_STORE_NEW_VALUES ")");
        period = sqlite::Prepare(raw, "SELECT " VENTORA_STORE_COLUMNS " FROM observation WHERE "
                                      "station = ?1 AND observed_utc BETWEEN ?2 AND ?3 "
                                      "ORDER BY observed_utc DESC");
        periodOldestFirst =
            sqlite::Prepare(raw, "SELECT " VENTORA_STORE_COLUMNS " FROM observation WHERE "
                                 "station = ?1 AND observed_utc BETWEEN ?2 AND ?3 "
                                 "ORDER BY observed_utc");
        count = sqlite::Prepare(raw, "SELECT count(*) FROM observation WHERE station = ?1 AND "
                                     "observed_utc BETWEEN ?2 AND ?3");
        newest = sqlite::Prepare(raw, "SELECT " VENTORA_STORE_COLUMNS " FROM observation WHERE "
                                      "station = ?1 ORDER BY observed_utc DESC LIMIT 1");
        // One seek per station instead of a pass over every row.
        nextStation = sqlite::Prepare(
            raw, "SELECT station FROM observation WHERE station > ?1 ORDER BY station LIMIT 1");
        // Station by station, each one's oldest rows lie together.
        prune = sqlite::Prepare(raw,
                                "DELETE FROM observation WHERE station = ?1 AND observed_utc < ?2");
    } catch (const sqlite::Error& error) {
        if (error.Damaged())
            throw;
        // A file of the current version without the expected tables and columns.
        return std::string("its tables are not this program's: ") + error.what();
    }
    return std::nullopt;
}

void ObservationStore::Impl::Close() {
    for (sqlite::Statement* statement :
         {&save, &period, &periodOldestFirst, &count, &newest, &nextStation, &prune})
        statement->reset();
    db.reset();
}

void ObservationStore::Impl::Open() {
    std::string reason;
    try {
        const auto aside = TryOpen();
        if (!aside)
            return;
        reason = *aside;
    } catch (const sqlite::Error& error) {
        if (!error.Damaged()) {
            Close();
            NoteUnavailable(error.what());
            return;
        }
        reason = error.what();
    }
    Replace(reason);
}

bool ObservationStore::Impl::Replace(const std::string& reason) {
    Close();
    const std::filesystem::path aside = AsideName(file);
    std::error_code error;
    std::filesystem::rename(file, aside, error);
    if (error) {
        NoteUnavailable("the file cannot be used (" + reason + ") nor moved aside (" +
                        error.message() + ")");
        return false;
    }
    notices.push_back({StoreNotice::Kind::SetAside, file, aside, reason});
    // The log and its index belong to the old file: a new file would replay that log into
    // itself. What cannot go with the old file goes, or no new file is made.
    for (const char* suffix : {"-wal", "-shm"}) {
        const std::filesystem::path companion = file.string() + suffix;
        std::filesystem::rename(companion, aside.string() + suffix, error);
        if (error && std::filesystem::exists(companion) &&
            !std::filesystem::remove(companion, error)) {
            NoteUnavailable("the log of the old file cannot be moved (" + error.message() + ")");
            return false;
        }
    }
    std::string failure;
    try {
        const auto again = TryOpen();
        if (!again)
            return true;
        failure = *again; // another process made a file of its own there meanwhile
    } catch (const sqlite::Error& error) {
        failure = error.what();
    }
    Close();
    NoteUnavailable(failure);
    return false;
}

void ObservationStore::Impl::NoteUnavailable(const std::string& reason) {
    if (failing)
        return;
    failing = true;
    notices.push_back({StoreNotice::Kind::Unavailable, file, {}, reason});
}

template <typename Body> bool ObservationStore::Impl::Run(bool write, Body&& body) {
    if (!db)
        return false;
    try {
        body(db.get());
        if (write)
            failing = false;
        return true;
    } catch (const sqlite::Error& error) {
        if (error.Damaged())
            Replace(error.what());
        else
            NoteUnavailable(error.what());
        return false;
    }
}

ObservationStore::ObservationStore(const std::filesystem::path& folder, int keepDays)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->file = folder / kObservationStoreFile;
    m_impl->keepDays = ClampKeepDays(keepDays);
    m_impl->Open();
    Prune();
}

ObservationStore::~ObservationStore() = default;

bool ObservationStore::Available() const {
    return m_impl->db != nullptr;
}

const std::filesystem::path& ObservationStore::File() const {
    return m_impl->file;
}

std::vector<StoreNotice> ObservationStore::TakeNotices() {
    return std::exchange(m_impl->notices, {});
}

bool ObservationStore::SaveSeries(const std::string& icao, const ObservationSeries& series) {
    return m_impl->Run(true, [&](sqlite3* db) {
        sqlite3_stmt* save = m_impl->save.get();
        sqlite::Transaction transaction(db);
        // Last to first: the first of rows sharing an instant is written last and stays.
        for (int i = series.GetSize() - 1; i >= 0; --i) {
            const ObservationRecord& record = series[i];
            const sqlite::Reset reset(save);
            sqlite::Check(db, sqlite3_bind_text(save, 1, icao.data(), static_cast<int>(icao.size()),
                                                SQLITE_STATIC));
            sqlite::Check(db, sqlite3_bind_int64(save, 2, ObservedInstant(record)));
            int index = kFirstNumber + 2;
            for (const auto member : kNumbers) {
                const double value = record.*member;
                sqlite::Check(db, std::isnan(value) ? sqlite3_bind_null(save, index)
                                                    : sqlite3_bind_double(save, index, value));
                ++index;
            }
            for (const auto member : kTexts)
                BindText(db, save, index++, record.*member);
            sqlite::Check(db, sqlite3_step(save));
        }
        transaction.Commit();
    });
}

ObservationSeries ObservationStore::ReadPeriod(const std::string& icao, std::int64_t fromUtc,
                                               std::int64_t toUtc) {
    ObservationSeries series;
    const bool read = m_impl->Run(false, [&](sqlite3* db) {
        sqlite3_stmt* period = m_impl->period.get();
        const sqlite::Reset reset(period);
        sqlite3_bind_text(period, 1, icao.data(), static_cast<int>(icao.size()), SQLITE_STATIC);
        sqlite3_bind_int64(period, 2, fromUtc);
        sqlite3_bind_int64(period, 3, toUtc);
        while (sqlite::Check(db, sqlite3_step(period)) == SQLITE_ROW)
            series.Add(RecordOfRow(period));
    });
    if (!read)
        series.RemoveAll();
    return series;
}

std::optional<ObservationRecord> ObservationStore::Newest(const std::string& icao) {
    std::optional<ObservationRecord> record;
    m_impl->Run(false, [&](sqlite3* db) {
        sqlite3_stmt* newest = m_impl->newest.get();
        const sqlite::Reset reset(newest);
        sqlite3_bind_text(newest, 1, icao.data(), static_cast<int>(icao.size()), SQLITE_STATIC);
        if (sqlite::Check(db, sqlite3_step(newest)) == SQLITE_ROW)
            record = RecordOfRow(newest);
    });
    return record;
}

std::vector<std::string> ObservationStore::Impl::StationList() {
    std::vector<std::string> stations;
    sqlite3_stmt* next = nextStation.get();
    for (std::string after;;) {
        const sqlite::Reset reset(next);
        sqlite3_bind_text(next, 1, after.data(), static_cast<int>(after.size()), SQLITE_STATIC);
        if (sqlite::Check(db.get(), sqlite3_step(next)) != SQLITE_ROW)
            break;
        after = reinterpret_cast<const char*>(sqlite3_column_text(next, 0));
        stations.push_back(after);
    }
    return stations;
}

std::vector<std::string> ObservationStore::Stations() {
    std::vector<std::string> stations;
    const bool read = m_impl->Run(false, [&](sqlite3*) { stations = m_impl->StationList(); });
    if (!read)
        stations.clear();
    return stations;
}

int ObservationStore::Prune(std::int64_t now) {
    int removed = 0;
    m_impl->Run(true, [&](sqlite3* db) {
        {
            sqlite::Transaction transaction(db);
            for (const std::string& station : m_impl->StationList()) {
                sqlite3_stmt* prune = m_impl->prune.get();
                const sqlite::Reset reset(prune);
                sqlite3_bind_text(prune, 1, station.data(), static_cast<int>(station.size()),
                                  SQLITE_STATIC);
                sqlite3_bind_int64(prune, 2, now - m_impl->keepDays * kSecondsPerDay);
                sqlite::Check(db, sqlite3_step(prune));
                removed += sqlite3_changes(db);
            }
            transaction.Commit();
        }
        const auto pages = sqlite::QueryInteger(db, "PRAGMA page_count");
        const auto unused = sqlite::QueryInteger(db, "PRAGMA freelist_count");
        if (unused * 2 <= pages)
            return;
        try {
            sqlite::Execute(db, "VACUUM");
            // The rewrite went through the log: give its space back as well.
            sqlite::Execute(db, "PRAGMA wal_checkpoint(TRUNCATE)");
        } catch (const sqlite::Error& error) {
            // Busy or short of room for the copy: the space comes back at a later prune.
            if (error.Damaged())
                throw;
        }
    });
    return removed;
}

void ObservationStore::SetKeepDays(int keepDays) {
    m_impl->keepDays = ClampKeepDays(keepDays);
}

ExportResult ObservationStore::ExportCsv(const std::string& icao, std::int64_t fromUtc,
                                         std::int64_t toUtc, const std::filesystem::path& target,
                                         const ExportProgress& progress) {
    std::string csv = ObservationCsvHeader();
    bool cancelled = false;
    const bool read = m_impl->Run(false, [&](sqlite3* db) {
        // One snapshot for the count and the rows, whatever another process writes meanwhile.
        const sqlite::Transaction snapshot(db, sqlite::Transaction::Kind::Read);
        int total = 0;
        {
            sqlite3_stmt* count = m_impl->count.get();
            const sqlite::Reset reset(count);
            sqlite3_bind_text(count, 1, icao.data(), static_cast<int>(icao.size()), SQLITE_STATIC);
            sqlite3_bind_int64(count, 2, fromUtc);
            sqlite3_bind_int64(count, 3, toUtc);
            sqlite::Check(db, sqlite3_step(count));
            total = sqlite3_column_int(count, 0);
        }
        const auto goOn = [&](int done) {
            cancelled = progress && !progress(done, total);
            return !cancelled;
        };
        if (!goOn(0))
            return;
        sqlite3_stmt* rows = m_impl->periodOldestFirst.get();
        const sqlite::Reset reset(rows);
        sqlite3_bind_text(rows, 1, icao.data(), static_cast<int>(icao.size()), SQLITE_STATIC);
        sqlite3_bind_int64(rows, 2, fromUtc);
        sqlite3_bind_int64(rows, 3, toUtc);
        int done = 0;
        while (sqlite::Check(db, sqlite3_step(rows)) == SQLITE_ROW) {
            AppendObservationCsvRow(csv, icao, RecordOfRow(rows));
            if (++done % kProgressRows == 0 && !goOn(done))
                return;
        }
        goOn(done);
    });
    if (!read)
        return ExportResult::Unavailable;
    if (cancelled)
        return ExportResult::Cancelled;
    return platform::ReplaceFileContents(target, csv) == platform::ReplaceResult::Written
               ? ExportResult::Written
               : ExportResult::CannotWrite;
}
