#include "app/ViewBase.h"

#include "app/WindowKinds.h"
#include "platform/Abandon.h"

CViewBase::CViewBase(CVentoraDoc& document, CMainFrame& mainFrame)
    : m_document(document), m_mainFrame(mainFrame), m_nKind(iNextWindowKind) {}

bool CViewBase::event(QEvent* event) {
    bool handled = false;
    if (!platform::AbandonOnError([&] { handled = QWidget::event(event); }))
        return true;
    return handled;
}
