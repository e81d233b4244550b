#include "tests/store/StoreTestSupport.h"

#include "observations/ReportPage.h"
#include "platform/CalendarTime.h"
#include "tests/support/ReportPageBuilder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <limits>

namespace store_testing {

ObservationSeries PageRows(int count) {
    ObservationSeries series;
    ObservationRecord working;
    ReadReportRows(testing_support::PageHtml(testing_support::SampleRows(count)), &series, working);
    const double missing = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < series.GetSize(); ++i) {
        ObservationRecord& r = series[i];
        if (i % 3 == 1)
            r.dTemperature = missing;
        if (i % 3 == 2)
            r.dPressure = r.dPressureInHg = missing;
        if (i % 4 == 3)
            r.dWindSpeed = r.dWindDirection = r.dTemperature = 0.0;
    }
    return series;
}

ObservationRecord RowAt(std::int64_t instant, double temperature) {
    const auto tm = platform::UtcBreakdown(instant);
    ObservationRecord record;
    record.tObservedUtc = instant;
    record.tObserved = *platform::MakeLocalTime(
        {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec});
    record.dTemperature = temperature;
    record.strTemperature = "12.5\xB0"
                            "C";
    record.strReport = "KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012";
    return record;
}

std::vector<std::int64_t> Instants(const ObservationSeries& series) {
    std::vector<std::int64_t> instants;
    for (const ObservationRecord& r : series)
        instants.push_back(ObservedInstant(r));
    return instants;
}

std::vector<ObservationRecord> Comparable(const ObservationSeries& series) {
    std::vector<ObservationRecord> records(series.begin(), series.end());
    for (ObservationRecord& r : records)
        for (double* value : {&r.dTemperature, &r.dPressure, &r.dPressureInHg, &r.dWindSpeed,
                              &r.dWindDirection, &r.dPointLongitude, &r.dPointColatitude})
            if (std::isnan(*value))
                *value = -1e300;
    return records;
}

namespace {

struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const std::string& file) {
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << file;
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close(db); }
};

} // namespace

std::string QueryFile(const std::string& file, const std::string& sql) {
    Connection c(file);
    sqlite3_stmt* statement = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    else
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(c.db);
    sqlite3_finalize(statement);
    return value;
}

void ExecuteOnFile(const std::string& file, const std::string& sql) {
    Connection c(file);
    char* error = nullptr;
    if (sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
    sqlite3_free(error);
}

ChildProcess::ChildProcess(const std::function<int(const std::function<void(int)>& send)>& body) {
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "no pipe";
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        const int out = fds[1];
        const int status = body([out](int value) {
            if (write(out, &value, sizeof value) != sizeof value)
                _exit(120);
        });
        _exit(status);
    }
    close(fds[1]);
    m_read = fds[0];
    if (m_pid < 0)
        ADD_FAILURE() << "no fork";
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        Kill();
        Wait();
    }
    if (m_read >= 0)
        close(m_read);
}

std::optional<int> ChildProcess::Receive() {
    int value = 0;
    if (m_read < 0 || read(m_read, &value, sizeof value) != sizeof value)
        return std::nullopt;
    return value;
}

void ChildProcess::Kill() {
    if (m_pid > 0)
        kill(m_pid, SIGKILL);
}

int ChildProcess::Wait() {
    if (m_pid <= 0)
        return -1;
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void DropPrivileges() {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        _exit(121);
}

} // namespace store_testing
