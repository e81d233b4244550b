#include "tests/support/RecordingSurface.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace testing_support {

std::vector<DrawOp> RecordingSurface::OfKind(DrawOp::Kind kind) const {
    std::vector<DrawOp> result;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(result),
                 [kind](const DrawOp& op) { return op.kind == kind; });
    return result;
}

std::vector<std::string> RecordingSurface::Texts() const {
    std::vector<std::string> texts;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Text)
            texts.push_back(op.text);
    return texts;
}

const DrawOp* RecordingSurface::FindText(const std::string& text) const {
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Text && op.text == text)
            return &op;
    return nullptr;
}

DrawOp RecordingSurface::Make(DrawOp::Kind kind) const {
    DrawOp op;
    op.kind = kind;
    op.pen = m_pen;
    op.brush = m_brush;
    op.color = m_textColor;
    op.background = m_bkColor;
    op.mode = m_mode;
    op.align = m_align;
    op.font = m_font;
    return op;
}

Pen RecordingSurface::SelectPen(const Pen& pen) {
    return std::exchange(m_pen, pen);
}
Brush RecordingSurface::SelectBrush(const Brush& brush) {
    return std::exchange(m_brush, brush);
}
Font RecordingSurface::SelectFont(const Font& font) {
    return std::exchange(m_font, font);
}
Color RecordingSurface::SetTextColor(Color color) {
    return std::exchange(m_textColor, color);
}
Color RecordingSurface::SetBkColor(Color color) {
    return std::exchange(m_bkColor, color);
}
BackgroundMode RecordingSurface::SetBkMode(BackgroundMode mode) {
    return std::exchange(m_mode, mode);
}
unsigned RecordingSurface::SetTextAlign(unsigned align) {
    return std::exchange(m_align, align);
}

void RecordingSurface::MoveTo(int x, int y) {
    m_position = {x, y};
}

void RecordingSurface::LineTo(int x, int y) {
    DrawOp op = Make(DrawOp::Line);
    op.x1 = m_position.x;
    op.y1 = m_position.y;
    op.x2 = x;
    op.y2 = y;
    ops.push_back(op);
    m_position = {x, y};
}

void RecordingSurface::Rectangle(int left, int top, int right, int bottom) {
    DrawOp op = Make(DrawOp::Rectangle);
    op.x1 = left, op.y1 = top, op.x2 = right, op.y2 = bottom;
    ops.push_back(op);
}

void RecordingSurface::Ellipse(int left, int top, int right, int bottom) {
    DrawOp op = Make(DrawOp::Ellipse);
    op.x1 = left, op.y1 = top, op.x2 = right, op.y2 = bottom;
    ops.push_back(op);
}

void RecordingSurface::FillSolidRect(int x, int y, int cx, int cy, Color color) {
    DrawOp op = Make(DrawOp::FillRect);
    op.x1 = x, op.y1 = y, op.x2 = cx, op.y2 = cy;
    op.color = color;
    ops.push_back(op);
    m_bkColor = color;
}

void RecordingSurface::SetPixel(int x, int y, Color color) {
    DrawOp op = Make(DrawOp::Pixel);
    op.x1 = x, op.y1 = y;
    op.color = color;
    ops.push_back(op);
}

void RecordingSurface::TextOut(int x, int y, const std::string& text) {
    DrawOp op = Make(DrawOp::Text);
    op.x1 = x, op.y1 = y;
    op.text = text;
    ops.push_back(op);
}

Size RecordingSurface::GetTextExtent(const std::string& text) const {
    return {static_cast<int>(text.size()) * std::max(1, m_font.height / 2), m_font.height};
}

void RecordingSurface::DrawBitmap(int x, int y, const platform::Bitmap& bitmap) {
    DrawOp op = Make(DrawOp::Bitmap);
    op.x1 = x, op.y1 = y, op.x2 = bitmap.Width(), op.y2 = bitmap.Height();
    ops.push_back(op);
}

} // namespace testing_support
