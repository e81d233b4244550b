#include "catalogue/StationList.h"

#include "catalogue/MapProjection.h"

#include "platform/CText.h"

#include <algorithm>

namespace {

std::string Field(std::string_view line, std::size_t first, std::size_t last) {
    return platform::Trim(line.substr(first, last - first + 1));
}

// The number a field starts with, as LeadingDouble reads it. The fields are whole numbers
// after blanks as a rule, read here from their digits where they stand; anything else (a
// fraction, an exponent, no digit at all) goes to the general reader.
double FieldNumber(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    const bool negative = i < field.size() && field[i] == '-';
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        ++i;
    const std::size_t digits = i;
    int value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9' && i - digits < 9)
        value = value * 10 + (field[i++] - '0');
    if (i == digits || (i < field.size() && field[i] != ' '))
        return platform::LeadingDouble(field);
    return negative ? -static_cast<double>(value) : static_cast<double>(value);
}

double Number(std::string_view line, std::size_t first, std::size_t last) {
    return FieldNumber(line.substr(first, last - first + 1));
}

} // namespace

StationRecord ParseStationLine(std::string_view line) {
    StationRecord r;
    r.strCD = Field(line, 0, 1);
    r.strStation = Field(line, 3, 19);
    std::replace(r.strStation.begin(), r.strStation.end(), '/', '_');
    std::replace(r.strStation.begin(), r.strStation.end(), '\\', '_');
    r.strICAO = Field(line, 20, 23);
    r.strIATA = Field(line, 26, 28);
    r.strNumber = Field(line, 32, 36);
    r.strLat = Field(line, 39, 44);
    r.strLon = Field(line, 47, 53);
    r.strElev = Field(line, 55, 58);
    r.strCol62 = Field(line, 62, 62);
    r.strCol65 = Field(line, 65, 65);
    r.strCol68 = Field(line, 68, 68);
    r.strCol71 = Field(line, 71, 71);
    r.strCol74 = Field(line, 74, 74);
    r.strCol77 = Field(line, 77, 77);
    r.strCol79 = Field(line, 79, 79);
    r.strCY = Field(line, 81, 82);

    // Degrees, minutes and hemisphere come from their own columns, so that a blank-padded
    // degree field ("  83 51W") does not shift the minutes.
    const double lat = Number(line, 39, 40) + Number(line, 42, 43) * kDegreesPerMinute;
    r.dColatitude = line[44] == 'N' ? 90 - lat : lat + 90;
    const double lon = Number(line, 47, 49) + Number(line, 51, 52) * kDegreesPerMinute;
    r.dLongitude = line[53] == 'W' ? 180 - lon : lon + 180;
    r.dElevation = FieldNumber(r.strElev);
    return r;
}

int ParseStationList(std::string_view text, StationTable& table) {
    // Counting first spares the table a long series of moves while ten thousand stations arrive.
    int count = 0;
    ForEachStationLine(text, [&count](std::string_view) { ++count; });
    table.Reserve(table.GetSize() + count);
    ForEachStationLine(text,
                       [&table](std::string_view line) { table.Add(ParseStationLine(line)); });
    return count;
}
