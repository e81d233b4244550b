#include "mapview/MapDrawing.h"

#include "catalogue/MapProjection.h"
#include "platform/CText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>

using platform::RGB;

namespace {

platform::Color ColourOf(Rgb rgb) {
    return RGB(rgb.r, rgb.g, rgb.b);
}

constexpr int kSwatch = 8;      // a legend line's colour square
constexpr int kLineHeight = 13; // a legend row
constexpr platform::Font kLegendFont{"Arial", 11, 400};

// Lays the legend out in rows; `place` gets each item's left top corner.
template <typename Place>
int FlowLegend(const platform::DrawingSurface& dc, int width, const std::vector<LegendLine>& lines,
               const std::string& asOf, Place place) {
    int x = 0;
    int y = 0;
    auto item = [&](int itemWidth, const LegendLine* line, const std::string& text) {
        if (x > 0 && x + itemWidth > width) {
            x = 0;
            y += kLineHeight;
        }
        place(x, y, line, text);
        x += itemWidth + 10;
    };
    for (const LegendLine& line : lines)
        item(kSwatch + 4 + dc.GetTextExtent(line.text).cx, &line, line.text);
    if (!asOf.empty())
        item(dc.GetTextExtent(asOf).cx, nullptr, asOf);
    return lines.empty() && asOf.empty() ? 0 : y + kLineHeight;
}

} // namespace

int DrawLegend(platform::DrawingSurface& dc, int x, int y, int width,
               const std::vector<LegendLine>& lines, const std::string& asOf) {
    return FlowLegend(dc, width, lines, asOf,
                      [&](int left, int top, const LegendLine* line, const std::string& text) {
                          int textLeft = x + left;
                          if (line) {
                              dc.FillSolidRect(x + left, y + top + 3, kSwatch, kSwatch,
                                               ColourOf(line->colour));
                              textLeft += kSwatch + 4;
                          }
                          dc.TextOut(textLeft, y + top, text);
                      });
}

int LegendHeight(const platform::DrawingSurface& dc, int width,
                 const std::vector<LegendLine>& lines, const std::string& asOf) {
    return FlowLegend(dc, width, lines, asOf,
                      [](int, int, const LegendLine*, const std::string&) {});
}

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

std::string DrawWorldMap(platform::DrawingSurface& dc, const platform::Bitmap& map,
                         const StationTable& all, bool markAll, const StationTable& opened,
                         const MapColouring& colouring) {
    if (!colouring.On())
        return DrawWorldMap(dc, map, all, markAll, opened);
    const CurrentConditions& conditions = *colouring.conditions;
    dc.DrawBitmap(0, 0, map);
    std::string status;
    if (markAll) {
        const int n = all.GetSize();
        // The grey dots first, so that no station with a report hides under one.
        for (int i = 0; i < n; ++i) {
            const StationRecord& s = all.At(i);
            if (!conditions.RowOf(s.strICAO)) {
                const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
                dc.SetPixel(p.x, p.y, ColourOf(kNoReportColour));
            }
        }
        for (int i = 0; i < n; ++i) {
            const StationRecord& s = all.At(i);
            const LatestRow* row = conditions.RowOf(s.strICAO);
            if (!row)
                continue;
            const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
            dc.FillSolidRect(p.x - 1, p.y - 1, 3, 3,
                             ColourOf(conditions.MarkOf(colouring.mode, row).colour));
        }
        status = conditions.HasTable() ? conditions.StatusText()
                                       : platform::Format("Total stations: %d", n);
    }
    for (int i = 0; i < opened.GetSize(); ++i) {
        const StationRecord& s = opened.At(i);
        const platform::Point p = WorldMapPoint(s.dLongitude, s.dColatitude);
        dc.FillSolidRect(p.x - 2, p.y - 2, 4, 4, RGB(0, 0, 255));
    }
    if (markAll && conditions.HasTable()) {
        const platform::Font previous = dc.SelectFont(kLegendFont);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkMode(platform::BackgroundMode::Transparent);
        // In the picture's white margin above the map's labels, which the window always shows.
        DrawLegend(dc, kMapLeft, 2, kMapRight - kMapLeft,
                   conditions.Legend(colouring.mode, all, colouring.metric),
                   conditions.AsOf(colouring.now));
        dc.SelectFont(previous);
    }
    return status;
}

std::string DrawZoomMap(platform::DrawingSurface& dc, const StationTable& stations,
                        const MapRegion& region, int width, int height, const platform::Font& font,
                        const MapColouring& colouring) {
    const platform::Font previous = dc.SelectFont(font);
    dc.SetTextColor(RGB(0, 0, 0));
    const ZoomScale scale = ScaleOf(region, width, height);
    const bool colours = colouring.On();
    for (int i = 0; i < stations.GetSize(); ++i) {
        const StationRecord& s = stations.At(i);
        const auto at = ZoomMapPoint(region, scale, s.dLongitude, s.dColatitude);
        if (!at)
            continue; // a region without extent places nothing
        if (!colours)
            dc.FillSolidRect(at->x - 2, at->y - 2, 4, 4, RGB(255, 0, 0));
        dc.SetBkColor(RGB(255, 255, 255));
        dc.TextOut(at->x + 2, at->y + 2, platform::Format(" %s ", s.strStation.c_str()));
    }
    // Coloured dots over every name, so that no label hides a neighbour's report.
    for (int i = 0; colours && i < stations.GetSize(); ++i) {
        const StationRecord& s = stations.At(i);
        const auto at = ZoomMapPoint(region, scale, s.dLongitude, s.dColatitude);
        if (!at)
            continue;
        const int x = at->x;
        const int y = at->y;
        if (const LatestRow* row = colouring.conditions->RowOf(s.strICAO)) {
            const platform::Color c =
                ColourOf(colouring.conditions->MarkOf(colouring.mode, row).colour);
            const platform::Pen pen = dc.SelectPen({1, c});
            const platform::Brush brush = dc.SelectBrush({c, false});
            dc.Ellipse(x - 3, y - 3, x + 4, y + 4);
            dc.SelectBrush(brush);
            dc.SelectPen(pen);
        } else {
            dc.FillSolidRect(x - 1, y - 1, 2, 2, ColourOf(kNoReportColour));
        }
    }
    const std::string status = platform::Format("Stations inside: %d", stations.GetSize());
    dc.SelectFont(previous);
    if (colours && colouring.conditions->HasTable()) {
        const platform::Font before = dc.SelectFont(kLegendFont);
        const auto lines = colouring.conditions->Legend(colouring.mode, stations, colouring.metric);
        const std::string asOf = colouring.conditions->AsOf(colouring.now);
        const int legendWidth = std::max(width - 8, 100);
        const int legendHeight = LegendHeight(dc, legendWidth, lines, asOf);
        const int top = std::max(height - legendHeight - 4, 0);
        dc.FillSolidRect(0, top - 2, width, legendHeight + 6, RGB(255, 255, 255));
        dc.SetBkMode(platform::BackgroundMode::Transparent);
        DrawLegend(dc, 4, top, legendWidth, lines, asOf);
        dc.SetBkMode(platform::BackgroundMode::Opaque);
        dc.SelectFont(before);
    }
    return status;
}
