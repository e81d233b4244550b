#include "graph/Graph.h"

#include "platform/CText.h"
#include "platform/InvalidArgument.h"

#include <algorithm>
#include <cmath>
#include <string_view>

using platform::RGB;

namespace {

// Holds the surface of the drawing under way and lets go of it when the drawing ends.
class SurfaceInUse {
public:
    SurfaceInUse(platform::DrawingSurface*& slot, platform::DrawingSurface& surface)
        : m_slot(slot) {
        m_slot = &surface;
    }
    ~SurfaceInUse() { m_slot = nullptr; }
    SurfaceInUse(const SurfaceInUse&) = delete;
    SurfaceInUse& operator=(const SurfaceInUse&) = delete;

private:
    platform::DrawingSurface*& m_slot;
};

int Trunc(double v) {
    // Pixel positions far outside any window are clamped rather than overflowing.
    if (!(v > -1e9))
        return -1000000000;
    if (!(v < 1e9))
        return 1000000000;
    return static_cast<int>(std::trunc(v));
}

} // namespace

void CGraph::Draw(platform::DrawingSurface& surface) {
    const SurfaceInUse inUse(m_pDC, surface);
    try {
        DrawFrame();
        DrawAxes();
        if (!m_strTitle.empty())
            DrawTitle();
        m_pDC->SelectPen(m_penNet);
        if (m_bLegendDrawn)
            DrawLegend();
        const platform::Pen remembered = surface.CurrentPen();
        for (int s = 1; s < m_nColumns; ++s) {
            const GraphSeries& series = m_arrSeries.At(s);
            const platform::Color color = series.pen ? series.pen->color : RGB(0, 0, 0);
            surface.SelectPen(platform::Pen{m_nLineWidth, color});
            DrawSeries(s);
        }
        surface.SelectPen(remembered);
    } catch (const platform::InvalidArgument&) {
        // A table shorter than m_nColumns: the drawing stops here and what was drawn stays.
    }
}

void CGraph::DrawFrame() {
    if (!m_bShowFrame)
        return;
    if (m_bFitToWindow) {
        const platform::Rect client = m_pDC->ClientRect();
        m_rcFrame = {client.left + m_nFrameMargin, client.top + m_nFrameTopMargin,
                     client.right - m_nFrameMargin, client.bottom - m_nFrameMargin - m_nFootRoom};
    }
    m_pDC->Rectangle(m_rcFrame.left, m_rcFrame.top, m_rcFrame.right, m_rcFrame.bottom);
}

