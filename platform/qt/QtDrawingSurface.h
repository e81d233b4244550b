#pragma once

#include "platform/DrawingSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace platform {

// A picture held as a QImage.
class QtBitmap : public Bitmap {
public:
    explicit QtBitmap(QImage image) : m_image(std::move(image)) {}
    int Width() const override { return m_image.width(); }
    int Height() const override { return m_image.height(); }
    const QImage& Image() const { return m_image; }

private:
    QImage m_image;
};

// The font Qt draws for a face and cell height: "Arial" and "Arial Cyr" become a
// metric-compatible face (Liberation Sans) where the platform has no Arial.
QFont ResolveFont(const Font& font);
// The height of a text cell in the font: the height asked for, when it is a cell height.
int CellHeight(const Font& font);

// The drawing surface on a QPainter. Lines and shapes are drawn without anti-aliasing so that
// pixels land where the drawing code puts them: a one-pixel line leaves out its end point, a
// rectangle's outline lies inside it (right and bottom edges excluded), and text is drawn in a
// cell as high as its font's height, on the background colour while the mode is opaque.
class QtDrawingSurface : public DrawingSurface {
public:
    QtDrawingSurface(QPainter& painter, Rect client);

    Rect ClientRect() const override { return m_client; }
    Pen SelectPen(const Pen& pen) override;
    Brush SelectBrush(const Brush& brush) override;
    Font SelectFont(const Font& font) override;
    Pen CurrentPen() const override { return m_pen; }
    Color SetTextColor(Color color) override;
    Color SetBkColor(Color color) override;
    BackgroundMode SetBkMode(BackgroundMode mode) override;
    unsigned SetTextAlign(unsigned align) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void FillSolidRect(int x, int y, int cx, int cy, Color color) override;
    void SetPixel(int x, int y, Color color) override;
    void TextOut(int x, int y, const std::string& text) override;
    Size GetTextExtent(const std::string& text) const override;
    void DrawBitmap(int x, int y, const Bitmap& bitmap) override;

private:
    void ApplyPen();

    QPainter& m_painter;
    Rect m_client;
    bool m_pixels; // the painter sets pixels (an image, a window), not a drawing of shapes
    Pen m_pen = kBlackPen;
    QColor m_penColor; // the pen's colour, for the lines filled as rectangles
    Brush m_brush = kWhiteBrush;
    Font m_font{"Arial", 16, 400};
    QFont m_qfont;
    QFontMetrics m_metrics{m_qfont}; // of m_qfont
    bool m_fontSet = false;          // the painter has m_qfont (none but the surface draws with it)
    Color m_textColor = RGB(0, 0, 0);
    Color m_bkColor = RGB(255, 255, 255);
    BackgroundMode m_mode = BackgroundMode::Opaque;
    unsigned m_align = TA_LEFT | TA_TOP;
    Point m_position;
};

} // namespace platform
