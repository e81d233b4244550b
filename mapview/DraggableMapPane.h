#pragma once

#include "mapview/ViewPane.h"
#include "platform/qt/RubberBandTracker.h"

#include <string>

// A map in which a rectangle dragged to the right opens a zoomed map of the stations inside it.
class DraggableMapPane : public ViewPane {
public:
    DraggableMapPane(WindowHost& host, QWidget& window);

    void MouseMove(QPoint at) override;
    void MousePress(QPoint at) override;
    void MouseRelease(QPoint at) override;
    void CancelDrag() override { m_tracker.Cancel(); }
    // The tables of current conditions can be fetched again while the stations are coloured.
    platform::CommandUi RefreshState() const override;
    void Refresh() override;

protected:
    // The map degrees of a rectangle dragged in this map.
    virtual MapRegion DragRegion(const platform::TrackedRect& r) const = 0;
    // The tip of the station nearest to `at` among those that `place` puts within a few pixels
    // of it; empty while the stations are not coloured or none is that near.
    template <typename Place>
    std::string NearestStationTip(QPoint at, const StationTable& stations, Place place) const;

private:
    void OnZoomDrag(const platform::TrackedRect& r);

    platform::RubberBandTracker m_tracker;
};

template <typename Place>
std::string DraggableMapPane::NearestStationTip(QPoint at, const StationTable& stations,
                                                Place place) const {
    const MapColouring colouring = Colouring();
    if (!colouring.On())
        return {};
    const StationRecord* nearest = NearestStation(stations, {at.x(), at.y()}, place);
    if (!nearest)
        return {};
    return StationTip(*nearest, colouring.conditions->RowOf(nearest->strICAO), colouring.metric,
                      colouring.now);
}
