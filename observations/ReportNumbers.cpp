#include "observations/ReportNumbers.h"

#include "observations/MetarDecoder.h"
#include "platform/CText.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

// The number just before `unit` in the cell, as in "30.12 inches Hg (1019.9 mb)".
std::optional<double> NumberBefore(std::string_view cell, std::string_view unit) {
    const std::size_t at = cell.find(unit);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t end = at;
    while (end > 0 && cell[end - 1] == ' ')
        --end;
    std::size_t begin = end;
    while (begin > 0 && (std::isdigit(static_cast<unsigned char>(cell[begin - 1])) ||
                         cell[begin - 1] == '.' || cell[begin - 1] == '-'))
        --begin;
    if (begin == end)
        return std::nullopt;
    return platform::LeadingDouble(cell.substr(begin, end - begin));
}

} // namespace

void FillReportNumbers(ObservationRecord& record) {
    // What the row does not give stays unknown: a 0 would be plotted and exported as a value.
    constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
    record.dPressure = kMissing;
    record.dPressureInHg = kMissing;
    record.dWindSpeed = kMissing;
    record.dWindDirection = kMissing;

    const MetarReport report = DecodeMetar(record.strReport);

    if (report.pressureHpa && report.altimeterInHg) {
        record.dPressure = *report.pressureHpa - 1000.0;
        record.dPressureInHg = *report.altimeterInHg;
    } else {
        const auto inches = NumberBefore(record.strPressure, "inches Hg");
        const auto mb = NumberBefore(record.strPressure, "mb");
        if (mb)
            record.dPressure = *mb - 1000.0;
        else if (inches)
            record.dPressure = *inches * kHpaPerInchHg - 1000.0;
        if (inches)
            record.dPressureInHg = *inches;
        else if (mb)
            record.dPressureInHg = *mb / kHpaPerInchHg;
    }

    if (report.wind) {
        record.dWindDirection = report.wind->direction;
        record.dWindSpeed = report.wind->speedKnots * kMetresPerSecondPerKnot;
    } else if (!record.strWinds.empty()) {
        if (record.strWinds.rfind("calm", 0) == 0) {
            record.dWindDirection = 0.0;
            record.dWindSpeed = 0.0;
        }
        if (const auto degrees = NumberBefore(record.strWinds, "degrees"))
            record.dWindDirection = *degrees;
        else if (record.strWinds.find("variable") != std::string::npos)
            record.dWindDirection = 0.0; // as the coded report's VRB reads
        if (const auto ms = NumberBefore(record.strWinds, "m/s"))
            record.dWindSpeed = *ms;
        else if (const auto knots = NumberBefore(record.strWinds, "knots"))
            record.dWindSpeed = *knots * kMetresPerSecondPerKnot;
    }
}

int WholeKnots(double knots) {
    return static_cast<int>(std::lround(knots));
}

ReportValues ValuesOf(const MetarReport& report) {
    ReportValues v;
    // Adding 0.0 turns the -0 of "M00" into 0, so that no "-0.0" is shown.
    if (report.temperatureC)
        v.temperatureC = *report.temperatureC + 0.0;
    if (report.dewpointC)
        v.dewpointC = *report.dewpointC + 0.0;
    if (report.wind) {
        if (!report.wind->variable)
            v.windDirectionDeg = report.wind->direction;
        v.windSpeedKt = WholeKnots(report.wind->speedKnots);
        if (report.wind->gustKnots)
            v.windGustKt = WholeKnots(*report.wind->gustKnots);
    }
    if (report.visibility)
        v.visibilityM = static_cast<int>(std::lround(report.visibility->metres));
    v.ceilingFt = report.CeilingFeet();
    if (report.pressureHpa)
        v.altimeterHpa = std::round(*report.pressureHpa * 10) / 10;
    v.flightCategory = FlightCategoryOf(report);
    return v;
}
