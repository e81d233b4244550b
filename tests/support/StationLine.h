#pragma once

#include <string>

namespace testing_support {

// A station line of exactly 83 characters, fields at their columns.
inline std::string StationLine(const std::string& cd, const std::string& name,
                               const std::string& icao, const std::string& lat,
                               const std::string& lon, const std::string& elev = "  10",
                               const std::string& cy = "US", const std::string& iata = "",
                               const std::string& number = "") {
    std::string line(83, ' ');
    auto put = [&line](std::size_t col, const std::string& text, std::size_t width) {
        line.replace(col, std::min(width, text.size()), text.substr(0, width));
    };
    put(0, cd, 2);
    put(3, name, 17);
    put(20, icao, 4);
    put(26, iata, 3);
    put(32, number, 5);
    put(39, lat, 6);
    put(47, lon, 7);
    put(55, elev, 4);
    put(62, "X", 1);
    put(79, "7", 1);
    put(81, cy, 2);
    return line;
}

} // namespace testing_support
