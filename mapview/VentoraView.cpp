#include "mapview/VentoraView.h"

#include "catalogue/StationCatalogue.h"
#include "dialogs/FindDialog.h"
#include "dialogs/ParametersDialog.h"
#include "mapview/MeteogramPane.h"
#include "mapview/WorldMapPane.h"
#include "mapview/ZoomMapPane.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "platform/qt/QtDrawingSurface.h"
#include "resources/CommandIds.h"
#include "views/WindowHost.h"
#include "views/WindowKinds.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using namespace ids;

namespace {

// The pane of a window kind: the one place where the kind decides what a map view is.
std::unique_ptr<ViewPane> MakePane(std::int32_t kind, WindowHost& host, QWidget& window) {
    switch (kind) {
    case KIND_STATION:
        return std::make_unique<MeteogramPane>(host, window);
    case KIND_ZOOM_MAP:
        return std::make_unique<ZoomMapPane>(host, window, host.ZoomRegion());
    default:
        return std::make_unique<WorldMapPane>(host, window);
    }
}

} // namespace

CVentoraView::CVentoraView(WindowHost& host)
    : CViewBase(host), m_pane(MakePane(m_nKind, host, *this)) {
    setMouseTracking(true);
    // Keys reach the window (the readout of a meteogram moves with Left and Right).
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    SetCommands({
        {ID_VIEW_PARAMETERS, [this] { OnParameters(); }},
        {ID_VIEW_SHOW_ALL_STATIONS, [this] { OnShowAllStations(); }},
        {ID_VIEW_MARK_ALL_STATIONS, [this] { m_pane->MarkAll(); },
         [this] { return m_pane->MarkAllState(); }},
        {ID_VIEW_FIND_STATION, [this] { OnFindStation(); }},
        // A meteogram fetches its newest report, a coloured map its table; the pane decides.
        {ID_VIEW_REFRESH, [this] { m_pane->Refresh(); }, [this] { return m_pane->RefreshState(); }},
        {ID_FILE_SAVE_PICTURE, [this] { WithMeteogram(&MeteogramPane::OnSavePicture); },
         [this] { return platform::CommandUi{PaneAs<MeteogramPane>() != nullptr}; }},
        {ID_FILE_PRINT, [this] { WithMeteogram([](MeteogramPane& m) { m.OnPrint(false); }); },
         [this] { return platform::CommandUi{PaneAs<MeteogramPane>() != nullptr}; }},
        {ID_FILE_PRINT_PREVIEW,
         [this] { WithMeteogram([](MeteogramPane& m) { m.OnPrint(true); }); },
         [this] { return platform::CommandUi{PaneAs<MeteogramPane>() != nullptr}; }},
        {ID_EDIT_COPY, [this] { WithMeteogram(&MeteogramPane::CopyToClipboard); },
         [this] { return platform::CommandUi{PaneAs<MeteogramPane>() != nullptr}; }},
    });
}

CVentoraView::~CVentoraView() = default;

int CVentoraView::OnCreate() {
    if (!m_pane->Create())
        return -1;
    m_host.RegisterLayoutEntry(m_nKind, m_pane->Station(), this);
    return 0;
}

void CVentoraView::OnInitialUpdate() {
    m_strText = m_pane->Title();
    SetDocumentTitle(m_strText);
}

void CVentoraView::OnDestroy() {
    m_pane->Destroy();
}

void CVentoraView::OnDraw(platform::DrawingSurface& dc) {
    m_pane->Draw(dc);
}

void CVentoraView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::QtDrawingSurface surface(painter, {0, 0, width(), height()});
    OnDraw(surface);
}

bool CVentoraView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string tip = m_pane->ToolTipAt(help->pos());
        if (tip.empty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), platform::FromCp1252(tip), this);
        }
        return true;
    }
    return CViewBase::event(event);
}

void CVentoraView::mouseMoveEvent(QMouseEvent* event) {
    // A drag whose release went elsewhere (to a message box, say) has ended.
    if (!(event->buttons() & Qt::LeftButton))
        m_pane->CancelDrag();
    m_pane->MouseMove(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CVentoraView::leaveEvent(QEvent* event) {
    m_pane->MouseLeave();
    QWidget::leaveEvent(event);
}

void CVentoraView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && m_pane->KeyPress(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

std::string CVentoraView::StatusText() const {
    return m_pane->StatusText();
}

void CVentoraView::WithMeteogram(const std::function<void(MeteogramPane&)>& work) {
    if (auto* meteogram = PaneAs<MeteogramPane>())
        work(*meteogram);
}

void CVentoraView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pane->MousePress(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void CVentoraView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pane->MouseRelease(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

void CVentoraView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not the base handling: it would take the second press for the start of a drag, whose
    // release the message box or the new list then takes away.
    m_pane->CancelDrag();
    if (event->button() == Qt::LeftButton)
        m_pane->DoubleClick(event->position().toPoint());
    event->accept();
}

void CVentoraView::OnParameters() {
    CDia_Parameters dialog;
    dialog.m_pGraph = m_pane->Graph();
    dialog.m_pCurrentStation = &m_host.CurrentStation();
    if (dialog.DoModal() == IDOK && m_pane->Graph())
        repaint(); // the graph at once; the dial of the newest wind comes with it
}

void CVentoraView::OnShowAllStations() {
    platform::WaitCursor wait;
    m_host.OpenWindow(KIND_ALL_STATIONS, "All stations");
}

void CVentoraView::OnFindStation() {
    CDia_Find dialog;
    if (dialog.DoModal() == IDOK) {
        platform::WaitCursor wait;
        m_host.Catalogue().SearchStations(m_strFindText, m_host.StationsAll(), false, true);
    }
}
