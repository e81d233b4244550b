#include "graph/Graph.h"
#include "platform/CText.h"
#include "tests/support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>

using platform::RGB;
using testing_support::DrawOp;
using testing_support::RecordingSurface;

namespace {

const platform::Color kRed = RGB(250, 0, 0);

// A graph with the X entry and one red series, the rows holding `values`.
CGraph Graph(const std::vector<double>& values) {
    CGraph g;
    g.AddSeries(0, "Time UTC (every 30 min)", std::nullopt);
    g.AddSeries(4, "Temperature", platform::Pen{1, kRed});
    g.m_nColumns = 2;
    for (std::size_t i = 0; i < values.size(); ++i) {
        GraphRow row;
        row.Add(platform::Format("%02d:%02d", static_cast<int>(i / 2 % 24), i % 2 ? 30 : 0));
        row.Add(platform::Format("%.2f", values[i]));
        g.AddRow(row);
    }
    return g;
}

std::vector<DrawOp> LinesIn(const RecordingSurface& s, platform::Color color) {
    std::vector<DrawOp> lines;
    for (const DrawOp& op : s.OfKind(DrawOp::Line))
        if (op.pen.color == color)
            lines.push_back(op);
    return lines;
}

} // namespace

TEST(GraphDrawing, PlotEdgesInsideTheFrameWithAndWithoutLegend) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1, 2, 3});
    g.Draw(s);
    EXPECT_EQ(g.m_rcFrame, (platform::Rect{10, 10, 640, 660}));
    EXPECT_EQ(g.m_rcPlot, (platform::Rect{60, 60, 435, 610}));
    EXPECT_EQ(g.m_rcFrame.right - g.m_rcPlot.right, 205);
    const auto rects = s.OfKind(DrawOp::Rectangle);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].x2, 640);
    EXPECT_EQ(rects[1].x2, 435);

    g.m_bShowLegend = 0;
    s.Clear();
    g.Draw(s);
    EXPECT_EQ(g.m_rcFrame.right - g.m_rcPlot.right, 60);
    EXPECT_FALSE(s.FindText("Temperature")); // no legend
}

TEST(GraphDrawing, XLabelsAreThinnedToTwoAndAHalfOfTheirWidths) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph(std::vector<double>(49, 5.0)); // 375 / 48 = 7.8125 pixels apart
    g.Draw(s);
    std::vector<std::string> labels;
    for (const DrawOp& op : s.OfKind(DrawOp::Text))
        if (op.y1 == 614) // bottom + 4
            labels.push_back(op.text);
    // Labels measure 5 x 7 pixels here, so each uses 87 pixels of axis: rows 0, 12, 23, 34, 45.
    EXPECT_EQ(labels, (std::vector<std::string>{"00:00", "06:00", "11:30", "17:00", "22:30"}));
    const DrawOp* first = s.FindText("00:00");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->x1, 60);
    EXPECT_EQ(first->align, platform::TA_CENTER | platform::TA_TOP);
    // The last row gets no tick: the vertical grid ends before the right edge.
    for (const DrawOp& op : s.OfKind(DrawOp::Line)) {
        if (op.pen == g.m_penNet && op.x1 == op.x2 && op.y2 == 60) {
            EXPECT_LT(op.x1, 435);
        }
    }
}

TEST(GraphDrawing, NoMinorTicksWhenRowsAreTwentyPixelsApart) {
    RecordingSurface s({0, 0, 675, 670}); // a plot 400 pixels wide
    CGraph g = Graph(std::vector<double>(21, 5.0));
    g.Draw(s);
    ASSERT_DOUBLE_EQ(g.m_dXStepPixels, 20.0);
    for (const DrawOp& op : s.OfKind(DrawOp::Line)) {
        EXPECT_FALSE(op.y1 == g.m_rcPlot.bottom - 1 && op.y2 == g.m_rcPlot.bottom - 6);
        EXPECT_FALSE(op.x1 == g.m_rcPlot.left + 1 && op.x2 == g.m_rcPlot.left + 6);
    }

    // Rows 50 pixels apart get them on both axes, 10 pixels apart.
    RecordingSurface wide({0, 0, 675, 670});
    CGraph h = Graph(std::vector<double>(9, 5.0));
    h.Draw(wide);
    int xTicks = 0, yTicks = 0;
    for (const DrawOp& op : wide.OfKind(DrawOp::Line)) {
        xTicks += op.y1 == h.m_rcPlot.bottom - 1 && op.y2 == h.m_rcPlot.bottom - 6;
        yTicks += op.x1 == h.m_rcPlot.left + 1 && op.x2 == h.m_rcPlot.left + 6;
    }
    EXPECT_EQ(xTicks, 8 * 5 - 1);  // 8 intervals of 5, less the one on the corner
    EXPECT_EQ(yTicks, 11 * 5 - 1); // 550 pixels: 11 intervals, none on the top edge
}

