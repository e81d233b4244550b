#pragma once

#include "platform/FixedText.h"
#include "platform/GrowableArray.h"

#include <cstdint>
#include <string>

// One station of the catalogue. The same record carries the user's display parameters: the
// main frame's current station holds the settings in its flags, past hours and nearest radius.
struct StationRecord {
    std::uint8_t bShowTemperature = 0;
    std::uint8_t bShowPressure = 0;
    std::uint8_t bShowWindSpeed = 0;
    std::uint8_t bShowWindDirection = 0;
    std::uint8_t bShowTimeUTC = 0;
    std::uint8_t bWriteFile = 0;
    std::uint8_t bMetricStyle = 0;
    std::int32_t iPeriodMinutes = 0;
    std::int32_t iUtcDeltaHours = 0;
    std::int32_t iShowPastHours = 0;
    // Days the observation store keeps what it was given.
    std::int32_t iKeepDays = 90;
    std::int32_t iMapColours = 0; // what the maps colour their stations by (MapColours), 0..3
    double dLongitude = 0.0;      // east longitude + 180: 0 = 180 W, 360 = 180 E
    double dColatitude = 0.0;     // 90 - north latitude: 0 = North Pole, 180 = South Pole
    double dElevation = 0.0;      // metres
    double dNearestMinutes = 0.0;
    // The station's texts, each as wide as its column of the station list.
    platform::FixedText<2> strCD;
    platform::FixedText<17> strStation;
    platform::FixedText<4> strICAO;
    platform::FixedText<3> strIATA;
    platform::FixedText<5> strNumber;
    platform::FixedText<6> strLat; // "52 28N"
    platform::FixedText<7> strLon; // "013 24E"
    platform::FixedText<4> strElev;
    platform::FixedText<1> strCol62;
    platform::FixedText<1> strCol65;
    platform::FixedText<1> strCol68;
    platform::FixedText<1> strCol71;
    platform::FixedText<1> strCol74;
    platform::FixedText<1> strCol77;
    platform::FixedText<1> strCol79;
    platform::FixedText<2> strCY;

    bool operator==(const StationRecord&) const = default;
};

using StationTable = platform::GrowableArray<StationRecord>;

// Copies the station of `source` into `target`, keeping the target's parameters (flags,
// UTC difference, past hours, nearest radius).
void TakeStation(StationRecord& target, const StationRecord& source);

// Empties the station fields of `record`, keeping its parameters.
void ClearStation(StationRecord& record);

// The position and elevation from the texts strLat ("DD MMN"), strLon ("DDD MMW") and strElev:
// anything but "N" is south, anything but "W" is east, a text without a number reads 0.
void CoordinatesFromTexts(StationRecord& record);
