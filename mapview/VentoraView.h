#pragma once

#include "mapview/ViewPane.h"
#include "platform/DrawingSurface.h"
#include "views/ViewBase.h"

#include <functional>
#include <memory>
#include <string>

class MeteogramPane;

// The view of the map template: the world map, a station's meteogram or a zoomed map. Which of
// the three it is, is decided once, when the view is made, by the window kind: the view hands
// its drawing, mouse and commands to the pane of that kind.
class CVentoraView : public CViewBase {
public:
    explicit CVentoraView(WindowHost& host);
    ~CVentoraView() override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnDestroy() override;
    bool IsMapView() const override { return true; }
    CGraph* Graph() const override { return m_pane->Graph(); }
    std::string StatusText() const override;

    // Everything the window shows, drawn onto the surface (what its paint does).
    void OnDraw(platform::DrawingSurface& dc);

    // The pane of the window's kind, or none when it is another.
    template <typename Pane> Pane* PaneAs() const { return dynamic_cast<Pane*>(m_pane.get()); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnParameters();
    void OnShowAllStations();
    void OnFindStation();
    // Runs the work on the meteogram of a station window; nothing on a map.
    void WithMeteogram(const std::function<void(MeteogramPane&)>& work);

    std::unique_ptr<ViewPane> m_pane;
    std::string m_strText;
};
