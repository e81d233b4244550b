#pragma once

#include "catalogue/StationRecord.h"
#include "platform/DrawingSurface.h"

// A region of the map in map degrees: longitude 0..360 (east longitude + 180) across,
// co-latitude 0..180 (90 - north latitude) down.
struct MapRegion {
    double lonFrom = 0.0;
    double lonTo = 360.0;
    double colatFrom = 0.0;
    double colatTo = 180.0;
};

// The region of the latest accepted zoom drag; every new map view takes a copy.
extern MapRegion g_zoomRegion;

// A zoom window's scale: map degrees per pixel of its window of the given size.
struct ZoomScale {
    double kx = 0, ky = 0;
};
ZoomScale ScaleOf(const MapRegion& region, int width, int height);

// A dragged rectangle (from press to release point) on the world map picture of the given
// size, in map degrees.
MapRegion WorldDragRegion(int left, int top, int right, int bottom, int mapWidth, int mapHeight);
// The same in a zoom window showing `shown` at `scale`.
MapRegion ZoomDragRegion(int left, int top, int right, int bottom, const MapRegion& shown,
                         const ZoomScale& scale);

// The stations strictly inside the region, in table order.
void StationsInside(const StationTable& all, const MapRegion& region, StationTable& inside);
