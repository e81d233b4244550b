#pragma once

#include "catalogue/ConditionClasses.h"
#include "catalogue/StationRecord.h"
#include "observations/LatestTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the maps colour their stations by, in the order of the setting "iMapColours": the red
// dots of the design, or each station's latest report by its flight category, temperature or
// wind.
enum class MapColours { Stations = 0, Category = 1, Temperature = 2, Wind = 3 };

inline constexpr int kMapColoursCount = 4;

// The names --map-colours takes ("stations", "category", "temperature", "wind"), and back.
std::string_view MapColoursName(MapColours mode);
std::optional<MapColours> ReadMapColours(std::string_view name);

// How a station is drawn in a colour mode.
struct StationMark {
    bool reported = false; // false: a small grey dot
    Rgb colour = kNoReportColour;
    int legendClass = -1; // the legend line it counts to
};

// One line of the legend: a colour and the class's name with its count ("VFR 5,210").
struct LegendLine {
    Rgb colour;
    std::string text;
};

// The latest-report table as the maps show it: each catalogue station's row, found by its ICAO
// code, the counts of the classes of a colour mode, the legend and the status texts.
class CurrentConditions {
public:
    // Replaces the table with one read at `fetchedAt` (seconds since 1970).
    void Take(LatestTable table, std::int64_t fetchedAt);
    // The table could not be had at `when`; the rows taken before stay.
    void NoteFailure(std::int64_t when) { m_failedAt = when; }

    bool HasTable() const { return m_fetchedAt != 0; }
    std::int64_t FetchedAt() const { return m_fetchedAt; }
    // Since when fetching fails; 0 while it does not.
    std::int64_t FailingSince() const { return m_failedAt; }
    int RowCount() const { return static_cast<int>(m_table.rows.size()); }
    int SkippedRows() const { return m_table.skippedRows; }

    // The row of a station's ICAO code; none without one.
    const LatestRow* RowOf(std::string_view icao) const;

    // How the station is drawn in the mode (not Stations).
    StationMark MarkOf(MapColours mode, const LatestRow* row) const;

    // The legend of the mode for the stations: the classes with their counts, then the stations
    // without a report ("no report 1,171"). `metric`: temperatures in degrees Celsius, else
    // Fahrenheit.
    std::vector<LegendLine> Legend(MapColours mode, const StationTable& stations,
                                   bool metric) const;
    // The table's time, "as of 14:55 UTC", and while fetching fails how old it is as at `now`
    // ("as of 14:55 UTC, 32 min ago"); empty before the first table.
    std::string AsOf(std::int64_t now) const;

    // "Current conditions: 8,612 stations, as of 14:55 UTC" and the rows passed over.
    std::string StatusText() const;

private:
    LatestTable m_table;
    std::unordered_map<std::string, int> m_rowByIcao;
    std::int64_t m_fetchedAt = 0;
    std::int64_t m_failedAt = 0;
};

// "5,210": a count with thousands separated by commas.
std::string GroupedCount(long long count);

// "14:50 UTC"; "14:50 UTC, 23 min ago" with the age (in minutes below two hours, else hours,
// else days).
std::string UtcClock(std::int64_t instant);
std::string UtcClockAndAge(std::int64_t instant, std::int64_t now);

// The pointer's tip for a station: name and ICAO code, observed time and age, temperature, dew
// point, wind, visibility, ceiling, category and the coded report; "no report" lines for a
// station without a row. Units as the Parameters choose.
std::string StationTip(const StationRecord& station, const LatestRow* row, bool metric,
                       std::int64_t now);
