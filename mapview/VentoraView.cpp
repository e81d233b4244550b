#include "mapview/VentoraView.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/VentoraApp.h"
#include "app/VentoraDoc.h"
#include "app/WindowKinds.h"
#include "dialogs/ParametersDialog.h"
#include "mapview/MapDrawing.h"
#include "mapview/Meteodata.h"
#include "platform/Abandon.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/QtDrawingSurface.h"
#include "resources/CommandIds.h"
#include "resources/ResourceImages.h"
#include "dialogs/FindDialog.h"

#include <QMdiArea>

#include <QMouseEvent>
#include <QPainter>
#include <optional>

using namespace ids;

CVentoraView::CVentoraView(CVentoraDoc& document, CMainFrame& mainFrame)
    : CViewBase(document, mainFrame), m_region(g_zoomRegion), m_pCatalogue(&mainFrame.m_catalogue),
      m_pStationsOpened(&mainFrame.m_stationsOpened),
      m_pStationsResult(&mainFrame.m_stationsResult) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    // Until the first drawing the picture's own size stands for the map rectangle.
    const QImage& map = resources::WorldMap();
    m_rectMap = {0, 0, map.width(), map.height()};
    // Ticks must not come early: an early tick fetches the report already shown.
    m_timer.setTimerType(Qt::PreciseTimer);
    SetCommands({
        {ID_VIEW_PARAMETERS, [this] { OnParameters(); }},
        {ID_VIEW_SHOW_ALL_STATIONS, [this] { OnShowAllStations(); }},
        // Marking is for the world map: elsewhere the command stays disabled.
        {ID_VIEW_MARK_ALL_STATIONS, [this] { OnMarkAllStations(); },
         [this] {
             return platform::CommandUi{m_nKind == KIND_WORLD_MAP,
                                        m_nKind == KIND_WORLD_MAP && m_bMarkAll};
         }},
        {ID_VIEW_FIND_STATION, [this] { OnFindStation(); }},
    });
    connect(&m_timer, &QTimer::timeout, this,
            [this] { platform::AbandonOnError([this] { RefreshTick(); }); });
}

CVentoraView::~CVentoraView() = default;

int CVentoraView::OnCreate() {
    m_document.m_pMainFrame = &m_mainFrame;
    if (m_nKind == KIND_STATION && !CreateStationWindow())
        return -1;
    if (m_nKind == KIND_ZOOM_MAP) {
        // The window keeps these stations when a later drag replaces the main frame's table.
        for (const StationRecord& s : m_mainFrame.m_stationsZoom)
            m_stationsZoom.Add(s);
    }
    m_mainFrame.m_arrLayoutEntries.push_back(MakeLayoutEntry(m_nKind, m_station, this));
    return 0;
}

bool CVentoraView::CreateStationWindow() {
    ClearStation(m_station);
    ResetObservation(m_latest);
    m_pGraph = std::make_unique<CGraph>();
    m_document.m_pGraph = m_pGraph.get();
    TakeStation(m_station, m_mainFrame.m_currentStation);
    m_meteogram =
        std::make_unique<Meteogram>(m_pGraph, m_station, m_series, m_mainFrame.m_currentStation,
                                    [this](const Meteogram::Drawing& d) { Paint(d); });
    if (!RetrieveObservations())
        return false;
    m_timer.start(std::max(m_station.iPeriodMinutes, 1) * 60000);
    return true;
}

void CVentoraView::Paint(const Meteogram::Drawing&) {
    // Qt draws a window only while painting it: a new row is shown by the next paint, which
    // draws the whole graph and the dial of the newest observation.
    update();
}

void CVentoraView::OnInitialUpdate() {
    std::string title;
    if (m_nKind == KIND_WORLD_MAP)
        title = "World Map";
    else if (m_nKind == KIND_STATION)
        title = m_station.strStation;
    else
        title = m_strText;
    m_document.SetTitle(title);

    if (m_nKind == KIND_STATION) {
        // Centred in the child-window area.
        if (CChildFrame* frame = m_document.Frame()) {
            const QSize area = m_mainFrame.MdiArea()->viewport()->size();
            frame->move(std::max(0, (area.width() - frame->width()) / 2),
                        std::max(0, (area.height() - frame->height()) / 2));
        }
    }
}

