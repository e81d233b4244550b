#include "platform/qt/QtDrawingSurface.h"

#include "platform/qt/Cp1252.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QPaintEngine>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>

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

// The largest pixel size whose cell (ascent plus descent) is at most `cell` pixels high:
// fonts are asked for by their cell height, Qt sizes them by their em.
int PixelSizeForCell(const QString& family, int cell) {
    static QHash<QPair<QString, int>, int> cache;
    const QPair<QString, int> key(family, cell);
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    int best = 1;
    for (int pixels = cell; pixels >= 1; --pixels) {
        QFont probe(family);
        probe.setPixelSize(pixels);
        probe.setHintingPreference(QFont::PreferFullHinting);
        const QFontMetrics metrics(probe);
        if (metrics.ascent() + metrics.descent() <= cell) {
            best = pixels;
            break;
        }
    }
    cache.insert(key, best);
    return best;
}

} // namespace

QFont ResolveFont(const Font& font) {
    const QString family = FamilyFor(font.face);
    QFont q(family);
    // A positive height is the cell height, a negative one the em size.
    const int pixels = font.height < 0   ? -font.height
                       : font.height > 0 ? PixelSizeForCell(family, font.height)
                                         : 12;
    q.setPixelSize(pixels);
    q.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}

int CellHeight(const Font& font) {
    if (font.height > 0)
        return font.height;
    const QFontMetrics metrics(ResolveFont(font));
    return metrics.ascent() + metrics.descent();
}

QtDrawingSurface::QtDrawingSurface(QPainter& painter, Rect client)
    : m_painter(painter), m_client(client),
      m_pixels(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_qfont = ResolveFont(m_font);
    m_metrics = QFontMetrics(m_qfont);
    ApplyPen();
    m_painter.setBrush(ToQColor(m_brush.color));
}

void QtDrawingSurface::ApplyPen() {
    m_penColor = ToQColor(m_pen.color);
    QPen pen(m_penColor);
    if (m_pen.width > 1) {
        pen.setWidth(m_pen.width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setWidth(1);
        pen.setCapStyle(Qt::SquareCap); // points cover their own pixel
    }
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
    if (font == m_font)
        return font;
    Font previous = std::exchange(m_font, font);
    m_qfont = ResolveFont(font);
    m_metrics = QFontMetrics(m_qfont);
    m_fontSet = false;
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
    const int x0 = m_position.x, y0 = m_position.y;
    m_position = {x, y};
    if (m_pen.width > 1) {
        m_painter.drawLine(x0, y0, x, y);
        return;
    }
    // Qt's own one-pixel lines leave out whichever end lies further right or down; the design
    // leaves out the end point in every direction. Straight lines stop a pixel short of it;
    // slanted ones are set pixel by pixel.
    if (x0 == x && y0 == y)
        return;
    // On pixels, straight lines are the pixels of a rectangle one pixel wide: filled as one,
    // they cost a fraction of the general line path. A drawing (SVG, print) keeps them lines.
    if (y0 == y) {
        if (m_pixels)
            m_painter.fillRect(std::min(x0, x + 1), y, std::abs(x - x0), 1, m_penColor);
        else
            m_painter.drawLine(x0, y0, x + (x > x0 ? -1 : 1), y);
        return;
    }
    if (x0 == x) {
        if (m_pixels)
            m_painter.fillRect(x, std::min(y0, y + 1), 1, std::abs(y - y0), m_penColor);
        else
            m_painter.drawLine(x0, y0, x, y + (y > y0 ? -1 : 1));
        return;
    }
    QPolygon points;
    int px = x0, py = y0;
    const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int error = dx + dy;
    while (px != x || py != y) {
        points << QPoint(px, py);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += sx;
        }
        if (twice <= dx) {
            error += dx;
            py += sy;
        }
    }
    m_painter.drawPoints(points);
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
    const QFontMetrics& metrics = m_metrics;
    const int width = metrics.horizontalAdvance(q);
    // The text cell is as high as the font asked for; the glyphs fit inside it.
    const int height = CellHeight(m_font);
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
    if (!m_fontSet) {
        m_painter.setFont(m_qfont);
        m_fontSet = true;
    }
    m_painter.drawText(left, top + metrics.ascent(), q);
    m_painter.setPen(previous);
}

Size QtDrawingSurface::GetTextExtent(const std::string& text) const {
    return {m_metrics.horizontalAdvance(FromCp1252(text)), CellHeight(m_font)};
}

void QtDrawingSurface::DrawBitmap(int x, int y, const Bitmap& bitmap) {
    if (const auto* qt = dynamic_cast<const QtBitmap*>(&bitmap))
        m_painter.drawImage(x, y, qt->Image());
}

} // namespace platform
