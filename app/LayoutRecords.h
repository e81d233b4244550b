#pragma once

#include "app/LayoutEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bytes of the layout file and the arithmetic of placing its windows, free of any window
// toolkit.

inline constexpr std::int32_t kLayoutEntrySize = 468;

// The bytes of a placement (44) and of an entry (468), little-endian.
std::string EncodePlacement(const WindowPlacement& placement);
WindowPlacement DecodePlacement(const char* bytes);
std::string EncodeEntry(const LayoutEntry& entry);
LayoutEntry DecodeEntry(const char* bytes);
// A record as the file holds it: the length 468, then the entry.
std::string EncodeRecord(const LayoutEntry& entry);

// What a layout file holds: the main window's placement (none when the file is shorter than
// one) and the entries of its records, up to the first that is cut short or whose length is
// not 468.
struct LayoutContents {
    std::optional<WindowPlacement> main;
    std::vector<LayoutEntry> entries;
};
LayoutContents ReadLayout(std::string_view bytes);

// Where a window may go: its coordinates count from the origin, all of it must lie in the area
// (a window larger than the area is made as large as it).
struct PlacementBounds {
    int originX = 0, originY = 0;
    int areaWidth = 0, areaHeight = 0;
};

struct FittedPlacement {
    int x = 0, y = 0, width = 0, height = 0;
    bool maximised = false;
    bool minimised = false;
};

// The placement kept within the bounds: a damaged or foreign file, a screen that has since
// shrunk or extreme numbers neither overflow nor leave a window out of reach. None for a
// placement without extent.
std::optional<FittedPlacement> FitPlacement(const WindowPlacement& placement,
                                            const PlacementBounds& bounds);
