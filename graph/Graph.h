#pragma once

#include "platform/DrawingSurface.h"
#include "platform/GrowableArray.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One entry of a graph's series table. Entry 0 describes the X axis (its title is the X axis
// title; no pen, no notes); the others are the plotted series.
struct GraphSeries {
    std::int32_t nMarkSize = 0;
    std::string strTitle;
    std::optional<platform::Pen> pen;              // only its colour draws the curve
    std::optional<std::vector<std::string>> notes; // lines under the legend entry
};

using GraphRow = platform::GrowableArray<std::string>;

// The line chart of a meteogram window: series of values against equally spaced rows. Values
// are held as "%.2f" texts, as they are shown, and beside them as the numbers those texts read
// (read once, when the row is added).
class CGraph {
public:
    CGraph();

    void Reset();
    void CreateFonts();
    void SetTitle(const std::string& title) { m_strTitle = title; }
    // The graph takes the title, pen and notes; returns the index of the new entry.
    std::int32_t AddSeries(std::int32_t markSize, const std::string& title,
                           std::optional<platform::Pen> pen,
                           std::optional<std::vector<std::string>> notes = std::nullopt);
    void AddRow(GraphRow row);
    // Empties the series table and the rows; the user parameters stay.
    void RemoveAll();
    // Replaces the notes of a series entry.
    void SetNotes(int series, std::optional<std::vector<std::string>> notes);

    void AutoscaleY();

    // Drawing, through the surface; an index out of range stops the drawing where it is.
    void Draw(platform::DrawingSurface& surface);
    // The wind dial in the legend column, after Draw: direction in degrees, speed in the unit
    // the graph shows.
    void DrawWindIndicator(platform::DrawingSurface& surface, double direction, double speed);

    int RowCount() const { return m_arrRows.GetSize(); }
    const GraphRow& Row(int i) const { return m_arrRows.At(i); }
    int SeriesCount() const { return m_arrSeries.GetSize(); }
    const GraphSeries& Series(int i) const { return m_arrSeries.At(i); }

    // The pixel row of a value, or none when the scale cannot place it.
    std::optional<int> ValueToY(double value) const;
    int RowToX(int row) const;

    // Members, in the order and with the defaults of the design.
    std::uint8_t m_bFitToWindow;
    std::int32_t m_nFrameMargin;
    std::int32_t m_nPlotMargin;
    std::int32_t m_nLegendWidth;
    std::int32_t m_nYStepPixels;
    std::int32_t m_nMinorTicks;
    // Before the first drawing with rows there is no row spacing; a numeric X axis then uses
    // this one.
    double m_dXStepPixels = 50.0;
    platform::DrawingSurface* m_pDC = nullptr; // only while a drawing is under way
    platform::Rect m_rcFrame;
    platform::Rect m_rcPlot;
    std::array<platform::Font, 4> m_fonts;
    platform::Color m_crTitle;
    platform::Color m_crLabels;
    platform::Pen m_penNet;
    std::string m_strWindLabel;
    std::string m_strTitle;
    std::uint8_t m_bYAutoscale;
    std::uint8_t m_bShowFrame;
    std::uint8_t m_bXShowNet;
    std::uint8_t m_bYShowNet;
    std::uint8_t m_bShowMarks;
    std::uint8_t m_bShowLegend;
    std::int32_t m_nLineWidth;
    std::int32_t m_nFrameTopMargin;
    std::int32_t m_nFootRoom = 0; // kept free below the frame, for a note of the window's own
    std::int32_t m_nColumns;
    double m_dXMin;
    double m_dYMin;
    double m_dXDelta;
    double m_dYDelta;

private:
    void DrawFrame();
    // The plot's box, the axes with their grid and labels; where the legend goes decides the
    // plot's width.
    void DrawAxes();
    void DrawTitle();
    // The entries of the series, the panel's lines under the last, beside the plot.
    void DrawLegend();
    // Where the wind dial of the legend column stands, and how large it is.
    int DialCentreY() const;
    // Below the legend's entries there is room for the dial.
    bool DialFits() const;
    static constexpr int kDialRadius = 30;
    void DrawMinorTicks();
    void DrawSeries(int column);
    // Draws the text in lines of at most `maxChars` characters that also fit between x and the
    // frame's right line, breaking at the last blank; returns the number of lines.
    int WrapLegendText(int x, int y, const std::string& text, int maxChars, int lineHeight,
                       bool first);
    double Value(int row, int column) const;

    platform::GrowableArray<GraphRow> m_arrRows;
    platform::GrowableArray<platform::GrowableArray<double>> m_arrValues; // the rows' numbers
    platform::GrowableArray<GraphSeries> m_arrSeries;
    int m_nWrapLines = 0;
    bool m_bLegendDrawn = false; // the legend had room in the latest drawing
    int m_nNotesBottom = 0;      // the panel's lines end above it
};
