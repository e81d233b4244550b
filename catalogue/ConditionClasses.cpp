#include "catalogue/ConditionClasses.h"

#include <array>
#include <cmath>

namespace {

// The viridis scale at nine evenly spaced points, from its published table.
constexpr std::array<Rgb, 9> kViridis = {{{0x44, 0x01, 0x54},
                                          {0x47, 0x2D, 0x7B},
                                          {0x3B, 0x52, 0x8B},
                                          {0x2C, 0x72, 0x8E},
                                          {0x21, 0x90, 0x8C},
                                          {0x27, 0xAD, 0x81},
                                          {0x5D, 0xC8, 0x63},
                                          {0xAA, 0xDC, 0x32},
                                          {0xFD, 0xE7, 0x25}}};

struct WindStep {
    std::string_view name;
    int fromKnots;
    Rgb colour;
};

constexpr std::array<WindStep, 5> kWindSteps = {{{"calm", 0, kViridis[8]},
                                                 {"light", 1, kViridis[6]},
                                                 {"moderate", 11, kViridis[4]},
                                                 {"strong", 22, kViridis[2]},
                                                 {"gale", 34, kViridis[0]}}};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

} // namespace

Rgb FlightCategoryColour(FlightCategory category) {
    switch (category) {
    case FlightCategory::VFR:
        return {0, 170, 0};
    case FlightCategory::MVFR:
        return {0, 90, 255};
    case FlightCategory::IFR:
        return {230, 0, 0};
    case FlightCategory::LIFR:
        break;
    }
    return {210, 0, 210};
}

Rgb TemperatureColour(double celsius) {
    if (std::isnan(celsius))
        return kNoReportColour;
    const double position = (celsius - kColdestC) / (kWarmestC - kColdestC) * (kViridis.size() - 1);
    if (position <= 0)
        return kViridis.front();
    if (position >= kViridis.size() - 1)
        return kViridis.back();
    const std::size_t below = static_cast<std::size_t>(position);
    const double t = position - below;
    const Rgb& a = kViridis[below];
    const Rgb& b = kViridis[below + 1];
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

WindClass WindClassOf(int knots) {
    int step = 0;
    while (step + 1 < static_cast<int>(kWindSteps.size()) &&
           knots >= kWindSteps[step + 1].fromKnots)
        ++step;
    return static_cast<WindClass>(step);
}

int WindClassFromKnots(WindClass wind) {
    return kWindSteps[static_cast<std::size_t>(wind)].fromKnots;
}

std::string_view WindClassName(WindClass wind) {
    return kWindSteps[static_cast<std::size_t>(wind)].name;
}

Rgb WindClassColour(WindClass wind) {
    return kWindSteps[static_cast<std::size_t>(wind)].colour;
}
