#pragma once

#include "platform/qt/CommandTarget.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class CGraph;
class WindowHost;

// What the child windows' views share: their host, their kind (iNextWindowKind when the view
// is made), creation in two steps (creation, which may fail, and the initial update), and the
// end of the window. Every event of a view runs guarded: an out-of-range error in a handler
// abandons that handler's work and the program goes on.
class CViewBase : public QWidget, public platform::CommandTarget {
public:
    explicit CViewBase(WindowHost& host);

    // Returns -1 when the window cannot be created (it is then not shown at all).
    virtual int OnCreate() { return 0; }
    virtual void OnInitialUpdate() {}
    // The window closes: the view's own close work, once.
    virtual void OnDestroy() {}
    virtual bool IsMapView() const = 0;
    // The chart a meteogram window draws, for its document; none for other windows.
    virtual CGraph* Graph() const { return nullptr; }
    // What the status bar's report pane says while the window is active; empty when the window
    // has nothing to say there.
    virtual std::string StatusText() const { return {}; }

    std::int32_t Kind() const { return m_nKind; }
    WindowHost& Host() { return m_host; }
    // Where the view's document title goes (set by the window that holds the view).
    void SetTitleHandler(std::function<void(const std::string&)> handler) {
        m_setTitle = std::move(handler);
    }

protected:
    bool event(QEvent* event) override;
    void SetDocumentTitle(const std::string& title);

    WindowHost& m_host;
    std::int32_t m_nKind;

private:
    std::function<void(const std::string&)> m_setTitle;
};
