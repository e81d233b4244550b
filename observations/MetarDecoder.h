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

    // Prevailing visibility; `atLeast` for "P6SM", "10SM" and "9999" (and CAVOK).
    struct Visibility {
        double metres = 0;
        double miles = 0;
        bool inMiles = false; // reported in statute miles
        bool atLeast = false;
    };
    std::optional<Visibility> visibility;
    bool cavok = false;

    // Weather groups as coded, for example "-SN", "BR", "+TSRA", "VCSH".
    std::vector<std::string> weather;

    struct Cloud {
        std::string cover;   // FEW, SCT, BKN, OVC or VV (vertical visibility)
        int heightFeet = -1; // above ground; -1 when not given
        std::string type;    // CB, TCU or empty
    };
    std::vector<Cloud> clouds;
    bool skyClear = false; // SKC, CLR, NSC, NCD or CAVOK

    // The lowest broken or overcast layer or vertical visibility, in feet; none when there is none.
    std::optional<int> CeilingFeet() const;
};

constexpr double kMetresPerMile = 1609.344;

// "light snow", "mist", "heavy thunderstorm with rain": a weather group in words.
std::string DescribeWeather(std::string_view group);

MetarReport DecodeMetar(std::string_view report);

// Splits a text at blanks, tabs and line ends.
std::vector<std::string_view> SplitGroups(std::string_view text);