void CGraph::DrawAxes() {
    platform::DrawingSurface& dc = *m_pDC;
    // A window too narrow for the legend beside a readable plot shows the plot alone.
    constexpr int kNarrowestPlot = 100;
    m_bLegendDrawn =
        m_bShowLegend &&
        m_rcFrame.right - m_rcFrame.left - 2 * m_nPlotMargin - m_nLegendWidth >= kNarrowestPlot;
    const int legend = m_bLegendDrawn ? m_nLegendWidth : m_nFrameMargin;
    m_rcPlot = {m_rcFrame.left + m_nPlotMargin, m_rcFrame.top + m_nPlotMargin,
                m_rcFrame.right - m_nPlotMargin - legend, m_rcFrame.bottom - m_nPlotMargin};
    const int left = m_rcPlot.left, top = m_rcPlot.top, right = m_rcPlot.right,
              bottom = m_rcPlot.bottom;
    dc.Rectangle(left, top, right, bottom);

    const platform::Font oldFont = dc.SelectFont(m_fonts[1]);
    dc.SetTextAlign(platform::TA_CENTER | platform::TA_TOP);
    dc.SetTextColor(m_crLabels);
    const platform::Pen oldPen = dc.SelectPen(m_penNet);

    const int rows = m_arrRows.GetSize();
    if (rows == 0) {
        DrawMinorTicks();
        const int count = m_dXStepPixels > 0 ? Trunc((right - left) / m_dXStepPixels) + 1 : 0;
        for (int i = 1; i < count; ++i) {
            const int x = Trunc(i * m_dXStepPixels + left);
            dc.MoveTo(x, bottom - 1);
            dc.LineTo(x, m_bXShowNet ? top : bottom + 4);
            dc.TextOut(x, bottom + 4, platform::Format("%6.f", i * m_dXDelta + m_dXMin));
        }
    } else {
        if (m_nColumns != 0) {
            dc.SelectFont(m_fonts[2]);
            dc.TextOut(left + (right - left) / 2, m_rcFrame.bottom - 20,
                       m_arrSeries.At(0).strTitle);
            dc.SelectFont(m_fonts[1]);
        }
        // A single row stands on the plot's left edge; the spacing is then the plot width.
        m_dXStepPixels = rows > 1 ? static_cast<double>(right - left) / (rows - 1)
                                  : static_cast<double>(std::max(right - left, 1));
        DrawMinorTicks();
        int threshold = left;
        for (int i = 0; i < rows; ++i) {
            const int x = Trunc(i * m_dXStepPixels + left);
            if (x > Trunc(right - m_dXStepPixels))
                break; // the last row gets no tick and no label
            dc.MoveTo(x, bottom - 1);
            dc.LineTo(x, m_bXShowNet && i > 0 ? top : bottom + 4);
            if (i == 0 || x > threshold) {
                dc.MoveTo(x, bottom);
                dc.LineTo(x, bottom + 5);
                const std::string& label = m_arrRows.At(i).At(0);
                dc.TextOut(x, bottom + 4, label);
                threshold += Trunc(2.5 * dc.GetTextExtent(label).cx);
            }
        }
    }

    if (m_bYAutoscale)
        AutoscaleY();

    if (m_nYStepPixels > 0)
        for (int j = 0; j <= (bottom - top) / m_nYStepPixels; ++j) {
            const int y = bottom - j * m_nYStepPixels;
            if (j > 0) {
                dc.MoveTo(left, y);
                dc.LineTo(m_bYShowNet ? right : left - 5, y);
            }
            dc.TextOut(left - 22, y - 7, platform::Format("%4.f", j * m_dYDelta + m_dYMin));
        }

    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
}

void CGraph::DrawLegend() {
    platform::DrawingSurface& dc = *m_pDC;
    const int top = m_rcPlot.top, bottom = m_rcPlot.bottom;
    dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    dc.SelectFont(m_fonts[2]);
    const int x0 = m_rcPlot.right + 10;
    int y = top;
    // The panel's lines end above the wind dial, whatever the window's height.
    m_nNotesBottom = DialFits() ? std::min(bottom, DialCentreY() - kDialRadius - 4) : bottom;
    for (int s = 1; s < m_nColumns; ++s) {
        const GraphSeries& series = m_arrSeries.At(s);
        dc.SelectPen(series.pen ? *series.pen : platform::kBlackPen);
        dc.MoveTo(x0, y);
        dc.LineTo(x0 + 20, y);
        dc.TextOut(x0 + 30, y - 5, series.strTitle.substr(0, 30));
        if (series.notes && !series.notes->empty()) {
            dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
            int yn = y + 30;
            for (const std::string& note : *series.notes) {
                if (yn + 15 > m_nNotesBottom)
                    break;
                std::string text = note;
                platform::ReplaceAll(text, "<BR>", " ");
                text = platform::Trim(text);
                if (!text.empty()) {
                    dc.FillSolidRect(x0 - 4, yn + 4, 5, 5, RGB(0, 150, 100));
                    dc.SetBkColor(RGB(255, 255, 255));
                }
                const int lines = WrapLegendText(x0 + 5, yn, text, 35, 15, true);
                yn += 20 * lines;
            }
        }
        y += 20;
    }
}

