#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;

// The Window menu's arrangements of the child windows in their area.
namespace arrangement {

// One column (side by side) or one row (one above the other) per window not minimised.
void Tile(QMdiArea& area, bool sideBySide);

// Each window keeps its size, shrunk only where it would not fit inside the area, and steps down
// the diagonal by a title bar's height, starting again at the top left before a title bar would
// leave the area; the active window comes last, on top. `kindSize` gives a window squeezed to a
// stub the size of its kind back.
void Cascade(QMdiArea& area, const std::function<QSize(QMdiSubWindow*)>& kindSize);

// Minimised windows in rows along the bottom edge, from the left.
void ArrangeIcons(QMdiArea& area);

} // namespace arrangement

// The numbered list of open windows at the end of the Window menu: the first nine by creation,
// the active one always among them, each title cut to a menu's width (the whole title in its
// tip); "More Windows..." lists them all.
class WindowList : public QObject {
public:
    WindowList(QMdiArea& area, QWidget& dialogParent);

    // Puts the list below the menu's own items, in place of the last one.
    void Fill(QMenu* menu);
    // The dialog of "More Windows...": every window, the active one selected.
    void Choose();

    static constexpr int kListed = 9;

private:
    QMdiArea& m_area;
    QWidget& m_dialogParent;
    std::vector<QPointer<QAction>> m_actions;
};
