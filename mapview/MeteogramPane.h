#pragma once

#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "graph/Meteogram.h"
#include "mapview/MapPane.h"
#include "observations/ObservationRecord.h"

#include <QTimer>

#include <memory>

// A station's meteogram window: at creation it takes the station chosen last, retrieves its
// past observations and fills the meteogram; a timer with the station's reporting interval
// fetches the newest report and adds it; at close the window goes into the recent list, writes
// its meteodata file when asked to and leaves the list of opened stations.
class MeteogramPane : public MapPane {
public:
    MeteogramPane(WindowHost& host, QWidget& window);
    ~MeteogramPane() override;

    bool Create() override;
    std::string Title() const override { return m_station.strStation; }
    const StationRecord& Station() const override { return m_station; }
    void Draw(platform::DrawingSurface& dc) override;
    // The list of the result table opens as the last search or pick left it.
    void DoubleClick(QPoint) override { OpenNearestList(); }
    void Destroy() override;
    CGraph* Graph() const override { return m_pGraph.get(); }

    bool RetrieveObservations();
    void RefreshTick();
    void RemoveFromOpened();

    const ObservationSeries& Series() const { return m_series; }
    const ObservationRecord& Latest() const { return m_latest; }
    int TimerInterval() const { return m_timer.isActive() ? m_timer.interval() : 0; }
    Qt::TimerType TimerType() const { return m_timer.timerType(); }

private:
    // What makes the two newest reports useless for a time axis, as a message says it; empty
    // when they give an interval.
    std::string WhatIsWrongWithTheNewestTimes();
    // The window's note of a refresh tick that failed, or none after one that did not.
    void NoteRefresh(bool fetched);

    ObservationRecord m_latest;
    StationRecord m_station;
    std::unique_ptr<CGraph> m_pGraph;
    ObservationSeries m_series;
    std::unique_ptr<Meteogram> m_meteogram;
    QTimer m_timer;
    std::string m_strText;
};
