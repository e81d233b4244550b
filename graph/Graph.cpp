#include "graph/Graph.h"

#include "platform/CText.h"

#include <cmath>
#include <limits>

using platform::RGB;

CGraph::CGraph() {
    Reset();
    CreateFonts();
    m_penNet = platform::Pen{1, RGB(220, 220, 220)};
}

void CGraph::Reset() {
    m_arrRows.RemoveAll();
    m_arrValues.RemoveAll();
    m_arrSeries.RemoveAll();
    m_bFitToWindow = 1;
    m_nFrameMargin = 10;
    m_nPlotMargin = 50;
    m_nLegendWidth = 155;
    m_nYStepPixels = 50;
    m_nMinorTicks = 5;
    m_dXStepPixels = 50.0;
    m_rcFrame = {20, 20, 820, 520};
    m_rcPlot = {};
    m_crTitle = RGB(0, 0, 0);
    m_crLabels = RGB(0, 0, 0);
    m_strWindLabel.clear();
    m_strTitle.clear();
    m_bYAutoscale = 0;
    m_bShowFrame = 1;
    m_bXShowNet = 1;
    m_bYShowNet = 1;
    m_bShowMarks = 0;
    m_bShowLegend = 1;
    m_nLineWidth = 1;
    m_nFrameTopMargin = 10;
    m_nColumns = 0;
    m_dXMin = 0.0;
    m_dYMin = -20.0;
    m_dXDelta = 10.0;
    m_dYDelta = 5.0;
}

void CGraph::CreateFonts() {
    m_fonts = {platform::Font{"Arial Cyr", 16, 400}, platform::Font{"Arial Cyr", 14, 400},
               platform::Font{"Arial Cyr", 14, 400}, platform::Font{"Arial Cyr", 14, 400}};
}

std::int32_t CGraph::AddSeries(std::int32_t markSize, const std::string& title,
                               std::optional<platform::Pen> pen,
                               std::optional<std::vector<std::string>> notes) {
    return m_arrSeries.Add(GraphSeries{markSize, title, pen, std::move(notes)});
}

void CGraph::AddRow(GraphRow row) {
    platform::GrowableArray<double> values;
    values.Reserve(row.GetSize());
    for (const std::string& text : row)
        values.Add(platform::LeadingDouble(text));
    m_arrValues.Add(std::move(values));
    m_arrRows.Add(std::move(row));
}

void CGraph::RemoveAll() {
    m_arrSeries.RemoveAll();
    m_arrRows.RemoveAll();
    m_arrValues.RemoveAll();
}

void CGraph::SetNotes(int series, std::optional<std::vector<std::string>> notes) {
    m_arrSeries.At(series).notes = std::move(notes);
}

double CGraph::Value(int row, int column) const {
    return m_arrValues.At(row).At(column);
}

std::optional<int> CGraph::ValueToY(double value) const {
    // Computed in doubles first: a zero Y delta or huge values must not overflow the pixels.
    const double scale = m_nYStepPixels / m_dYDelta;
    const double a = value * scale;
    const double b = m_dYMin * scale;
    constexpr double kLimit = 1e9;
    if (!std::isfinite(a) || !std::isfinite(b) || std::fabs(a) > kLimit || std::fabs(b) > kLimit)
        return std::nullopt;
    const long long y = static_cast<long long>(m_rcPlot.bottom) -
                        static_cast<long long>(std::trunc(a)) +
                        static_cast<long long>(std::trunc(b));
    if (y < std::numeric_limits<int>::min() || y > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(y);
}

int CGraph::RowToX(int row) const {
    return static_cast<int>(std::trunc(row * m_dXStepPixels + m_rcPlot.left));
}

void CGraph::AutoscaleY() {
    if (m_arrRows.GetSize() == 0)
        return;
    double max = -100000000000.0;
    double min = 100000000000.0;
    for (int c = 1; c < m_nColumns; ++c)
        for (int r = 0; r < m_arrRows.GetSize(); ++r) {
            const double v = Value(r, c);
            if (v > max)
                max = v;
            if (v < min)
                min = v;
        }
    int n =
        m_nYStepPixels > 0 ? (m_rcPlot.bottom - m_rcPlot.top - m_nYStepPixels) / m_nYStepPixels : 0;
    if (n < 1)
        n = 1; // a plot under two grid intervals high still gets one interval
    const double raw = (max - min) / n;
    // Equal values, no series column or values beyond any scale leave the axis as it was.
    if (!(raw > 0) || !std::isfinite(raw))
        return;
    const int e = static_cast<int>(std::floor(std::log10(raw)));
    double p = 1.0;
    for (int i = 0; i < std::abs(e); ++i)
        p *= 10.0;
    if (e < 0)
        p = 1.0 / p;
    double delta = (std::trunc(raw / p) + 1) * p;
    if (delta == 0)
        delta = p;
    m_dYDelta = delta;
    m_dYMin = std::trunc(min / delta) * delta - delta;
}
