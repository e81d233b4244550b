#include "observations/FlightCategory.h"

namespace {

// Sky known, with no ceiling.
constexpr int kUnlimited = -1;

// The ceiling in feet, kUnlimited for a sky without one; none when the sky is not reported or
// its only ceiling layers have no height.
std::optional<int> KnownCeiling(const MetarReport& report) {
    if (const auto ceiling = report.CeilingFeet())
        return ceiling;
    bool ceilingLayer = false;
    for (const MetarReport::Cloud& c : report.clouds)
        ceilingLayer = ceilingLayer || c.cover == "BKN" || c.cover == "OVC" || c.cover == "VV";
    if (ceilingLayer || (report.clouds.empty() && !report.skyClear))
        return std::nullopt;
    return kUnlimited;
}

} // namespace

std::optional<FlightCategory> FlightCategoryOf(const MetarReport& report) {
    const auto ceiling = KnownCeiling(report);
    if (!ceiling || !report.visibility)
        return std::nullopt;
    const double miles = report.visibility->miles;
    const int feet = *ceiling;
    const bool limited = feet != kUnlimited;
    if ((limited && feet < 500) || miles < 1)
        return FlightCategory::LIFR;
    if ((limited && feet < 1000) || miles < 3)
        return FlightCategory::IFR;
    if ((limited && feet <= 3000) || miles <= 5)
        return FlightCategory::MVFR;
    return FlightCategory::VFR;
}

std::string_view FlightCategoryName(FlightCategory category) {
    switch (category) {
    case FlightCategory::VFR:
        return "VFR";
    case FlightCategory::MVFR:
        return "MVFR";
    case FlightCategory::IFR:
        return "IFR";
    case FlightCategory::LIFR:
        break;
    }
    return "LIFR";
}

std::optional<FlightCategory> ReadFlightCategory(std::string_view name) {
    for (FlightCategory c :
         {FlightCategory::VFR, FlightCategory::MVFR, FlightCategory::IFR, FlightCategory::LIFR})
        if (FlightCategoryName(c) == name)
            return c;
    return std::nullopt;
}
