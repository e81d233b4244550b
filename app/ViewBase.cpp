#include "app/ViewBase.h"

#include "app/WindowKinds.h"

CViewBase::CViewBase(CVentoraDoc& document, CMainFrame& mainFrame)
    : m_document(document), m_mainFrame(mainFrame), m_nKind(iNextWindowKind) {}
