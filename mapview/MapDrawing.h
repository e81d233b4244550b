#pragma once

#include "catalogue/CurrentConditions.h"
#include "catalogue/MapProjection.h"
#include "catalogue/StationRecord.h"
#include "platform/DrawingSurface.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the maps colour their stations by: the mode, the table the colours come from, the unit
// of temperatures, and the time ages are told at. The mode Stations draws the design's marks.
struct MapColouring {
    MapColours mode = MapColours::Stations;
    const CurrentConditions* conditions = nullptr;
    bool metric = true;
    std::int64_t now = 0;

    bool On() const { return mode != MapColours::Stations && conditions; }
};

// The world map: the picture unscaled at the client origin, every catalogue station as a red
// pixel when `markAll` is set, every opened station as a blue 4 x 4 square over them. Returns
// the status text ("Total stations: %d"), empty when the dots are off.
std::string DrawWorldMap(platform::DrawingSurface& dc, const platform::Bitmap& map,
                         const StationTable& all, bool markAll, const StationTable& opened);
// The same in a colour mode: each station with a report a filled 3 x 3 dot in its class
// colour, each without a small grey dot, the opened stations' blue squares over them, and the
// legend in the picture's upper margin. Returns the status text: the table's ("Current
// conditions: ...") once there is one.
std::string DrawWorldMap(platform::DrawingSurface& dc, const platform::Bitmap& map,
                         const StationTable& all, bool markAll, const StationTable& opened,
                         const MapColouring& colouring);

// A zoom window: each station a red 4 x 4 square with its name in `font`, black on white,
// scaled to the window size. Returns "Stations inside: %d".
// In a colour mode the squares become dots of the stations' class colours (small grey ones
// without a report) and the legend stands in the window's lower left corner.
std::string DrawZoomMap(platform::DrawingSurface& dc, const StationTable& stations,
                        const MapRegion& region, int width, int height, const platform::Font& font,
                        const MapColouring& colouring = {});

// The legend: a swatch and a text per line, then the table's time, flowing in rows of at most
// `width` pixels from (x, y), in the font selected. Returns the height it took.
int DrawLegend(platform::DrawingSurface& dc, int x, int y, int width,
               const std::vector<LegendLine>& lines, const std::string& asOf);
// The height the legend would take.
int LegendHeight(const platform::DrawingSurface& dc, int width,
                 const std::vector<LegendLine>& lines, const std::string& asOf);

// The station that `place` (a station's point, or none) puts nearest to `at`, within `reach`
// pixels; none when no station is that near.
template <typename Place>
const StationRecord* NearestStation(const StationTable& stations, platform::Point at, Place place,
                                    int reach = 4) {
    const StationRecord* nearest = nullptr;
    int best = reach * reach + 1;
    for (const StationRecord& s : stations) {
        const std::optional<platform::Point> p = place(s);
        if (!p)
            continue;
        const int dx = p->x - at.x;
        const int dy = p->y - at.y;
        const int d = dx * dx + dy * dy;
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    return nearest;
}