bool CVentoraView::RetrieveObservations() {
    platform::WaitCursor wait;
    m_series.RemoveAll();
    const int hours = m_mainFrame.m_currentStation.iShowPastHours;
    m_strText = platform::Format("past+%d+hours", hours);
    if (!m_pCatalogue->FetchObservations(&m_station, &m_series, m_strText, std::max(hours, 2)))
        return false;
    wait.Restore();
    const int n = m_series.GetSize();
    if (n == 0)
        return false;
    if (n == 1) {
        m_station.iPeriodMinutes = 30;
        m_station.iUtcDeltaHours = 0;
        platform::MessageBox(
            platform::Format("Get only one record from the station \"%s\".\nTherefore compelled to "
                             "set the time-period to 30 mins and the time-delta UTC to 0 hours, "
                             "sorry.",
                             m_station.strStation.c_str()),
            platform::MessageIcon::Exclamation);
    } else if (m_meteogram->ComputeTimeAxis() == 0) {
        // Said rather than failing silently: the page has reports, only no interval.
        platform::MessageBox(
            platform::Format("The two newest reports of the station \"%s\" have the same time, "
                             "so no reporting interval can be derived; the station's window is "
                             "not opened.",
                             m_station.strStation.c_str()),
            platform::MessageIcon::Exclamation);
        return false;
    }
    m_meteogram->SetUpMeteogram();
    const bool metric = m_mainFrame.m_currentStation.bMetricStyle;
    for (int i = n - 1; i >= 0; --i) {
        ObservationRecord copy;
        ResetObservation(copy);
        copy = m_series.At(i);
        if (!metric)
            ToImperial(copy);
        m_meteogram->AddObservation(copy);
    }
    m_latest = m_series.At(0);
    return true;
}

void CVentoraView::RefreshTick() {
    if (m_nKind != KIND_STATION || !m_meteogram)
        return;
    {
        platform::WaitCursor wait;
        // A tick reads into a series of its own: a failure leaves the window's observations
        // whole, and the window's series keeps every observation it has shown.
        ObservationSeries latest;
        if (m_pCatalogue->FetchObservations(&m_station, &latest, "most+recent+only", 1,
                                            StationCatalogue::Retrieval::Refresh) &&
            latest.GetSize() > 0) {
            const ObservationRecord& newest = latest.At(0);
            // The observation already shown comes back until the station reports again; an
            // older one (a server that lost its newest) is not shown as if it were new.
            if (m_series.GetSize() == 0 ||
                ObservedInstant(newest) > ObservedInstant(m_series.At(0))) {
                m_series.InsertAt(0, newest);
                m_latest = newest;
                ObservationRecord copy = newest;
                if (!m_mainFrame.m_currentStation.bMetricStyle)
                    ToImperial(copy);
                m_meteogram->AddObservation(copy);
            }
        }
    }
    // The application's wait cursor goes down once more (never below none).
    platform::Services().EndWaitCursor();
}

void CVentoraView::OnDestroy() {
    m_timer.stop();
    if (m_nKind == KIND_WORLD_MAP)
        iNextWindowKind = KIND_WORLD_MAP;
    if (m_nKind == KIND_STATION) {
        m_strText =
            platform::Format("%s (%s)", m_station.strStation.c_str(), m_station.strICAO.c_str());
        m_mainFrame.AddToRecentFileList(m_strText);
        if (m_mainFrame.m_currentStation.bWriteFile)
            WriteMeteodata(m_station.strStation, m_series, platform::CurrentTime());
        RemoveFromOpened();
        m_document.m_pGraph = nullptr;
        m_meteogram.reset();
        m_pGraph.reset();
    }
}

void CVentoraView::RemoveFromOpened() {
    StationTable& opened = *m_pStationsOpened;
    for (int i = 0; i < opened.GetSize(); ++i)
        if (opened.At(i).strICAO == m_station.strICAO) {
            opened.RemoveAt(i);
            return;
        }
}

void CVentoraView::OnDraw(platform::DrawingSurface& dc) {
    switch (m_nKind) {
    case KIND_WORLD_MAP: {
        static const platform::QtBitmap map(resources::WorldMap());
        m_rectMap = {0, 0, map.Width(), map.Height()};
        const std::string status =
            DrawWorldMap(dc, map, m_mainFrame.m_stationsAll, m_bMarkAll, *m_pStationsOpened);
        if (!status.empty()) {
            m_strText = status;
            m_mainFrame.SetStatusText(m_strText);
        }
        break;
    }
    case KIND_STATION:
        if (m_pGraph) {
            m_pGraph->Draw(dc);
            if (m_pGraph->m_bShowLegend) {
                // The dial shows the speed in the unit the rows are shown in.
                ObservationRecord shown = m_latest;
                if (!m_mainFrame.m_currentStation.bMetricStyle)
                    ToImperial(shown);
                m_pGraph->DrawWindIndicator(dc, shown.dWindDirection, shown.dWindSpeed);
            }
        }
        break;
    case KIND_ZOOM_MAP:
        m_strText = DrawZoomMap(dc, m_stationsZoom, m_region, width(), height(), m_font);
        m_mainFrame.SetStatusText(m_strText);
        break;
    default:
        break;
    }
}

