#pragma once

#include <QMdiSubWindow>

#include <cstdint>
#include <functional>
#include <memory>

class CVentoraDoc;
class CViewBase;

// A child window: one view of one document. Its size is decided by the window kind when it is
// made; closing it runs the view's close work once and releases the document.
class CChildFrame : public QMdiSubWindow {
public:
    CChildFrame(std::int32_t kind, QWidget* parent = nullptr);
    ~CChildFrame() override;

    void SetView(CViewBase* view, std::unique_ptr<CVentoraDoc> document);
    CViewBase* View() const { return m_view; }

    // Runs the view's close work (once) and tells the document's template.
    void Finish();
    // For a view whose creation failed: it never became a window, so it has no close work.
    void Abandon() { m_finished = true; }

    // Called after the window's title or state (normal, maximised, minimised) changed.
    void SetChangeHandler(std::function<void()> handler) { m_onChanged = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CViewBase* m_view = nullptr;
    std::unique_ptr<CVentoraDoc> m_document;
    bool m_finished = false;
    std::function<void()> m_onChanged;
};
