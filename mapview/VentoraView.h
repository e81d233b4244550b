#pragma once

#include "app/ViewBase.h"
#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "graph/Meteogram.h"
#include "mapview/MapRegion.h"
#include "observations/ObservationRecord.h"
#include "platform/qt/RubberBandTracker.h"

#include <QTimer>

#include <memory>

class StationCatalogue;

// The view of the map template: the world map, a station's meteogram or a zoomed map, decided
// by the window kind when the view is made.
class CVentoraView : public CViewBase {
public:
    CVentoraView(CVentoraDoc& document, CMainFrame& mainFrame);
    ~CVentoraView() override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnDestroy() override;
    bool IsMapView() const override { return true; }

    // Everything the window shows, drawn onto the surface.
    void OnDraw(platform::DrawingSurface& dc);

    // Meteogram windows.
    bool RetrieveObservations();
    void RefreshTick();
    void RemoveFromOpened();
    int TimerInterval() const { return m_timer.isActive() ? m_timer.interval() : 0; }
    Qt::TimerType TimerType() const { return m_timer.timerType(); }

    const StationTable& ZoomStations() const { return m_stationsZoom; }
    bool MarkAll() const { return m_bMarkAll; }
    CGraph* Graph() const { return m_pGraph.get(); }
    const ObservationSeries& Series() const { return m_series; }
    const ObservationRecord& Latest() const { return m_latest; }
    const StationRecord& Station() const { return m_station; }

    std::uint8_t m_bMarkAll = 1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OnZoomDrag(const platform::TrackedRect& rect);
    void OnNearestStations(QPoint at);
    void OnParameters();
    void OnShowAllStations();
    void OnMarkAllStations();
    void OnFindStation();
    bool CreateStationWindow();
    void Paint(const Meteogram::Drawing& drawing);

    MapRegion m_region;
    platform::Font m_font{"Arial", 10, 400};
    platform::Rect m_rectMap;
    std::string m_strText;
    ObservationRecord m_latest;
    StationRecord m_station;
    std::unique_ptr<CGraph> m_pGraph;
    StationCatalogue* m_pCatalogue;
    ObservationSeries m_series;
    StationTable* m_pStationsOpened;
    StationTable* m_pStationsResult;
    StationTable m_stationsZoom;
    std::unique_ptr<Meteogram> m_meteogram;
    platform::RubberBandTracker m_tracker{this};
    QTimer m_timer;
};
