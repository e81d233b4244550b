#include "mapview/WorldMapPane.h"

#include "catalogue/StationCatalogue.h"
#include "mapview/MapDrawing.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/QtDrawingSurface.h"
#include "resources/ResourceImages.h"
#include "views/WindowHost.h"
#include "views/WindowKinds.h"

#include <QWidget>

#include <optional>

WorldMapPane::WorldMapPane(WindowHost& host, QWidget& window) : DraggableMapPane(host, window) {
    // Until the first drawing the picture's own size stands for the map rectangle.
    const QImage& map = resources::WorldMap();
    m_rectMap = {0, 0, map.width(), map.height()};
}

void WorldMapPane::Draw(platform::DrawingSurface& dc) {
    // Held in the form it is drawn in: a picture of palette indices would be converted again at
    // every paint.
    static const platform::QtBitmap map(
        resources::WorldMap().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    m_rectMap = {0, 0, map.Width(), map.Height()};
    const std::string status = DrawWorldMap(dc, map, m_host.StationsAll(), m_bMarkAll,
                                            m_host.StationsOpened(), Colouring());
    if (!status.empty())
        m_host.SetStatusText(status);
}

void WorldMapPane::MouseMove(QPoint at) {
    DraggableMapPane::MouseMove(at);
    m_host.Catalogue().PointToCoordinates(at.x(), at.y());
}

MapRegion WorldMapPane::DragRegion(const platform::TrackedRect& r) const {
    return WorldDragRegion(r.left, r.top, r.right, r.bottom, m_rectMap.Width(), m_rectMap.Height());
}

void WorldMapPane::DoubleClick(QPoint at) {
    const double minutes = m_host.CurrentStation().dNearestMinutes;
    platform::WaitCursor wait;
    if (m_host.Catalogue().FindNearestStations(at.x(), at.y(), minutes) == 0) {
        wait.Restore();
        platform::MessageBox(
            platform::Format(
                "Not found any station in a distance of %.2f minutes around clicked point.",
                minutes),
            platform::MessageIcon::Exclamation);
        return;
    }
    OpenNearestList();
}

std::string WorldMapPane::ToolTipAt(QPoint at) const {
    if (!m_bMarkAll)
        return {};
    return NearestStationTip(at, m_host.StationsAll(), [](const StationRecord& s) {
        return std::optional<platform::Point>(WorldMapPoint(s.dLongitude, s.dColatitude));
    });
}

void WorldMapPane::MarkAll() {
    m_bMarkAll = !m_bMarkAll;
    m_window.repaint();
}

void WorldMapPane::Destroy() {
    iNextWindowKind = KIND_WORLD_MAP;
}