TEST(GraphDrawing, PointsOutsideTheAxisHideThemselvesAndTheirSegments) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({10, 40, 12, 14, 16}); // the axis ends at 35
    g.m_bShowMarks = 1;
    g.Draw(s);
    const auto lines = LinesIn(s, kRed);
    // The legend sample, then only the segments 12-14 and 14-16.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].y1, lines[0].y2); // the legend sample line
    EXPECT_EQ(lines[1].x1, g.RowToX(2));
    EXPECT_EQ(lines[1].y1, *g.ValueToY(12));
    EXPECT_EQ(lines[2].x2, g.RowToX(4));
    EXPECT_EQ(lines[2].y2, *g.ValueToY(16));
    EXPECT_EQ(*g.ValueToY(10), 610 - 100 - 200); // bottom - 10 * 10 + trunc(-20 * 10)
    // Marks: row 0 (in range), not 1 (above), not 2 (right after), 3 and 4.
    std::vector<int> marked;
    for (const DrawOp& op : s.OfKind(DrawOp::FillRect))
        if (op.color == RGB(0, 0, 0))
            marked.push_back(op.x1 + 2);
    EXPECT_EQ(marked, (std::vector<int>{g.RowToX(0), g.RowToX(3), g.RowToX(4)}));
}

TEST(GraphDrawing, AValueNotGivenHidesItsPointAndNeverStandsAtZero) {
    // The meteogram writes a missing value as "%.2f" of NaN.
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({10, std::numeric_limits<double>::quiet_NaN(), 14});
    g.m_bShowMarks = 1;
    g.m_bYAutoscale = 1;
    g.Draw(s);
    EXPECT_EQ(LinesIn(s, kRed).size(), 1u); // the legend sample only: both segments touch row 1
    std::vector<int> marked;
    for (const DrawOp& op : s.OfKind(DrawOp::FillRect))
        if (op.color == RGB(0, 0, 0))
            marked.push_back(op.x1 + 2);
    EXPECT_EQ(marked, (std::vector<int>{g.RowToX(0)})); // row 2 follows a hidden point
    EXPECT_DOUBLE_EQ(g.m_dYMin, 9.5); // the scale from 10 and 14 only: steps of 0.5
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 0.5);

    // A wind the report does not give: the dial without an arrow or a label.
    s.Clear();
    g.DrawWindIndicator(s, std::numeric_limits<double>::quiet_NaN(), 3);
    EXPECT_EQ(s.OfKind(DrawOp::Ellipse).size(), 2u);
    EXPECT_TRUE(s.OfKind(DrawOp::Line).empty());
    EXPECT_TRUE(s.Texts().empty());
}

TEST(GraphDrawing, YLabelsAndNetFollowTheScale) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1});
    g.m_bYShowNet = 0;
    g.Draw(s);
    const DrawOp* bottom = s.FindText(" -20");
    ASSERT_TRUE(bottom);
    EXPECT_EQ(bottom->x1, 38);
    EXPECT_EQ(bottom->y1, 603);
    EXPECT_TRUE(s.FindText("  35")); // 11 intervals of 5 above -20
    // Without the net, short ticks to the left of the axis.
    int shortTicks = 0;
    for (const DrawOp& op : s.OfKind(DrawOp::Line))
        shortTicks += op.x1 == 60 && op.x2 == 55 && op.y1 == op.y2;
    EXPECT_EQ(shortTicks, 11);
}

