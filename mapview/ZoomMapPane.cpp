#include "mapview/ZoomMapPane.h"

#include "mapview/MapDrawing.h"
#include "views/WindowHost.h"

#include <QWidget>

ZoomMapPane::ZoomMapPane(WindowHost& host, QWidget& window, const MapRegion& region)
    : DraggableMapPane(host, window), m_region(region) {}

bool ZoomMapPane::Create() {
    for (const StationRecord& s : m_host.StationsZoom())
        m_stationsZoom.Add(s);
    return true;
}

ZoomScale ZoomMapPane::Scale() const {
    return ScaleOf(m_region, m_window.width(), m_window.height());
}

void ZoomMapPane::Draw(platform::DrawingSurface& dc) {
    m_host.SetStatusText(DrawZoomMap(dc, m_stationsZoom, m_region, m_window.width(),
                                     m_window.height(), m_font, Colouring()));
}

std::string ZoomMapPane::ToolTipAt(QPoint at) const {
    const ZoomScale scale = Scale();
    return NearestStationTip(at, m_stationsZoom, [this, &scale](const StationRecord& s) {
        return ZoomMapPoint(m_region, scale, s.dLongitude, s.dColatitude);
    });
}

MapRegion ZoomMapPane::DragRegion(const platform::TrackedRect& r) const {
    return ZoomDragRegion(r.left, r.top, r.right, r.bottom, m_region, Scale());
}

void ZoomMapPane::DoubleClick(QPoint at) {
    // No message when nothing is found here: the list opens empty.
    const double minutes = m_host.CurrentStation().dNearestMinutes;
    const MapPosition centre = ZoomMapPosition(m_region, Scale(), at.x(), at.y());
    StationTable& result = m_host.StationsResult();
    result.RemoveAll();
    for (const StationRecord& r : m_host.StationsAll())
        if (InNearestSquare(centre.longitude, centre.colatitude, minutes, r.dLongitude,
                            r.dColatitude))
            result.Add(r);
    OpenNearestList();
}
