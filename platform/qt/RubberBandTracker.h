#pragma once

#include <QPoint>
#include <QRect>

#include <functional>

class QRubberBand;
class QWidget;

namespace platform {

// A rubber band dragged from the point where the button went down to the point where it is
// released, shown while the button is held. The result keeps that direction: left and top are
// the press point, right and bottom the release point (a drag to the left gives right < left).
struct TrackedRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class RubberBandTracker {
public:
    explicit RubberBandTracker(QWidget* owner);
    ~RubberBandTracker();

    void Press(QPoint at);
    void Move(QPoint to);
    // Ends the drag and hands over the rectangle; nothing when no drag was under way.
    bool Release(QPoint at, TrackedRect& result);
    // Ends a drag without a rectangle.
    void Cancel();

private:
    QWidget* m_owner;
    QRubberBand* m_band = nullptr;
    QPoint m_start;
    bool m_tracking = false;
};

} // namespace platform