TEST(GraphDrawing, ASingleRowStandsOnTheLeftEdge) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({12});
    g.m_bShowMarks = 1;
    g.Draw(s);
    const auto marks = s.OfKind(DrawOp::FillRect);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.back().x1, 60 - 2);
    EXPECT_EQ(marks.back().y1, *g.ValueToY(12) - 2);
    EXPECT_TRUE(s.FindText("00:00"));
}

TEST(GraphDrawing, WithoutRowsTheXAxisIsNumbered) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g;
    g.m_dXMin = 100;
    g.m_dXDelta = 3;
    g.Draw(s);
    // 375 pixels of plot: labels every 50 pixels, 1 to 7.
    EXPECT_TRUE(s.FindText("   103"));
    EXPECT_TRUE(s.FindText("   121"));
    EXPECT_FALSE(s.FindText("   124"));
    EXPECT_EQ(s.FindText("   103")->x1, 110);
    EXPECT_EQ(s.FindText("   103")->y1, g.m_rcPlot.bottom + 4);
}

TEST(GraphDrawing, NotesWrapAtThirtyFiveCharacters) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1, 2});
    g.m_fonts[2].height = 8; // narrow enough for the character limit to bite first
    g.SetNotes(1, std::vector<std::string>{
                      "DATE: KJFK (NEW YORK) observed 12/7/2026 04:51 UTC", "<BR>",
                      "CLOUDS: abcdefghijklmnopqrstuvwxyzabcdefghijklmn", "TEMP: 12.8<BR>C"});
    g.Draw(s);
    const int x0 = 435 + 10;
    auto at = [&s](const std::string& text) {
        const DrawOp* op = s.FindText(text);
        return op ? std::make_pair(op->x1, op->y1) : std::make_pair(-1, -1);
    };
    // Broken at the last blank within 35 characters; wrapped lines 15 apart.
    EXPECT_EQ(at("DATE: KJFK (NEW YORK) observed"), std::make_pair(x0 + 5, 90));
    EXPECT_EQ(at("12/7/2026 04:51 UTC"), std::make_pair(x0 + 5, 105));
    // Two lines count 40 pixels; the empty note gets no bullet but takes 20.
    EXPECT_EQ(at("CLOUDS:"), std::make_pair(x0 + 5, 150));
    EXPECT_EQ(at("abcdefghijklmnopqrstuvwxyzabcdefghi"), std::make_pair(x0 + 5, 165));
    EXPECT_EQ(at("jklmn"), std::make_pair(x0 + 5, 180));
    EXPECT_EQ(at("TEMP: 12.8 C"), std::make_pair(x0 + 5, 210));
    std::vector<int> bullets;
    for (const DrawOp& op : s.OfKind(DrawOp::FillRect))
        if (op.color == RGB(0, 150, 100)) {
            bullets.push_back(op.y1);
            EXPECT_EQ(op.x1, x0 - 4);
            EXPECT_EQ(op.x2, 5);
        }
    EXPECT_EQ(bullets, (std::vector<int>{94, 154, 214}));
    // Text after a bullet is drawn on white again.
    EXPECT_EQ(s.FindText("CLOUDS:")->background, RGB(255, 255, 255));
}

TEST(GraphDrawing, NotesAlsoWrapWhereTheyWouldLeaveTheFrame) {
    // The recording surface measures 7 pixels per character of the legend font: the 188 pixels
    // between the note text and the frame's right line hold 26 characters.
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1, 2});
    g.SetNotes(1, std::vector<std::string>{"PRESSURE: 30.20 inches Hg (1022.7 mb)",
                                           "CLOUDS: abcdefghijklmnopqrstuvwxyzabcdefghijklmn"});
    g.Draw(s);
    const int x = 435 + 10 + 5;
    std::vector<std::pair<std::string, int>> lines;
    for (const DrawOp& op : s.OfKind(DrawOp::Text))
        if (op.x1 == x) {
            lines.emplace_back(op.text, op.y1);
            // Every character inside the frame, whose right line is pixel 639.
            EXPECT_LE(op.x1 + s.GetTextExtent(op.text).cx, 638) << op.text;
        }
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, int>>{{"PRESSURE: 30.20 inches Hg", 90},
                                                               {"(1022.7 mb)", 105},
                                                               {"CLOUDS:", 130},
                                                               {"abcdefghijklmnopqrstuvwxyz", 145},
                                                               {"abcdefghijklmn", 160}}));
}

