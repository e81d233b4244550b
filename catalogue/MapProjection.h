#pragma once

#include "catalogue/StationRecord.h"
#include "platform/DrawingSurface.h"

#include <optional>
#include <string>

// The geometry of the maps, in one place. Positions are map degrees: longitude 0..360 east from
// 180 W, co-latitude 0..180 south from the North Pole (as StationRecord holds them). The world
// map picture shows the world in the pixels x 20..519, y 45..294 of its window; a zoomed map
// shows a region scaled to its window.

constexpr double kDegreesPerMinute = 0.016666666666666666; // minutes of arc to degrees

// The map area of the world map picture; its right and bottom edges lie outside it.
constexpr int kMapLeft = 20;
constexpr int kMapTop = 45;
constexpr int kMapRight = 520;
constexpr int kMapBottom = 295;

// A region in map degrees.
struct MapRegion {
    double lonFrom = 0.0;
    double lonTo = 360.0;
    double colatFrom = 0.0;
    double colatTo = 180.0;
    bool operator==(const MapRegion&) const = default;
};

// A station's place on the world map: x = 20 + trunc(lon * 499/360), y = 45 + trunc(colat *
// 249/180), computed with the negative factors as written so that 0..360 and 0..180 fill
// x 20..519 and y 45..294.
platform::Point WorldMapPoint(double longitude, double colatitude);

// What a pixel of the world map stands for: map degrees (factors 360/499 and 180/249) and the
// texts "%03d %02dE|W" and "%02d %02dN|S" (whole degrees, truncated minutes, 60 carried). None
// outside the map area.
struct MapPosition {
    double longitude = 0.0;
    double colatitude = 0.0;
    std::string longitudeText;
    std::string latitudeText;
};
std::optional<MapPosition> WorldMapPosition(int x, int y);

// The region of a rectangle dragged on the world map picture of the given size (from the press
// to the release point, not normalised): factors 360/(width - 40) and 180/(height - 90).
MapRegion WorldDragRegion(int left, int top, int right, int bottom, int pictureWidth,
                          int pictureHeight);

// A zoomed map of `shown` in a window of the given size: map degrees per pixel.
struct ZoomScale {
    double kx = 0.0;
    double ky = 0.0;
};
ZoomScale ScaleOf(const MapRegion& shown, int width, int height);
// The map degrees a pixel of the zoomed map stands for.
MapPosition ZoomMapPosition(const MapRegion& shown, const ZoomScale& scale, int x, int y);
// The pixel of a station in the zoomed map; none when the region has no extent to place it in.
std::optional<platform::Point> ZoomMapPoint(const MapRegion& shown, const ZoomScale& scale,
                                            double longitude, double colatitude);
// The region of a rectangle dragged in a zoomed map.
MapRegion ZoomDragRegion(int left, int top, int right, int bottom, const MapRegion& shown,
                         const ZoomScale& scale);

// Within the square of half side `minutes` (of arc) around a point, strictly: no scaling with
// latitude, no wrap at the 0/360 seam.
bool InNearestSquare(double centreLongitude, double centreColatitude, double minutes,
                     double longitude, double colatitude);

// Strictly inside (a station on an edge is out).
bool Inside(const MapRegion& region, double longitude, double colatitude);

// The stations strictly inside the region, in table order, into `inside` (emptied first).
void StationsInside(const StationTable& all, const MapRegion& region, StationTable& inside);
