#include "graph/Graph.h"
#include "platform/CText.h"

#include <gtest/gtest.h>

namespace {

// A graph whose plot is `height` pixels high, with one series column holding the values.
CGraph WithValues(std::initializer_list<double> values, int height = 400) {
    CGraph g;
    g.AddSeries(0, "x", std::nullopt);
    g.AddSeries(4, "y", platform::Pen{1, platform::RGB(250, 0, 0)});
    g.m_nColumns = 2;
    for (double v : values) {
        GraphRow row;
        row.Add("12:00");
        row.Add(platform::Format("%.2f", v));
        g.AddRow(row);
    }
    g.m_rcPlot = {0, 0, 500, height};
    return g;
}

} // namespace

TEST(Autoscale, StepIsTheFirstMultipleOfTheLeadingPowerAboveTheRawStep) {
    CGraph g = WithValues({12.3, 15.0, 18.9});
    g.AutoscaleY();
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 1.0); // raw 6.6 / 7 = 0.943
    EXPECT_DOUBLE_EQ(g.m_dYMin, 11.0);

    CGraph h = WithValues({0, 14}); // raw 2.0 with p = 1 gives 3
    h.AutoscaleY();
    EXPECT_DOUBLE_EQ(h.m_dYDelta, 3.0);
    EXPECT_DOUBLE_EQ(h.m_dYMin, -3.0);

    CGraph big = WithValues({1000, 25000});
    big.AutoscaleY();
    EXPECT_DOUBLE_EQ(big.m_dYDelta, 4000.0); // raw 3428 -> 4000
    EXPECT_DOUBLE_EQ(big.m_dYMin, -4000.0);
}

TEST(Autoscale, NegativeMinimaAreTruncatedTowardZeroBeforeTheStep) {
    CGraph a = WithValues({-3.5, 3.2}); // raw step 0.957
    a.AutoscaleY();
    EXPECT_DOUBLE_EQ(a.m_dYDelta, 1.0);
    EXPECT_DOUBLE_EQ(a.m_dYMin, -4.0);
    CGraph b = WithValues({-0.4, 6.3});
    b.AutoscaleY();
    EXPECT_DOUBLE_EQ(b.m_dYDelta, 1.0);
    EXPECT_DOUBLE_EQ(b.m_dYMin, -1.0);
}

TEST(Autoscale, ReadsOnlyTheSeriesColumns) {
    CGraph g = WithValues({12.3, 18.9});
    // A text beyond m_nColumns and the X label must not count.
    GraphRow row;
    row.Add("999");
    row.Add("15");
    row.Add("-500");
    g.AddRow(row);
    g.AutoscaleY();
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 1.0);
    EXPECT_DOUBLE_EQ(g.m_dYMin, 11.0);
}

TEST(Autoscale, KeepsTheAxisWhenThereIsNothingToScale) {
    CGraph none = WithValues({});
    none.AutoscaleY();
    EXPECT_DOUBLE_EQ(none.m_dYMin, -20.0);
    EXPECT_DOUBLE_EQ(none.m_dYDelta, 5.0);

    CGraph equal = WithValues({7, 7, 7});
    equal.m_dYMin = 2;
    equal.m_dYDelta = 4;
    equal.AutoscaleY();
    EXPECT_DOUBLE_EQ(equal.m_dYMin, 2.0);
    EXPECT_DOUBLE_EQ(equal.m_dYDelta, 4.0);

    CGraph onlyX = WithValues({1, 9});
    onlyX.m_nColumns = 1;
    onlyX.AutoscaleY();
    EXPECT_DOUBLE_EQ(onlyX.m_dYMin, -20.0);

    CGraph infinite = WithValues({1});
    GraphRow row;
    row.Add("00:00");
    row.Add("1e999");
    infinite.AddRow(row);
    infinite.AutoscaleY();
    EXPECT_DOUBLE_EQ(infinite.m_dYDelta, 5.0);
}

TEST(Autoscale, APlotUnderTwoGridIntervalsStillScales) {
    CGraph g = WithValues({10, 20}, 80); // n would be 0
    g.AutoscaleY();
    EXPECT_DOUBLE_EQ(g.m_dYDelta, 20.0); // raw 10 over one interval
    EXPECT_DOUBLE_EQ(g.m_dYMin, -20.0);
}
