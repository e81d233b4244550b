#pragma once

#include "platform/qt/CommandTarget.h"

#include <QWidget>

#include <cstdint>

class CMainFrame;
class CVentoraDoc;

// What the child windows' views share: their document, their kind, creation in two steps
// (creation, which may fail, and the initial update), and the end of the window.
class CViewBase : public QWidget, public platform::CommandTarget {
public:
    CViewBase(CVentoraDoc& document, CMainFrame& mainFrame);

    // Returns -1 when the window cannot be created (it is then not shown at all).
    virtual int OnCreate() { return 0; }
    virtual void OnInitialUpdate() {}
    // The window closes: the view's own close work, once.
    virtual void OnDestroy() {}
    virtual bool IsMapView() const = 0;

    CVentoraDoc& Document() { return m_document; }
    CMainFrame& MainFrame() { return m_mainFrame; }
    std::int32_t Kind() const { return m_nKind; }

protected:
    // Every event of a view runs here: an out-of-range error in a handler abandons that
    // handler's work and the program goes on.
    bool event(QEvent* event) override;

    CVentoraDoc& m_document;
    CMainFrame& m_mainFrame;
    std::int32_t m_nKind;
};