TEST(GraphDrawing, WindDial) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1, 2});
    g.Draw(s);
    s.Clear();
    const int cx = 435 + (640 - 435) / 2, cy = 660 - 50;

    g.DrawWindIndicator(s, 90, 29.9); // an east wind blows to the west: the arrow points left
    auto lines = s.OfKind(DrawOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].pen, (platform::Pen{1, RGB(254, 0, 0)}));
    EXPECT_EQ(lines[0].x1, cx);
    EXPECT_EQ(lines[0].x2, cx - 34);
    EXPECT_EQ(lines[0].y2, cy);
    EXPECT_TRUE(s.FindText("90\xB0"));
    EXPECT_FALSE(s.FindText("HURRICANE"));
    const auto circles = s.OfKind(DrawOp::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].x1, cx - 30);
    EXPECT_EQ((std::array<int, 4>{circles[1].x1, circles[1].y1, circles[1].x2, circles[1].y2}),
              (std::array<int, 4>{cx - 5, cy - 5, cx + 5, cy + 5}));

    s.Clear();
    g.DrawWindIndicator(s, 0, 30); // a north wind points down
    lines = s.OfKind(DrawOp::Line);
    EXPECT_EQ(lines[0].pen, (platform::Pen{3, RGB(255, 0, 0)}));
    EXPECT_EQ(lines[0].x2, cx);
    EXPECT_EQ(lines[0].y2, cy + 35);
    const DrawOp* hurricane = s.FindText("HURRICANE");
    ASSERT_TRUE(hurricane);
    EXPECT_EQ(hurricane->x1, cx - 90);
    EXPECT_EQ(hurricane->color, RGB(255, 0, 0));
    EXPECT_EQ(s.TextColor(), RGB(0, 0, 0));
}

TEST(GraphDrawing, ATooShortTableStopsTheDrawingWhereItIs) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1, 2, 3});
    g.m_nColumns = 3; // one entry more than the table holds
    EXPECT_NO_THROW(g.Draw(s));
    EXPECT_EQ(s.OfKind(DrawOp::Rectangle).size(), 2u); // frame and plot stay drawn
    EXPECT_TRUE(s.FindText("Temperature"));            // the legend up to the missing entry
    EXPECT_TRUE(LinesIn(s, kRed).size() == 1u);        // but no curve

    s.Clear();
    CGraph shortRow = Graph({1, 2});
    GraphRow row;
    row.Add("01:00"); // no value text
    shortRow.AddRow(row);
    EXPECT_NO_THROW(shortRow.Draw(s));
}

TEST(GraphDrawing, AZeroOrNegativeDeltaAndHugeValuesDoNotBreakTheDrawing) {
    RecordingSurface s({0, 0, 650, 670});
    CGraph g = Graph({1e300, -1e300, 5, 1e15});
    g.m_dYDelta = 0;
    EXPECT_NO_THROW(g.Draw(s));
    EXPECT_TRUE(LinesIn(s, kRed).size() == 1u); // only the legend sample: nothing can be placed
    g.m_dYDelta = -5;
    EXPECT_NO_THROW(g.Draw(s));
    g.m_dYDelta = 1e-300;
    EXPECT_NO_THROW(g.Draw(s));
    g.m_bYAutoscale = 1;
    g.m_dYDelta = 5;
    EXPECT_NO_THROW(g.Draw(s));
    EXPECT_GT(g.m_dYDelta, 0);
}