int CGraph::WrapLegendText(int x, int y, const std::string& text, int maxChars, int lineHeight,
                           bool first) {
    if (first)
        m_nWrapLines = 1;
    // Every character stays inside the frame: a line is also cut where it would reach the
    // frame's right line.
    const int room = m_rcFrame.right - 2 - x;
    auto fits = [this, room](std::string_view line) {
        return m_pDC->GetTextExtent(std::string(line)).cx <= room;
    };
    std::string rest = text;
    // Iterative form of: draw what fits, then the rest on the next line.
    for (;;) {
        if (static_cast<int>(rest.size()) <= maxChars && fits(rest)) {
            if (y + lineHeight <= m_nNotesBottom)
                m_pDC->TextOut(x, y, rest);
            return m_nWrapLines;
        }
        ++m_nWrapLines;
        // The longest head within the character limit that fits the room (one character at
        // least, so that the text always gets shorter), found by halving.
        std::size_t high = std::min(rest.size(), static_cast<std::size_t>(std::max(maxChars, 1)));
        std::size_t low = 1;
        if (!fits(std::string_view(rest).substr(0, high))) {
            while (low + 1 < high) {
                const std::size_t middle = (low + high) / 2;
                if (fits(std::string_view(rest).substr(0, middle)))
                    low = middle;
                else
                    high = middle;
            }
            high = low;
        }
        const std::size_t limit = high;
        const std::size_t blank = rest.substr(0, limit).rfind(' ');
        const std::size_t cut = blank == std::string::npos || blank == 0 ? limit : blank;
        // Lines below the panel's room are not drawn.
        if (y + lineHeight <= m_nNotesBottom)
            m_pDC->TextOut(x, y, rest.substr(0, cut));
        std::size_t next = cut;
        while (next < rest.size() && std::isspace(static_cast<unsigned char>(rest[next])))
            ++next;
        rest = rest.substr(next);
        y += lineHeight;
    }
}

void CGraph::DrawMinorTicks() {
    platform::DrawingSurface& dc = *m_pDC;
    const int k = m_nMinorTicks;
    if (k <= 0 || !(m_dXStepPixels > 0))
        return;
    const int left = m_rcPlot.left, top = m_rcPlot.top, right = m_rcPlot.right,
              bottom = m_rcPlot.bottom;
    const int d = Trunc(m_dXStepPixels / k);
    if (d < 5)
        return;
    const int count = Trunc((right - left) / m_dXStepPixels);
    for (int i = 0; i <= count; ++i)
        for (int t = 0; t < k; ++t) {
            if (i == 0 && t == 0)
                continue;
            const int x = Trunc(i * m_dXStepPixels + left) + t * d;
            if (x < right) {
                dc.MoveTo(x, bottom - 1);
                dc.LineTo(x, bottom - 6);
            }
        }
    const int dy = m_nYStepPixels / k;
    if (dy < 5)
        return;
    for (int j = 0; j <= (bottom - top) / m_nYStepPixels; ++j)
        for (int t = 0; t < k; ++t) {
            if (j == 0 && t == 0)
                continue;
            const int y = bottom - j * m_nYStepPixels - t * dy;
            if (y > top) {
                dc.MoveTo(left + 1, y);
                dc.LineTo(left + 6, y);
            }
        }
}

void CGraph::DrawSeries(int column) {
    platform::DrawingSurface& dc = *m_pDC;
    const int top = m_rcPlot.top, bottom = m_rcPlot.bottom;
    const int mark = m_arrSeries.At(column).nMarkSize;
    auto inRange = [top, bottom](const std::optional<int>& y) {
        return y && *y >= top && *y <= bottom;
    };
    for (int i = 0; i < m_arrRows.GetSize(); ++i) {
        int xp = 0;
        std::optional<int> yp;
        if (i > 0) {
            xp = Trunc((i - 1) * m_dXStepPixels + m_rcPlot.left);
            if (xp > Trunc(m_rcPlot.right - m_dXStepPixels))
                break;
            yp = ValueToY(Value(i - 1, column));
        }
        const int x = Trunc(i * m_dXStepPixels + m_rcPlot.left);
        const std::optional<int> y = ValueToY(Value(i, column));
        // A point out of range hides itself, its mark and both segments that touch it.
        if (!inRange(y) || (i > 0 && !inRange(yp)))
            continue;
        if (i > 0) {
            dc.MoveTo(xp, *yp);
            dc.LineTo(x, *y);
        }
        if (m_bShowMarks)
            dc.FillSolidRect(x - mark / 2, *y - mark / 2, mark, mark, RGB(0, 0, 0));
    }
}