void CVentoraView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::QtDrawingSurface surface(painter, {0, 0, width(), height()});
    OnDraw(surface);
}

void CVentoraView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    // A drag whose release went elsewhere (to a message box, say) has ended.
    if (!(event->buttons() & Qt::LeftButton))
        m_tracker.Cancel();
    m_tracker.Move(at);
    if (m_nKind == KIND_WORLD_MAP)
        m_pCatalogue->PointToCoordinates(at.x(), at.y());
    QWidget::mouseMoveEvent(event);
}

void CVentoraView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        (m_nKind == KIND_WORLD_MAP || m_nKind == KIND_ZOOM_MAP))
        m_tracker.Press(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void CVentoraView::mouseReleaseEvent(QMouseEvent* event) {
    platform::TrackedRect rect;
    if (event->button() == Qt::LeftButton && m_tracker.Release(event->position().toPoint(), rect))
        OnZoomDrag(rect);
    QWidget::mouseReleaseEvent(event);
}

void CVentoraView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not the base handling: it would take the second press for the start of a drag, whose
    // release the message box or the new list then takes away.
    m_tracker.Cancel();
    if (event->button() == Qt::LeftButton)
        OnNearestStations(event->position().toPoint());
    event->accept();
}

void CVentoraView::OnZoomDrag(const platform::TrackedRect& r) {
    // Plain clicks, double-clicks and drags to the left end here; the height plays no part.
    if (r.right - r.left < 5)
        return;
    MapRegion region;
    if (m_nKind == KIND_WORLD_MAP)
        region = WorldDragRegion(r.left, r.top, r.right, r.bottom, m_rectMap.Width(),
                                 m_rectMap.Height());
    else
        region = ZoomDragRegion(r.left, r.top, r.right, r.bottom, m_region,
                                ScaleOf(m_region, width(), height()));
    g_zoomRegion = region;
    StationsInside(m_mainFrame.m_stationsAll, region, m_mainFrame.m_stationsZoom);
    // Unlike the other openers this one leaves the kind at KIND_ZOOM_MAP.
    iNextWindowKind = KIND_ZOOM_MAP;
    CVentoraDoc* doc = CVentoraApp::Instance()->m_pMapTemplate->OpenDocumentFile(m_mainFrame);
    m_strText = platform::Format("Zoom from (%.2f, %.2f) to (%.2f, %.2f)", region.lonFrom,
                                 region.colatFrom, region.lonTo, region.colatTo);
    if (doc)
        doc->SetTitle(m_strText);
}

void CVentoraView::OnNearestStations(QPoint at) {
    std::optional<platform::WaitCursor> wait;
    const double minutes = m_mainFrame.m_currentStation.dNearestMinutes;
    if (m_nKind == KIND_WORLD_MAP) {
        wait.emplace();
        if (m_pCatalogue->FindNearestStations(at.x(), at.y(), minutes) == 0) {
            m_strText = platform::Format(
                "Not found any station in a distance of %.2f minutes around clicked point.",
                minutes);
            wait->Restore();
            platform::MessageBox(m_strText, platform::MessageIcon::Exclamation);
            return;
        }
    } else if (m_nKind == KIND_ZOOM_MAP) {
        const MapPosition centre =
            ZoomMapPosition(m_region, ScaleOf(m_region, width(), height()), at.x(), at.y());
        StationTable& result = *m_pStationsResult;
        result.RemoveAll();
        for (const StationRecord& r : m_mainFrame.m_stationsAll)
            if (InNearestSquare(centre.longitude, centre.colatitude, minutes, r.dLongitude,
                                r.dColatitude))
                result.Add(r);
    }
    m_mainFrame.OpenResultList("Nearest stations");
}

void CVentoraView::OnParameters() {
    CDia_Parameters dialog;
    dialog.m_pGraph = m_pGraph.get();
    dialog.m_pCurrentStation = &m_mainFrame.m_currentStation;
    if (dialog.DoModal() == IDOK && m_pGraph)
        repaint(); // the graph at once; the dial of the newest wind comes with it
}

void CVentoraView::OnShowAllStations() {
    platform::WaitCursor wait;
    if (CVentoraDoc* doc = m_mainFrame.OpenChildWindow(KIND_ALL_STATIONS))
        doc->SetTitle("All stations");
}

void CVentoraView::OnMarkAllStations() {
    if (m_nKind != KIND_WORLD_MAP)
        return;
    m_bMarkAll = !m_bMarkAll;
    repaint();
}

void CVentoraView::OnFindStation() {
    CDia_Find dialog;
    if (dialog.DoModal() == IDOK)
        m_pCatalogue->SearchStations(m_strFindText, m_mainFrame.m_stationsAll, false, true);
}
