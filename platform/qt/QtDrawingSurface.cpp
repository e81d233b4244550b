#include "platform/qt/QtDrawingSurface.h"

#include "platform/qt/Cp1252.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>

#include <utility>

namespace platform {

namespace {

QColor ToQColor(Color c) {
    return QColor(c.r, c.g, c.b);
}

QString FamilyFor(const std::string& face) {
    const QString requested = QString::fromStdString(face);
    if (requested.startsWith(QLatin1String("Arial"))) {
        static const QString arial = QFontDatabase::hasFamily(QStringLiteral("Arial"))
                                         ? QStringLiteral("Arial")
                                         : QStringLiteral("Liberation Sans");
        return arial;
    }
    return requested;
}

// Cell height (ascent plus descent) per pixel of em size, per family.
double CellPerEm(const QString& family) {
    static QHash<QString, double> cache;
    const auto it = cache.constFind(family);
    if (it != cache.constEnd())
        return *it;
    QFont probe(family);
    probe.setPixelSize(200);
    const QFontMetricsF metrics(probe);
    const double ratio = (metrics.ascent() + metrics.descent()) / 200.0;
    cache.insert(family, ratio > 0.5 ? ratio : 1.15);
    return cache.value(family);
}

} // namespace

QFont ResolveFont(const Font& font) {
    const QString family = FamilyFor(font.face);
    QFont q(family);
    const int height = font.height < 0 ? -font.height : font.height;
    // A positive height is the cell height; Qt sizes fonts by their em.
    const int pixels = font.height < 0 ? height : qRound(height / CellPerEm(family));
    q.setPixelSize(pixels > 0 ? pixels : 12);
    q.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}

QtDrawingSurface::QtDrawingSurface(QPainter& painter, Rect client)
    : m_painter(painter), m_client(client) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_qfont = ResolveFont(m_font);
    ApplyPen();
    m_painter.setBrush(ToQColor(m_brush.color));
}

void QtDrawingSurface::ApplyPen() {
    QPen pen(ToQColor(m_pen.color));
    pen.setWidth(m_pen.width > 1 ? m_pen.width : 1);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
}

Pen QtDrawingSurface::SelectPen(const Pen& pen) {
    Pen previous = std::exchange(m_pen, pen);
    ApplyPen();
    return previous;
}

Brush QtDrawingSurface::SelectBrush(const Brush& brush) {
    Brush previous = std::exchange(m_brush, brush);
    if (brush.null)
        m_painter.setBrush(Qt::NoBrush);
    else
        m_painter.setBrush(ToQColor(brush.color));
    return previous;
}

Font QtDrawingSurface::SelectFont(const Font& font) {
    Font previous = std::exchange(m_font, font);
    m_qfont = ResolveFont(font);
    return previous;
}

Color QtDrawingSurface::SetTextColor(Color color) {
    return std::exchange(m_textColor, color);
}
Color QtDrawingSurface::SetBkColor(Color color) {
    return std::exchange(m_bkColor, color);
}
BackgroundMode QtDrawingSurface::SetBkMode(BackgroundMode mode) {
    return std::exchange(m_mode, mode);
}
unsigned QtDrawingSurface::SetTextAlign(unsigned align) {
    return std::exchange(m_align, align);
}

void QtDrawingSurface::MoveTo(int x, int y) {
    m_position = {x, y};
}

void QtDrawingSurface::LineTo(int x, int y) {
    m_painter.drawLine(m_position.x, m_position.y, x, y);
    m_position = {x, y};
}

void QtDrawingSurface::Rectangle(int left, int top, int right, int bottom) {
    // The outline lies inside the rectangle, whose right and bottom edges are excluded.
    if (right - left < 1 || bottom - top < 1)
        return;
    if (!m_brush.null)
        m_painter.fillRect(left, top, right - left, bottom - top, ToQColor(m_brush.color));
    const QBrush previous = m_painter.brush();
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(left, top, right - left - 1, bottom - top - 1);
    m_painter.setBrush(previous);
}

void QtDrawingSurface::Ellipse(int left, int top, int right, int bottom) {
    if (right - left < 1 || bottom - top < 1)
        return;
    m_painter.drawEllipse(left, top, right - left - 1, bottom - top - 1);
}

void QtDrawingSurface::FillSolidRect(int x, int y, int cx, int cy, Color color) {
    m_painter.fillRect(x, y, cx, cy, ToQColor(color));
    m_bkColor = color;
}

void QtDrawingSurface::SetPixel(int x, int y, Color color) {
    m_painter.fillRect(x, y, 1, 1, ToQColor(color));
}

void QtDrawingSurface::TextOut(int x, int y, const std::string& text) {
    if (text.empty())
        return;
    const QString q = FromCp1252(text);
    const QFontMetrics metrics(m_qfont);
    const int width = metrics.horizontalAdvance(q);
    const int height = metrics.ascent() + metrics.descent();
    int left = x;
    if ((m_align & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (m_align & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((m_align & TA_BASELINE) == TA_BASELINE)
        top = y - metrics.ascent();
    else if (m_align & TA_BOTTOM)
        top = y - height;
    if (m_mode == BackgroundMode::Opaque)
        m_painter.fillRect(left, top, width, height, ToQColor(m_bkColor));
    const QPen previous = m_painter.pen();
    m_painter.setPen(ToQColor(m_textColor));
    m_painter.setFont(m_qfont);
    m_painter.drawText(left, top + metrics.ascent(), q);
    m_painter.setPen(previous);
}

Size QtDrawingSurface::GetTextExtent(const std::string& text) const {
    const QFontMetrics metrics(m_qfont);
    return {metrics.horizontalAdvance(FromCp1252(text)), metrics.ascent() + metrics.descent()};
}

void QtDrawingSurface::DrawBitmap(int x, int y, const Bitmap& bitmap) {
    if (const auto* qt = dynamic_cast<const QtBitmap*>(&bitmap))
        m_painter.drawImage(x, y, qt->Image());
}

} // namespace platform
