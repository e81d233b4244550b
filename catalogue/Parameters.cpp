#include "catalogue/Parameters.h"

#include <cmath>

void SetDefaultParameters(StationRecord& c) {
    c.bShowPressure = 1;
    c.bShowTemperature = 1;
    c.bShowWindDirection = 1;
    c.bShowWindSpeed = 1;
    c.bWriteFile = 0;
    c.bMetricStyle = 1;
    c.bShowTimeUTC = 0;
    c.iShowPastHours = kDefaultPastHours;
    c.dNearestMinutes = kDefaultNearestMinutes;
}

void KeepParametersInRange(StationRecord& c) {
    if (c.iShowPastHours < kMinPastHours || c.iShowPastHours > kMaxPastHours)
        c.iShowPastHours = kDefaultPastHours;
    if (!std::isfinite(c.dNearestMinutes) || c.dNearestMinutes <= 0 ||
        c.dNearestMinutes > kMaxNearestMinutes)
        c.dNearestMinutes = kDefaultNearestMinutes;
}
