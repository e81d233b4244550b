#include "mapview/MapDrawing.h"

#include "catalogue/StationCatalogue.h"
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
            const platform::Point p =
                StationCatalogue::CoordinatesToPoint(s.dLongitude, s.dColatitude);
            dc.SetPixel(p.x, p.y, RGB(255, 0, 0));
        }
        status = platform::Format("Total stations: %d", n);
    }
    for (int i = 0; i < opened.GetSize(); ++i) {
        const StationRecord& s = opened.At(i);
        const platform::Point p = StationCatalogue::CoordinatesToPoint(s.dLongitude, s.dColatitude);
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
        const double fx = (s.dLongitude - region.lonFrom) / scale.kx;
        const double fy = (s.dColatitude - region.colatFrom) / scale.ky;
        if (!std::isfinite(fx) || !std::isfinite(fy) || std::fabs(fx) > 1e8 || std::fabs(fy) > 1e8)
            continue; // a region without extent places nothing
        const int x = static_cast<int>(fx);
        const int y = static_cast<int>(fy);
        dc.FillSolidRect(x - 2, y - 2, 4, 4, RGB(255, 0, 0));
        dc.SetBkColor(RGB(255, 255, 255));
        dc.TextOut(x + 2, y + 2, platform::Format(" %s ", s.strStation.c_str()));
    }
    const std::string status = platform::Format("Stations inside: %d", stations.GetSize());
    dc.SelectFont(previous);
    return status;
}
