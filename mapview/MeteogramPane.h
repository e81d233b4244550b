#pragma once

#include "catalogue/StationCatalogue.h"
#include "catalogue/StationRecord.h"
#include "graph/Graph.h"
#include "graph/Meteogram.h"
#include "mapview/ViewPane.h"
#include "observations/ObservationRecord.h"

#include <QImage>
#include <QString>
#include <QTimer>

#include <memory>

class QPagedPaintDevice;

// A station's meteogram window: at creation it takes the station chosen last, retrieves its
// past observations and fills the meteogram; a timer with the station's reporting interval
// fetches the newest report and adds it; at close the window goes into the recent list, writes
// its meteodata file when asked to and leaves the list of opened stations.
class MeteogramPane : public ViewPane {
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

    // The readout follows the pointer over the plot and goes when it leaves; Left and Right
    // move it by one observation, Escape hides it.
    void MouseMove(QPoint at) override;
    void MouseLeave() override;
    bool KeyPress(int key) override;

    // Refresh now: the tick's retrieval at once, then the timer starts its period anew.
    platform::CommandUi RefreshState() const override;
    void Refresh() override;
    // "Newest report 14:50 UTC, 23 min ago; next retrieval 15:20 UTC", with ", overdue" when
    // the newest report is older than two reporting intervals.
    std::string StatusText() const override;

    // The window's pixels without the readout.
    QImage Picture() const;
    // "ICAO_YYYY-MM-DD_HHMM.png" of the newest observation.
    std::string DefaultPictureName() const;
    // Asks for a file and writes the picture; the second writes to `path` (PNG, or SVG by its
    // extension). A failure is told in a message naming the file and the cause.
    void OnSavePicture();
    bool SavePicture(const QString& path);
    // The print dialog or the preview (landscape by default), and the drawing on a page.
    void OnPrint(bool preview);
    bool PrintTo(QPagedPaintDevice& device);
    // The picture and the observations as a table.
    void CopyToClipboard();
    std::string ObservationTable() const;

    Meteogram* Chart() const { return m_meteogram.get(); }
    // "23 min", "3 h 10 min", "16 h", "3 days": how long ago a report was observed.
    static std::string AgeText(std::int64_t seconds);

    bool RetrieveObservations();
    void RefreshTick();
    void RemoveFromOpened();

    const ObservationSeries& Series() const { return m_series; }
    const ObservationRecord& Latest() const { return m_latest; }
    int TimerInterval() const { return m_timer.isActive() ? m_timer.interval() : 0; }
    int TimerRemaining() const { return m_timer.isActive() ? m_timer.remainingTime() : -1; }
    Qt::TimerType TimerType() const { return m_timer.timerType(); }

private:
    // What makes the two newest reports useless for a time axis, as a message says it; empty
    // when they give an interval.
    std::string WhatIsWrongWithTheNewestTimes();
    // The window's note of a refresh tick that failed, or none after one that did not.
    void NoteRefresh(bool fetched);
    // The kept observations of the station's latest period into the window; false when there
    // are none (or no store).
    bool OpenFromStore();
    // The interval and UTC offset from the two newest observations when they give one.
    void TakeTimeAxis();
    // The meteogram anew from the series.
    void ShowSeries();
    // The page of the period, merged into what the window shows; while the server does not
    // answer, the window says it shows kept reports.
    void FillIn(StationCatalogue::Retrieval retrieval);
    std::string OfflineNote() const;
    // The whole meteogram drawn, as the window paints it but without the readout.
    void DrawPlain(platform::DrawingSurface& dc);

    ObservationRecord m_latest;
    StationRecord m_station;
    std::unique_ptr<CGraph> m_pGraph;
    ObservationSeries m_series;
    std::unique_ptr<Meteogram> m_meteogram;
    QTimer m_timer;
    std::string m_strText;
    bool m_fillIn = false; // opened from the store; the page of the period has not come yet
};