TEST(GraphDrawing, NarrowOrLowWindowsKeepTheTitlesStartAndOverlapNothing) {
    const std::string title = "NEW YORK/JFK   NY   (40 38N, 073 46W)  elevation 4 m,  US";
    struct Case {
        int width, height;
        bool legend, dial;
    };
    const Case cases[] = {
        {650, 670, true, true},   // the size the design lays out
        {560, 670, true, true},   // the title fits the frame, not centred over the plot
        {450, 670, true, true},   // still room for a readable plot beside the legend
        {300, 670, false, false}, // Tile Vertically: the plot alone
        {133, 670, false, false},
        {650, 300, true, true}, // a low window: fewer panel lines, above the dial
        {650, 200, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        RecordingSurface s({0, 0, c.width, c.height});
        CGraph g = Graph({1, 2, 3});
        g.SetTitle(title);
        for (const char* name : {"Pressure", "Wind speed", "Wind direction"})
            g.AddSeries(4, name, platform::Pen{1, RGB(0, 0, 250)});
        g.m_nColumns = 5;
        g.SetNotes(4, std::vector<std::string>(9, "Clouds: few clouds at 25000 feet AGL"));
        g.Draw(s);
        g.DrawWindIndicator(s, 90, 29.9);

        const auto box = [&](const DrawOp& op) {
            const int width = static_cast<int>(op.text.size()) * std::max(1, op.font.height / 2);
            const int left = (op.align & platform::TA_CENTER) == platform::TA_CENTER
                                 ? op.x1 - width / 2
                             : (op.align & platform::TA_RIGHT) ? op.x1 - width
                                                               : op.x1;
            return platform::Rect{left, op.y1, left + width, op.y1 + op.font.height};
        };
        // The title's start is always read, inside the window.
        const auto texts = s.OfKind(DrawOp::Text);
        const auto shown = std::find_if(texts.begin(), texts.end(),
                                        [&](const DrawOp& op) { return op.font == g.m_fonts[0]; });
        ASSERT_NE(shown, texts.end());
        const platform::Rect t = box(*shown);
        EXPECT_GE(t.left, g.m_rcFrame.left);
        EXPECT_LE(t.right, g.m_rcFrame.right);
        if (shown->text != title) {
            ASSERT_TRUE(shown->text.ends_with("...")) << shown->text;
            const std::string start = shown->text.substr(0, shown->text.size() - 3);
            EXPECT_GE(start.size(), 3u);
            EXPECT_EQ(title.rfind(start, 0), 0u) << shown->text;
            // As much of it as fits.
            EXPECT_GT(t.right + shown->font.height / 2, g.m_rcFrame.right - 4);
        }
        EXPECT_EQ(shown->text == title, c.width >= 560);

        EXPECT_EQ(s.FindText("Pressure") != nullptr, c.legend);
        EXPECT_GE(g.m_rcPlot.right - g.m_rcPlot.left, c.legend ? 100 : 0);
        const auto circles = s.OfKind(DrawOp::Ellipse);
        EXPECT_EQ(!circles.empty(), c.dial);
        // Nothing of the legend column runs into the dial, or below the frame.
        const int dialTop = circles.empty() ? g.m_rcFrame.bottom : circles[0].y1;
        for (const DrawOp& op : texts) {
            if (&op == &*shown || op.x1 <= g.m_rcPlot.right + 5 || op.text == "90\xB0")
                continue;
            EXPECT_LE(box(op).bottom, dialTop) << op.text;
        }
    }
}

TEST(GraphDrawing, NotesFillEachLineAsFarAsTheFrameAllows) {
    // A word too long for a line is cut at the last character that still fits, whatever the
    // room in characters: neither one more (past the frame) nor one less. The recording
    // surface's characters are half as wide as its font is high.
    const std::string word(60, 'w');
    for (int height = 10; height <= 30; ++height) {
        RecordingSurface s({0, 0, 650, 670});
        CGraph g = Graph({1, 2});
        g.m_fonts[2].height = height;
        g.SetNotes(1, std::vector<std::string>{word});
        g.Draw(s);
        const auto texts = s.OfKind(DrawOp::Text);
        const auto first = std::find_if(texts.begin(), texts.end(),
                                        [](const DrawOp& op) { return op.text.starts_with("ww"); });
        ASSERT_NE(first, texts.end()) << height;
        const int width = std::max(1, height / 2), room = 638 - first->x1;
        EXPECT_EQ(first->text.size(), static_cast<std::size_t>(std::min(35, room / width)))
            << "font height " << height;
    }
}
