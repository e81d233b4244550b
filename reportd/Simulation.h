#pragma once

#include "reportd/ReportSource.h"

// Synthetic weather: a pure function of the station and the time, so that the same request
// always gives the same page. Every report ends with "RMK SIMULATED".
struct SimulatedWeather {
    double temperatureC = 0;
    double dewpointC = 0;
    double pressureHpa = 0;
    int windDirection = 0; // degrees, 10-degree steps; 0 when calm
    int windKnots = 0;
    int gustKnots = 0;   // 0 without gusts
    std::string weather; // coded groups, "" for none
    int visibilityMetres = 9999;
    std::string clouds; // coded layers
};

SimulatedWeather SimulateWeather(const StationRecord& station, std::int64_t time);

// True for stations that report at :20 and :50, false for those reporting hourly at :50.
bool ReportsHalfHourly(const StationRecord& station);

// The coded report of the station at `time` (which should be one of its report times).
std::string SimulatedReport(const StationRecord& station, std::int64_t time);

class SimulatedSource : public ReportSource {
public:
    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override;
    std::vector<std::optional<TimedReport>>
    NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                  std::int64_t to) override;
    bool Simulated() const override { return true; }
};
