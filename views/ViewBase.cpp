#include "views/ViewBase.h"

#include "platform/Abandon.h"
#include "views/WindowKinds.h"

CViewBase::CViewBase(WindowHost& host) : m_host(host), m_nKind(iNextWindowKind) {}

bool CViewBase::event(QEvent* event) {
    bool handled = false;
    if (!platform::AbandonOnError([&] { handled = QWidget::event(event); }))
        return true;
    return handled;
}

void CViewBase::SetDocumentTitle(const std::string& title) {
    if (m_setTitle)
        m_setTitle(title);
}
