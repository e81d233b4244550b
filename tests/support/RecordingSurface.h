#pragma once

#include "platform/DrawingSurface.h"

#include <vector>

namespace testing_support {

using platform::BackgroundMode;
using platform::Brush;
using platform::Color;
using platform::DrawingSurface;
using platform::Font;
using platform::Pen;
using platform::Point;
using platform::Rect;
using platform::Size;

// One logged drawing operation, with the state it was drawn in.
struct DrawOp {
    enum Kind { Line, Rectangle, Ellipse, FillRect, Pixel, Text, Bitmap } kind = Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends; rectangle corners; fill x, y, cx, cy
    Pen pen;
    Brush brush;
    Color color;      // fill, pixel and text colour
    Color background; // text background
    BackgroundMode mode = BackgroundMode::Opaque;
    unsigned align = 0;
    Font font;
    std::string text;
};

// A drawing surface that draws nothing and logs every operation. Texts measure
// half their font height per character, so that widths are predictable.
class RecordingSurface : public DrawingSurface {
public:
    explicit RecordingSurface(Rect client = {0, 0, 650, 670}) : m_client(client) {}

    std::vector<DrawOp> ops;

    std::vector<DrawOp> OfKind(DrawOp::Kind kind) const;
    // Texts drawn, in order.
    std::vector<std::string> Texts() const;
    const DrawOp* FindText(const std::string& text) const;
    void Clear() { ops.clear(); }

    Rect ClientRect() const override { return m_client; }
    void SetClientRect(Rect client) { m_client = client; }

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
    void DrawBitmap(int x, int y, const platform::Bitmap& bitmap) override;

    Color TextColor() const { return m_textColor; }

private:
    DrawOp Make(DrawOp::Kind kind) const;

    Rect m_client;
    Pen m_pen = platform::kBlackPen;
    Brush m_brush = platform::kWhiteBrush;
    Font m_font{"System", 16, 400};
    Color m_textColor = platform::RGB(0, 0, 0);
    Color m_bkColor = platform::RGB(255, 255, 255);
    BackgroundMode m_mode = BackgroundMode::Opaque;
    unsigned m_align = platform::TA_LEFT | platform::TA_TOP;
    Point m_position;
};

} // namespace testing_support
