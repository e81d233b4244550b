#pragma once

#include "observations/FlightCategory.h"
#include "observations/MetarDecoder.h"
#include "observations/ObservationRecord.h"

#include <optional>

// Fills dPressure (hPa minus 1000), dPressureInHg, dWindSpeed (m/s) and dWindDirection
// (degrees) of a row from its coded report, or from the translated cells where the report
// lacks the group. A value found nowhere is NaN.
void FillReportNumbers(ObservationRecord& record);

// The numbers of a coded report as the translated page shows them; the latest-report table
// lists the same, so that a station's row and its page never disagree. Missing is none, never 0.
struct ReportValues {
    std::optional<double> temperatureC; // as coded, whole degrees
    std::optional<double> dewpointC;
    std::optional<int> windDirectionDeg; // none for a variable wind
    std::optional<int> windSpeedKt;
    std::optional<int> windGustKt;
    std::optional<int> visibilityM;
    std::optional<int> ceilingFt;       // none without a ceiling
    std::optional<double> altimeterHpa; // to the tenth
    std::optional<FlightCategory> flightCategory;

    bool operator==(const ReportValues&) const = default;
};

ReportValues ValuesOf(const MetarReport& report);

// A speed in whole knots, as the page and the table give it.
int WholeKnots(double knots);