int CGraph::DialCentreY() const {
    return m_rcFrame.bottom - 50;
}

bool CGraph::DialFits() const {
    return DialCentreY() - kDialRadius >= m_rcPlot.top + 20 * (m_nColumns - 1);
}

void CGraph::DrawTitle() {
    platform::DrawingSurface& dc = *m_pDC;
    const platform::Font previous = dc.SelectFont(m_fonts[0]);
    dc.SetTextColor(m_crTitle);
    const int y = m_rcFrame.top + m_nPlotMargin / 4;
    const int centre = m_rcPlot.left + (m_rcPlot.right - m_rcPlot.left) / 2;
    const int width = dc.GetTextExtent(m_strTitle).cx;
    const int from = m_rcFrame.left + 4, to = m_rcFrame.right - 4;
    if (centre - width / 2 >= from && centre + (width + 1) / 2 <= to) {
        dc.SetTextAlign(platform::TA_CENTER | platform::TA_TOP);
        dc.TextOut(centre, y, m_strTitle);
    } else if (width <= to - from) {
        // Too wide to stand centred over the plot, not for the frame: as near the centre as fits.
        dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
        dc.TextOut(std::clamp(centre - width / 2, from, to - width), y, m_strTitle);
    } else {
        // Too wide for the frame: it starts at the frame's left, and what does not fit is cut
        // with "...", so that the station's name is always read.
        std::size_t low = 0, high = m_strTitle.size();
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (dc.GetTextExtent(m_strTitle.substr(0, middle) + "...").cx <= to - from)
                low = middle;
            else
                high = middle - 1;
        }
        dc.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
        dc.TextOut(from, y, m_strTitle.substr(0, low) + "...");
    }
    dc.SelectFont(previous);
}

void CGraph::DrawWindIndicator(platform::DrawingSurface& dc, double direction, double speed) {
    const int cx = m_rcPlot.right + (m_rcFrame.right - m_rcPlot.right) / 2;
    const int cy = DialCentreY();
    // No dial where the legend gave way to the plot, nor over the legend's own lines.
    if (!m_bLegendDrawn || !DialFits()) {
        m_strWindLabel.clear();
        return;
    }
    if (!std::isfinite(direction) || !std::isfinite(speed)) {
        // A wind the report does not give: the dial without an arrow.
        dc.Ellipse(cx - kDialRadius, cy - kDialRadius, cx + kDialRadius, cy + kDialRadius);
        dc.Ellipse(cx - 5, cy - 5, cx + 5, cy + 5);
        m_strWindLabel.clear();
        return;
    }
    const double a = direction * 0.0174532925;
    const double r = std::clamp(speed, -1e6, 1e6) + 5;
    const int tipX = cx + Trunc(-(r * std::sin(a)));
    const int tipY = cy + Trunc(r * std::cos(a));

    dc.Ellipse(cx - kDialRadius, cy - kDialRadius, cx + kDialRadius, cy + kDialRadius);
    const platform::Pen arrow =
        speed >= 30 ? platform::Pen{3, RGB(255, 0, 0)}
                    : platform::Pen{1, RGB(Trunc(std::clamp(speed, -1e6, 1e6) * 8.5) & 0xFF, 0, 0)};
    const platform::Pen previous = dc.SelectPen(arrow);
    dc.MoveTo(cx, cy);
    dc.LineTo(tipX, tipY);
    dc.SelectPen(previous);
    dc.Ellipse(cx - 5, cy - 5, cx + 5, cy + 5);

    m_strWindLabel = platform::Format("%.0f\xB0", direction);
    dc.SetBkColor(RGB(255, 255, 255));
    dc.TextOut(cx + 30, cy + 30, m_strWindLabel);
    if (speed >= 30) {
        dc.SetTextColor(RGB(255, 0, 0));
        dc.TextOut(cx - 90, cy + 30, "HURRICANE");
        dc.SetTextColor(RGB(0, 0, 0));
    }
}
