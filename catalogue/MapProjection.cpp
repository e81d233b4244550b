#include "catalogue/MapProjection.h"

#include "platform/CText.h"

#include <cmath>

namespace {

// "%03d %02dE" and the like: whole degrees and truncated minutes, 60 minutes carried.
std::string DegreesText(double value, const char* format, char hemisphere) {
    int degrees = static_cast<int>(std::floor(value));
    int minutes = static_cast<int>((value - degrees) * 60.0);
    if (minutes == 60) {
        minutes = 0;
        ++degrees;
    }
    return platform::Format(format, degrees, minutes, hemisphere);
}

} // namespace

platform::Point WorldMapPoint(double longitude, double colatitude) {
    return {kMapLeft - static_cast<int>(longitude * -1.386111111111111),
            kMapTop - static_cast<int>(colatitude * -1.3833333333333333)};
}

std::optional<MapPosition> WorldMapPosition(int x, int y) {
    if (x < kMapLeft || x >= kMapRight || y < kMapTop || y >= kMapBottom)
        return std::nullopt;
    MapPosition p;
    p.longitude = (x - kMapLeft) * 0.721442885771543;
    p.colatitude = (y - kMapTop) * 0.7228915662650601;
    p.longitudeText = p.longitude >= 180 ? DegreesText(p.longitude - 180, "%03d %02d%c", 'E')
                                         : DegreesText(180 - p.longitude, "%03d %02d%c", 'W');
    p.latitudeText = p.colatitude >= 90 ? DegreesText(p.colatitude - 90, "%02d %02d%c", 'S')
                                        : DegreesText(90 - p.colatitude, "%02d %02d%c", 'N');
    return p;
}

MapRegion WorldDragRegion(int left, int top, int right, int bottom, int pictureWidth,
                          int pictureHeight) {
    const int w = pictureWidth - 2 * kMapLeft;
    const int h = pictureHeight - 2 * kMapTop;
    return {(left - kMapLeft) * 360.0 / w, (right - kMapLeft) * 360.0 / w,
            (top - kMapTop) * 180.0 / h, (bottom - kMapTop) * 180.0 / h};
}

ZoomScale ScaleOf(const MapRegion& r, int width, int height) {
    return {(r.lonTo - r.lonFrom) / width, (r.colatTo - r.colatFrom) / height};
}

MapPosition ZoomMapPosition(const MapRegion& shown, const ZoomScale& s, int x, int y) {
    MapPosition p;
    p.longitude = x * s.kx + shown.lonFrom;
    p.colatitude = y * s.ky + shown.colatFrom;
    return p;
}

std::optional<platform::Point> ZoomMapPoint(const MapRegion& shown, const ZoomScale& s,
                                            double longitude, double colatitude) {
    const double fx = (longitude - shown.lonFrom) / s.kx;
    const double fy = (colatitude - shown.colatFrom) / s.ky;
    if (!std::isfinite(fx) || !std::isfinite(fy) || std::fabs(fx) > 1e8 || std::fabs(fy) > 1e8)
        return std::nullopt;
    return platform::Point{static_cast<int>(fx), static_cast<int>(fy)};
}

MapRegion ZoomDragRegion(int left, int top, int right, int bottom, const MapRegion& shown,
                         const ZoomScale& s) {
    return {left * s.kx + shown.lonFrom, right * s.kx + shown.lonFrom, top * s.ky + shown.colatFrom,
            bottom * s.ky + shown.colatFrom};
}

bool InNearestSquare(double centreLongitude, double centreColatitude, double minutes,
                     double longitude, double colatitude) {
    const double d = minutes * kDegreesPerMinute;
    return std::fabs(longitude - centreLongitude) < d &&
           std::fabs(colatitude - centreColatitude) < d;
}

bool Inside(const MapRegion& r, double longitude, double colatitude) {
    return r.lonFrom < longitude && longitude < r.lonTo && r.colatFrom < colatitude &&
           colatitude < r.colatTo;
}

void StationsInside(const StationTable& all, const MapRegion& r, StationTable& inside) {
    inside.RemoveAll();
    for (const StationRecord& s : all)
        if (Inside(r, s.dLongitude, s.dColatitude))
            inside.Add(s);
}
