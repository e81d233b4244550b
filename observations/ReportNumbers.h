#pragma once

#include "observations/ObservationRecord.h"

// Fills dPressure (hPa minus 1000), dPressureInHg, dWindSpeed (m/s) and dWindDirection
// (degrees) of a row from its coded report, or from the translated cells where the report
// lacks the group. A value found nowhere is NaN.
void FillReportNumbers(ObservationRecord& record);
