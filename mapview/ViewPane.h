#pragma once

#include "catalogue/MapProjection.h"
#include "catalogue/StationRecord.h"
#include "mapview/MapDrawing.h"
#include "platform/DrawingSurface.h"
#include "platform/qt/CommandTarget.h"

#include <QPoint>

#include <optional>
#include <string>

class CGraph;
class QWidget;
class WindowHost;

// The pane of a map-view window: what one kind of map view shows and does: the world map, a zoomed
// map or a meteogram. The map view holds one, chosen when it is made, and hands it its drawing,
// mouse and commands.
class ViewPane {
public:
    ViewPane(WindowHost& host, QWidget& window) : m_host(host), m_window(window) {}
    virtual ~ViewPane() = default;
    ViewPane(const ViewPane&) = delete;
    ViewPane& operator=(const ViewPane&) = delete;

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

    // The status bar's report pane while the window is active; empty when the pane has none.
    virtual std::string StatusText() const { return {}; }

    // "Mark all stations": only the world map has its dots to switch.
    virtual platform::CommandUi MarkAllState() const { return {false, false}; }
    virtual void MarkAll() {}

    // The text of the pointer's tip at a point: the latest report of the station there, while a
    // map colours its stations; empty for none.
    virtual std::string ToolTipAt(QPoint) const { return {}; }
    // View > Refresh: fetch what the window shows now; a pane without anything to fetch leaves
    // the command disabled.
    virtual platform::CommandUi RefreshState() const { return {false, false}; }
    virtual void Refresh() {}

    // The window closes: the pane's close work, once.
    virtual void Destroy() {}
    virtual CGraph* Graph() const { return nullptr; }

protected:
    // Opens the list of the result table under the title "Nearest stations".
    void OpenNearestList();
    // The map colour mode of the settings, with the table and units it needs.
    MapColouring Colouring() const;

    WindowHost& m_host;
    QWidget& m_window;
};
