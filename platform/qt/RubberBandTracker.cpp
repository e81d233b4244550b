#include "platform/qt/RubberBandTracker.h"

#include <QRubberBand>

namespace platform {

RubberBandTracker::RubberBandTracker(QWidget* owner) : m_owner(owner) {}

RubberBandTracker::~RubberBandTracker() {
    delete m_band;
}

void RubberBandTracker::Press(QPoint at) {
    m_start = at;
    m_tracking = true;
    if (!m_band)
        m_band = new QRubberBand(QRubberBand::Rectangle, m_owner);
    m_band->setGeometry(QRect(at, QSize()));
    m_band->show();
}

void RubberBandTracker::Move(QPoint to) {
    if (m_tracking && m_band)
        m_band->setGeometry(QRect(m_start, to).normalized());
}

void RubberBandTracker::Cancel() {
    m_tracking = false;
    if (m_band)
        m_band->hide();
}

bool RubberBandTracker::Release(QPoint at, TrackedRect& result) {
    if (!m_tracking)
        return false;
    m_tracking = false;
    if (m_band)
        m_band->hide();
    result = {m_start.x(), m_start.y(), at.x(), at.y()};
    return true;
}

} // namespace platform
