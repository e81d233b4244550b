#pragma once

#include "catalogue/StationRecord.h"
#include "mapview/DraggableMapPane.h"

// A zoomed map: the stations of a dragged rectangle, each a red square with its name, scaled to
// the window; it keeps its own copy of them when later drags replace the main frame's table.
class ZoomMapPane : public DraggableMapPane {
public:
    // The region is the latest accepted drag's, taken when the view is made.
    ZoomMapPane(WindowHost& host, QWidget& window, const MapRegion& region);

    bool Create() override;
    std::string Title() const override { return {}; } // its opener gives it
    void Draw(platform::DrawingSurface& dc) override;
    void DoubleClick(QPoint at) override;
    std::string ToolTipAt(QPoint at) const override;

    const StationTable& ZoomStations() const { return m_stationsZoom; }

protected:
    MapRegion DragRegion(const platform::TrackedRect& r) const override;

private:
    ZoomScale Scale() const;

    MapRegion m_region; // m_dLonFrom, m_dLonTo, m_dColatFrom, m_dColatTo
    platform::Font m_font{"Arial", 10, 400};
    StationTable m_stationsZoom;
};
