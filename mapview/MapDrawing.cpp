#include "mapview/MapDrawing.h"

#include "catalogue/MapProjection.h"
#include "platform/CText.h"
#include "platform/UserServices.h"

#include <cmath>

using platform::RGB;

std::string DrawWorldMap(platform::DrawingSurface& dc, const platform::Bitmap& map,
                         const StationTable& all, bool markAll, const StationTable& opened) {
    dc.DrawBitmap(0, 0, map);
    std::string status;
    if (markAll) {
        platform::WaitCursor wait;
        const int n = all.GetSize();
        for (int i = 0; i < n; ++i) {
            const StationRecord& s = all.At(i);
            const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
            dc.SetPixel(p.x, p.y, RGB(255, 0, 0));
        }
        status = platform::Format("Total stations: %d", n);
    }
    for (int i = 0; i < opened.GetSize(); ++i) {
        const StationRecord& s = opened.At(i);
        const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
        dc.FillSolidRect(p.x - 2, p.y - 2, 4, 4, RGB(0, 0, 255));
    }
    return status;
}

std::string DrawZoomMap(platform::DrawingSurface& dc, const StationTable& stations,
                        const MapRegion& region, int width, int height,
                        const platform::Font& font) {
    const platform::Font previous = dc.SelectFont(font);
    dc.SetTextColor(RGB(0, 0, 0));
    const ZoomScale scale = ScaleOf(region, width, height);
    for (int i = 0; i < stations.GetSize(); ++i) {
        const StationRecord& s = stations.At(i);
        const auto at = ZoomMapPoint(region, scale, s.dLongitude, s.dColatitude);
        if (!at)
            continue; // a region without extent places nothing
        const int x = at->x;
        const int y = at->y;
        dc.FillSolidRect(x - 2, y - 2, 4, 4, RGB(255, 0, 0));
        dc.SetBkColor(RGB(255, 255, 255));
        dc.TextOut(x + 2, y + 2, platform::Format(" %s ", s.strStation.c_str()));
    }
    const std::string status = platform::Format("Stations inside: %d", stations.GetSize());
    dc.SelectFont(previous);
    return status;
}
