#include "app/ChildFrame.h"

#include "app/DocTemplate.h"
#include "app/VentoraDoc.h"
#include "views/ViewBase.h"
#include "views/WindowKinds.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>

CChildFrame::CChildFrame(std::int32_t kind, QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window's File > Close owns the keys that close a child window: the same keys on
    // the window's own menu would make each press ambiguous, and then nothing closes.
    if (systemMenu())
        for (QAction* action : systemMenu()->actions())
            action->setShortcuts({});
    const WindowKindTraits& traits = KindTraits(kind);
    resize(traits.width, traits.height);
}

CChildFrame::~CChildFrame() {
    Finish();
}

void CChildFrame::SetView(CViewBase* view, std::unique_ptr<CVentoraDoc> document) {
    m_view = view;
    m_document = std::move(document);
    m_document->SetFrame(this);
    setWidget(view);
}

void CChildFrame::Finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (m_view)
        m_view->OnDestroy();
    if (m_document)
        m_document->Template().RemoveDocument(m_document.get());
}

void CChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_onChanged)
        m_onChanged();
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
    // A maximised child window would append "- [its title]" to the main window's title whenever
    // that changes; the main window makes its own title.
    if (watched == window() && event->type() == QEvent::WindowTitleChange)
        return false;
    return QMdiSubWindow::eventFilter(watched, event);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        Finish();
}
