#pragma once

#include "platform/GrowableArray.h"

#include <cstdint>
#include <string>

// One decoded report row, or a converted map point (the two groups are never both in use).
struct ObservationRecord {
    double dPointLongitude = 0.0;  // map degrees, 0..360
    double dPointColatitude = 0.0; // map degrees, 0..180
    double dTemperature = 0.0;     // degrees Celsius
    double dPressure = 0.0;        // hPa minus 1000
    double dWindSpeed = 0.0;       // m/s
    double dWindDirection = 0.0;   // degrees, 0..360
    double dPressureInHg = 0.0;    // inches of mercury
    std::string strPointLon;
    std::string strPointLat;
    std::string strConditionsAt;
    std::string strTemperature;
    std::string strDewpoint;
    std::string strPressure;
    std::string strWinds;
    std::string strVisibility;
    std::string strCeiling;
    std::string strClouds;
    std::string strPresentWeather;
    std::string strReport;
    // Seconds since 1970 whose local-time breakdown shows the report's own UTC date and time.
    std::int64_t tObserved = 0;
    // The observation's instant itself (seconds since 1970, UTC); 0 when only tObserved is known.
    std::int64_t tObservedUtc = 0;

    bool operator==(const ObservationRecord&) const = default;
};

// Element 0 is the page's first row, the newest observation.
using ObservationSeries = platform::GrowableArray<ObservationRecord>;

void ResetObservation(ObservationRecord& record);

// Converts to degrees Fahrenheit, inches Hg on the pressure axis and miles per hour.
void ToImperial(ObservationRecord& record);

// The instant the report was observed: tObservedUtc, or else the UTC fields that the local
// breakdown of tObserved shows, read as UTC.
std::int64_t ObservedInstant(const ObservationRecord& record);

// A report the server made up rather than received: it says so in its remarks.
bool IsSimulated(const ObservationRecord& record);

// The wind direction as the direction graph plots it: -18..+18 tens of degrees.
double WindDirectionTens(double degrees);
