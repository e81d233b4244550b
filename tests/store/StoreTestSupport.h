#pragma once

#include "observations/ObservationRecord.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace store_testing {

// `count` rows as the page reader makes them from a served page, newest first, half an hour
// apart back from 2026-12-07 04:50 UTC, some with numbers missing (NaN) and some with zeros.
ObservationSeries PageRows(int count);

// A row observed at `instant` with the temperature given, its times set as the page reader
// sets them.
ObservationRecord RowAt(std::int64_t instant, double temperature = 12.5);

// The instants of a series in its order.
std::vector<std::int64_t> Instants(const ObservationSeries& series);

// The records with NaN written as a number no report gives, so that == sees a missing value
// equal to a missing value, as the store keeps it.
std::vector<ObservationRecord> Comparable(const ObservationSeries& series);

// The first column of the first row of a query on the file, through a connection of its own.
std::string QueryFile(const std::string& file, const std::string& sql);
void ExecuteOnFile(const std::string& file, const std::string& sql);

// A function run in a forked process, telling the parent numbers through a pipe.
class ChildProcess {
public:
    // The child runs `body` with what sends a number; its result is the exit status.
    explicit ChildProcess(const std::function<int(const std::function<void(int)>& send)>& body);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next number sent; none once the child has ended.
    std::optional<int> Receive();
    void Kill();
    // The exit status, or 128 plus the signal that ended the child.
    int Wait();

private:
    pid_t m_pid = -1;
    int m_read = -1;
};

// In a child running as root: becomes an unprivileged user, so that file permissions count.
void DropPrivileges();

} // namespace store_testing
