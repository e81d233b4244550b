#include "mapview/MapRegion.h"

MapRegion g_zoomRegion;

ZoomScale ScaleOf(const MapRegion& r, int width, int height) {
    return {(r.lonTo - r.lonFrom) / width, (r.colatTo - r.colatFrom) / height};
}

MapRegion WorldDragRegion(int left, int top, int right, int bottom, int mapWidth, int mapHeight) {
    return {(left - 20) * 360.0 / (mapWidth - 40), (right - 20) * 360.0 / (mapWidth - 40),
            (top - 45) * 180.0 / (mapHeight - 90), (bottom - 45) * 180.0 / (mapHeight - 90)};
}

MapRegion ZoomDragRegion(int left, int top, int right, int bottom, const MapRegion& shown,
                         const ZoomScale& s) {
    return {left * s.kx + shown.lonFrom, right * s.kx + shown.lonFrom, top * s.ky + shown.colatFrom,
            bottom * s.ky + shown.colatFrom};
}

void StationsInside(const StationTable& all, const MapRegion& r, StationTable& inside) {
    inside.RemoveAll();
    for (int i = 0; i < all.GetSize(); ++i) {
        const StationRecord& s = all.At(i);
        if (r.lonFrom < s.dLongitude && s.dLongitude < r.lonTo && r.colatFrom < s.dColatitude &&
            s.dColatitude < r.colatTo)
            inside.Add(s);
    }
}
