#pragma once

#include "catalogue/MapProjection.h"
#include "catalogue/StationRecord.h"
#include "platform/DrawingSurface.h"
#include "platform/qt/CommandTarget.h"
#include "platform/qt/RubberBandTracker.h"

#include <QPoint>

#include <string>

class CGraph;
class QWidget;
class WindowHost;

// What one kind of map view shows and does: the world map, a zoomed map or a meteogram. The map
// view holds one, chosen when it is made, and hands it its drawing, mouse and commands.
class MapPane {
public:
    MapPane(WindowHost& host, QWidget& window) : m_host(host), m_window(window) {}
    virtual ~MapPane() = default;
    MapPane(const MapPane&) = delete;
    MapPane& operator=(const MapPane&) = delete;

    // The window is being created: false when it cannot be (it is then not shown at all).
    virtual bool Create() { return true; }
    // The document's title at the initial update.
    virtual std::string Title() const = 0;
    // The station the window shows, for its layout entry (empty for maps).
    virtual const StationRecord& Station() const;
    virtual void Draw(platform::DrawingSurface& dc) = 0;

    virtual void MouseMove(QPoint) {}
    virtual void MousePress(QPoint) {}
    virtual void MouseRelease(QPoint) {}
    // A drag whose release never came (it went to a message box, say) ends.
    virtual void CancelDrag() {}
    virtual void DoubleClick(QPoint at) = 0;
    // The pointer left the window.
    virtual void MouseLeave() {}
    // A key pressed in the window: true when the pane took it.
    virtual bool KeyPress(int /*key*/) { return false; }

    // "Refresh": fetch what the window shows now. A pane without anything to fetch leaves the
    // command disabled.
    virtual bool CanRefresh() const { return false; }
    virtual void Refresh() {}
    // The status bar's report pane while the window is active; empty when the pane has none.
    virtual std::string StatusText() const { return {}; }

    // "Mark all stations": only the world map has its dots to switch.
    virtual platform::CommandUi MarkAllState() const { return {false, false}; }
    virtual void MarkAll() {}

    // The window closes: the pane's close work, once.
    virtual void Destroy() {}
    virtual CGraph* Graph() const { return nullptr; }

protected:
    // Opens the list of the result table under the title "Nearest stations".
    void OpenNearestList();

    WindowHost& m_host;
    QWidget& m_window;
};

// A map in which a rectangle dragged to the right opens a zoomed map of the stations inside it.
class DraggableMapPane : public MapPane {
public:
    DraggableMapPane(WindowHost& host, QWidget& window);

    void MouseMove(QPoint at) override;
    void MousePress(QPoint at) override;
    void MouseRelease(QPoint at) override;
    void CancelDrag() override { m_tracker.Cancel(); }

protected:
    // The map degrees of a rectangle dragged in this map.
    virtual MapRegion DragRegion(const platform::TrackedRect& r) const = 0;

private:
    void OnZoomDrag(const platform::TrackedRect& r);

    platform::RubberBandTracker m_tracker;
};
