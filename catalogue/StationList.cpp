#include "catalogue/StationList.h"

#include "catalogue/MapProjection.h"

#include "platform/CText.h"

#include <algorithm>

namespace {

// The field's text without the blanks around it, with `map` applied to each character kept.
// A field is a few characters wide: copied here without a call.
template <std::size_t N, typename Map = char (*)(char)>
void Field(
    platform::FixedText<N>& text, std::string_view line, std::size_t first, std::size_t last,
    Map map = [](char c) { return c; }) {
    const std::string_view field = platform::TrimView(line.substr(first, last - first + 1));
    char kept[N];
    const std::size_t n = std::min(field.size(), N);
    for (std::size_t i = 0; i < n; ++i)
        kept[i] = map(field[i]);
    text.assign(std::string_view(kept, n));
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

namespace {

// The station of the line, read into a record as it stands in the table.
void ParseStationLineInto(std::string_view line, StationRecord& r) {
    Field(r.strCD, line, 0, 1);
    Field(r.strStation, line, 3, 19, [](char c) { return c == '/' || c == '\\' ? '_' : c; });
    Field(r.strICAO, line, 20, 23);
    Field(r.strIATA, line, 26, 28);
    Field(r.strNumber, line, 32, 36);
    Field(r.strLat, line, 39, 44);
    Field(r.strLon, line, 47, 53);
    Field(r.strElev, line, 55, 58);
    Field(r.strCol62, line, 62, 62);
    Field(r.strCol65, line, 65, 65);
    Field(r.strCol68, line, 68, 68);
    Field(r.strCol71, line, 71, 71);
    Field(r.strCol74, line, 74, 74);
    Field(r.strCol77, line, 77, 77);
    Field(r.strCol79, line, 79, 79);
    Field(r.strCY, line, 81, 82);

    // Degrees, minutes and hemisphere come from their own columns, so that a blank-padded
    // degree field ("  83 51W") does not shift the minutes.
    const double lat = Number(line, 39, 40) + Number(line, 42, 43) * kDegreesPerMinute;
    r.dColatitude = line[44] == 'N' ? 90 - lat : lat + 90;
    const double lon = Number(line, 47, 49) + Number(line, 51, 52) * kDegreesPerMinute;
    r.dLongitude = line[53] == 'W' ? 180 - lon : lon + 180;
    r.dElevation = FieldNumber(r.strElev);
}

} // namespace

StationRecord ParseStationLine(std::string_view line) {
    StationRecord r;
    ParseStationLineInto(line, r);
    return r;
}

int ParseStationList(std::string_view text, StationTable& table) {
    // Counting first spares the table a long series of moves while ten thousand stations arrive.
    int count = 0;
    ForEachStationLine(text, [&count](std::string_view) { ++count; });
    table.ReserveForWriting(table.GetSize() + count);
    // Each record is read where it stays, not moved there.
    ForEachStationLine(
        text, [&table](std::string_view line) { ParseStationLineInto(line, table.AddNew()); });
    return count;
}
