#pragma once

#include "catalogue/StationRecord.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// One coded report and the UTC time it was observed (seconds since 1970).
struct TimedReport {
    std::int64_t time = 0;
    std::string raw;

    bool operator==(const TimedReport&) const = default;
};

// Raised by a source that cannot give reports through a fault of its own (an upstream service
// that does not answer, a folder it cannot read): the server then answers with an error status
// and a page that says so, not with the page of a station without reports.
class SourceFailure : public std::runtime_error {
public:
    SourceFailure(int status, const std::string& reason)
        : std::runtime_error(reason), m_status(status) {}
    int Status() const { return m_status; }

private:
    int m_status;
};

// Where the server's reports come from. Implementations are called from the server's worker
// threads at once and must be safe for that.
class ReportSource {
public:
    virtual ~ReportSource() = default;

    // The station's reports observed in [from, to], newest first; SourceFailure when the
    // source cannot tell.
    virtual std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                             std::int64_t to) = 0;

    // The same without waiting for anything (a service to answer): none when the source would
    // have to. Sources that never wait answer as Reports does.
    virtual std::optional<std::vector<TimedReport>>
    ReportsAtHand(const StationRecord& station, std::int64_t from, std::int64_t to) {
        return Reports(station, from, to);
    }

    // The newest report of each station observed in [from, to], in the stations' order (none
    // for a station without one); SourceFailure when the source cannot tell. Each equals the
    // first report that Reports would give the station at the same moment.
    virtual std::vector<std::optional<TimedReport>>
    NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                  std::int64_t to);

    // The same without waiting for anything: none when the source would have to.
    virtual std::optional<std::vector<std::optional<TimedReport>>>
    NewestReportsAtHand(const std::vector<const StationRecord*>& stations, std::int64_t from,
                        std::int64_t to) {
        return NewestReports(stations, from, to);
    }

    // Changes whenever reports already given may have changed (not for new ones arriving in
    // time), so that pages made from them are made again.
    virtual std::uint64_t Generation() const { return 0; }

    // Simulated pages say so in their heading.
    virtual bool Simulated() const { return false; }

    // The server is stopping: whatever the source waits for is given up (from any thread).
    virtual void Stop() {}
};

// Strips a leading "METAR " or "SPECI " and surrounding white space.
std::string CleanReport(const std::string& line);
