#pragma once

#include "observations/FlightCategory.h"

#include <cstdint>
#include <string_view>

// The colours and classes of the map's colour modes, for a station's latest report.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// A station without a report in the table.
inline constexpr Rgb kNoReportColour{150, 150, 150};

// The aviation convention: VFR green, MVFR blue, IFR red, LIFR magenta.
Rgb FlightCategoryColour(FlightCategory category);

// The temperature scale runs from kColdestC to kWarmestC; beyond, the ends' colours hold.
inline constexpr double kColdestC = -40.0;
inline constexpr double kWarmestC = 45.0;

// The viridis scale (perceptually uniform, readable with the common colour-vision
// deficiencies and in grey): blue-violet for the coldest, yellow for the warmest. A temperature
// that is not a number has kNoReportColour.
Rgb TemperatureColour(double celsius);

// Classes of the mean wind by Beaufort force, on whole knots: calm (force 0, below 1 kt), light
// (1-3, 1 to 10 kt), moderate (4-5, 11 to 21 kt), strong (6-7, 22 to 33 kt), gale (8 and up,
// 34 kt and more).
enum class WindClass { Calm, Light, Moderate, Strong, Gale };

WindClass WindClassOf(int knots);
// The lowest speed of the class, in knots.
int WindClassFromKnots(WindClass wind);
// "calm", "light", "moderate", "strong", "gale".
std::string_view WindClassName(WindClass wind);
// Five steps of the viridis scale, from pale yellow for calm to blue-violet for gales.
Rgb WindClassColour(WindClass wind);
