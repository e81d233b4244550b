#pragma once

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
    double dLongitude = 0.0;  // east longitude + 180: 0 = 180 W, 360 = 180 E
    double dColatitude = 0.0; // 90 - north latitude: 0 = North Pole, 180 = South Pole
    double dElevation = 0.0;  // metres
    double dNearestMinutes = 0.0;
    std::string strCD;
    std::string strStation;
    std::string strICAO;
    std::string strIATA;
    std::string strNumber;
    std::string strLat; // "52 28N"
    std::string strLon; // "013 24E"
    std::string strElev;
    std::string strCol62;
    std::string strCol65;
    std::string strCol68;
    std::string strCol71;
    std::string strCol74;
    std::string strCol77;
    std::string strCol79;
    std::string strCY;

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
