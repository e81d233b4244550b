#pragma once

#include "catalogue/StationRecord.h"

#include <string_view>

// The fixed-column station list: one station per line of 83 characters (84 with a carriage
// return before the line feed); every line of another length is skipped.
constexpr std::size_t kStationLineLength = 83;

// Cuts one station line into a record (texts trimmed, "/" and "\" in the name made "_",
// position in map degrees, elevation in metres). The line must have at least 83 characters.
StationRecord ParseStationLine(std::string_view line);

// Calls `f` with every station line of the text (a line of 83 or 84 characters), in order.
template <typename F> void ForEachStationLine(std::string_view text, F f) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (line.size() == kStationLineLength || line.size() == kStationLineLength + 1)
            f(line);
        start = end + 1;
    }
}

// Appends every station line of the text to the table, in file order, and returns how many.
// The last line counts also without a final line feed.
int ParseStationList(std::string_view text, StationTable& table);
