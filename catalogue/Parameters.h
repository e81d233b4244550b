#pragma once

#include "catalogue/StationRecord.h"

// The user's display parameters held in a station record (the main frame's current station):
// their defaults and the ranges outside which a stored or typed value is not used.
inline constexpr int kDefaultPastHours = 24;
inline constexpr int kMinPastHours = 1;
inline constexpr int kMaxPastHours = 96; // what the report server gives
inline constexpr double kDefaultNearestMinutes = 90.0;
inline constexpr double kMaxNearestMinutes = 180.0 * 60.0; // half the world across

void SetDefaultParameters(StationRecord& current);

// Hours outside 1..96 and a nearest radius that is not a positive finite number of at most
// 180 degrees go back to their defaults; the rest stays.
void KeepParametersInRange(StationRecord& current);
