#pragma once

#include "observations/MetarDecoder.h"

#include <optional>
#include <string_view>

// The aviation flight categories, from the best to the worst conditions.
enum class FlightCategory { VFR, MVFR, IFR, LIFR };

// The category of a decoded report by its ceiling (the lowest broken, overcast or
// vertical-visibility layer) and its prevailing visibility: LIFR below 500 ft or 1 statute mile,
// IFR below 1,000 ft or 3 miles, MVFR up to 3,000 ft or 5 miles, VFR above both; CAVOK is VFR.
// Both must be known: a report without a visibility or without a sky condition (layers, or a
// clear sky) has none.
std::optional<FlightCategory> FlightCategoryOf(const MetarReport& report);

// "VFR", "MVFR", "IFR", "LIFR".
std::string_view FlightCategoryName(FlightCategory category);
std::optional<FlightCategory> ReadFlightCategory(std::string_view name);
