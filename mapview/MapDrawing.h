#pragma once

#include "catalogue/MapProjection.h"
#include "catalogue/StationRecord.h"
#include "platform/DrawingSurface.h"

#include <string>

// The world map: the picture unscaled at the client origin, every catalogue station as a red
// pixel when `markAll` is set, every opened station as a blue 4 x 4 square over them. Returns
// the status text ("Total stations: %d"), empty when the dots are off.
std::string DrawWorldMap(platform::DrawingSurface& dc, const platform::Bitmap& map,
                         const StationTable& all, bool markAll, const StationTable& opened);

// A zoom window: each station a red 4 x 4 square with its name in `font`, black on white,
// scaled to the window size. Returns "Stations inside: %d".
std::string DrawZoomMap(platform::DrawingSurface& dc, const StationTable& stations,
                        const MapRegion& region, int width, int height, const platform::Font& font);
