#pragma once

#include "mapview/DraggableMapPane.h"

// The world map: the picture with every catalogue station as a red dot (while "Mark all
// stations" is on) and every opened station as a blue square; the pointer's position in the
// status line; drags to zoom; double-clicks for the nearest stations. In a map colour mode the
// dots take the colours of the stations' latest reports, a legend names them, and the pointer
// resting on a station tells its report.
class WorldMapPane : public DraggableMapPane {
public:
    WorldMapPane(WindowHost& host, QWidget& window);

    std::string Title() const override { return "World Map"; }
    void Draw(platform::DrawingSurface& dc) override;
    void MouseMove(QPoint at) override;
    void DoubleClick(QPoint at) override;
    std::string ToolTipAt(QPoint at) const override;
    platform::CommandUi MarkAllState() const override { return {true, m_bMarkAll != 0}; }
    void MarkAll() override;
    void Destroy() override;

    bool MarkingAll() const { return m_bMarkAll; }

protected:
    MapRegion DragRegion(const platform::TrackedRect& r) const override;

private:
    std::uint8_t m_bMarkAll = 1;
    platform::Rect m_rectMap; // the picture's size, set at every drawing
};
