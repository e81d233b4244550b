#include "mapview/DraggableMapPane.h"

#include "platform/CText.h"
#include "views/WindowHost.h"
#include "views/WindowKinds.h"

platform::CommandUi DraggableMapPane::RefreshState() const {
    return {Colouring().On(), false};
}

void DraggableMapPane::Refresh() {
    if (Colouring().On())
        m_host.RefreshConditions();
}

DraggableMapPane::DraggableMapPane(WindowHost& host, QWidget& window)
    : ViewPane(host, window), m_tracker(&window) {}

void DraggableMapPane::MouseMove(QPoint at) {
    m_tracker.Move(at);
}

void DraggableMapPane::MousePress(QPoint at) {
    m_tracker.Press(at);
}

void DraggableMapPane::MouseRelease(QPoint at) {
    platform::TrackedRect rect;
    if (m_tracker.Release(at, rect))
        OnZoomDrag(rect);
}

void DraggableMapPane::OnZoomDrag(const platform::TrackedRect& r) {
    // Plain clicks, double-clicks and drags to the left end here; the height plays no part.
    if (r.right - r.left < 5)
        return;
    const MapRegion region = DragRegion(r);
    m_host.ZoomRegion() = region;
    StationsInside(m_host.StationsAll(), region, m_host.StationsZoom());
    m_host.OpenWindow(KIND_ZOOM_MAP,
                      platform::Format("Zoom from (%.2f, %.2f) to (%.2f, %.2f)", region.lonFrom,
                                       region.colatFrom, region.lonTo, region.colatTo));
}
