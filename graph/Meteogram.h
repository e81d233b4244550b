#pragma once

#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "observations/ObservationRecord.h"
#include "platform/CalendarTime.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A station window's meteogram: the station in the title, the time of day on the X axis and up
// to four curves chosen by the user's settings, with the newest observation as a text panel and
// a wind dial in the legend column. It draws when its window paints, and tells the window when
// it has changed.
class Meteogram {
public:
    // `station` and `series` are the window's own; `settings` holds the user's parameters;
    // `changed` is called after every row added.
    Meteogram(std::unique_ptr<CGraph>& graph, StationRecord& station,
              const ObservationSeries& series, const StationRecord& settings,
              std::function<void()> changed = {});

    // The minutes between the two newest observations (modulo a day) into iPeriodMinutes and
    // the whole hours the local clock was ahead of UTC when the newest was observed into
    // iUtcDeltaHours. Needs two observations.
    int ComputeTimeAxis();

    // Title, X axis and the series table from the settings of the moment; the graph's user
    // parameters stay. The quantities chosen here stay the window's until its next set-up.
    void SetUpMeteogram();

    // One row from an observation in display units, for the quantities of the set-up; the panel;
    // then the window is told.
    void AddObservation(const ObservationRecord& record);

    // The whole meteogram: the graph, and with the legend the wind dial of the newest observation
    // added (in the units it was added in).
    void Draw(platform::DrawingSurface& dc) const;

    // A line below the graph, in dark red (a refresh that failed, say); empty takes it away and
    // gives the graph its whole room back.
    void SetFootNote(const std::string& note) { m_footNote = note; }
    const std::string& FootNote() const { return m_footNote; }

    // "%02d:%02d" of the observation in UTC, or in local time by the zone's rules for the
    // moment it was observed.
    std::string TimeLabel(const ObservationRecord& record) const;

    // Which quantities the series table holds, in its order.
    struct Quantities {
        bool temperature = false;
        bool pressure = false;
        bool windSpeed = false;
        bool windDirection = false;
    };
    const Quantities& Shown() const { return m_shown; }

    // The nine lines of the observation panel.
    static std::vector<std::string> PanelLines(const ObservationRecord& record);

    // The readout: a thin cursor at one observation (a row of the graph) with its time and the
    // value of each quantity shown, taken from the observation as it was added. None is shown
    // until the pointer or a key asks for it; without one the picture is the meteogram alone.
    // The row nearest to the point when it lies inside the plot of the last drawing; none
    // outside it or without rows.
    std::optional<int> RowAt(int x, int y) const;
    void SetReadout(std::optional<int> row);
    const std::optional<int>& Readout() const { return m_readout; }
    // One observation earlier (-1) or later (+1), staying within the rows; from none, the
    // newest.
    void MoveReadout(int step);
    // The time as the axis labels it, then each quantity of the set-up with its unit, two
    // blanks apart ("14:50  10.0 degC  1006.8 hPa  6.2 m/s  290deg" with the degree sign, or
    // degF, inHg and mph in imperial style); a value the report lacks is "-" without a unit.
    std::string ReadoutText(int row) const;
    // The observations in the order of the graph's rows (oldest first), in display units.
    const std::vector<ObservationRecord>& Rows() const { return m_rows; }

private:
    void DrawReadout(platform::DrawingSurface& dc, int row) const;

    std::unique_ptr<CGraph>& m_graph;
    StationRecord& m_station;
    const ObservationSeries& m_series;
    const StationRecord& m_settings;
    std::function<void()> m_changed;
    Quantities m_shown;
    std::optional<ObservationRecord> m_newest;
    std::string m_footNote;
    std::vector<ObservationRecord> m_rows;
    std::optional<int> m_readout;
};
