#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr double kHpaPerInchHg = 33.8639;
constexpr double kMetresPerSecondPerKnot = 0.514444;
constexpr double kKnotsPerKmh = 1.0 / 1.852;

// What a coded METAR or SPECI report says, as far as it is understood. Groups that are not
// understood are skipped; everything after "RMK" is ignored.
struct MetarReport {
    std::string station;
    int day = 0; // of the time group ddhhmmZ, 0 when absent
    int hour = -1;
    int minute = -1;
    bool nil = false;
    bool automatic = false;
    bool corrected = false;

    struct Wind {
        int direction = 0; // degrees; 0 for variable and calm winds
        bool variable = false;
        double speedKnots = 0;
        std::optional<double> gustKnots;
    };
    std::optional<Wind> wind;

    std::optional<double> altimeterInHg;
    std::optional<double> pressureHpa;

    std::optional<double> temperatureC;
    std::optional<double> dewpointC;
};

MetarReport DecodeMetar(std::string_view report);

// Splits a text at blanks, tabs and line ends.
std::vector<std::string_view> SplitGroups(std::string_view text);
