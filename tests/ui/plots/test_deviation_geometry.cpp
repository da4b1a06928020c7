#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/records.h"
#include "ui/plots/deviation_geometry.h"

namespace {

TEST(NiceAxisStep, GivesTheWorkedSteps) {
    struct Case {
        double max, min;
        float step;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {57.3, 0, 6},
        {150, 100, 10},
        {10, 0, 1},
        {2.5, 0, 1},
        {0.6, 0, 1},
        {1.7, -0.8, 1},
        {-5, -25, 2},
        {0, 0, 1},
        {1000, 0, 100},
        {9.5, 0, 1},
        {99, 0, 10},
        {12, 0, 2},
        // Ranges that are not finite end at once.
        {nan, 0, 1},
        {inf, 0, 1},
        {0, -inf, 1},
        {inf, -inf, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << " … " << c.max);
        EXPECT_EQ(NiceAxisStep(c.max, c.min), c.step);
    }
}

TEST(AxisStepAsInt, KeepsStepsWithinTheRangeTenLabelsCanCount) {
    EXPECT_EQ(AxisStepAsInt(6.0f), 6);
    EXPECT_EQ(AxisStepAsInt(NiceAxisStep(1e300, -1e300)), 100000000);
    EXPECT_EQ(AxisStepAsInt(NAN), 1);
}

TEST(AxisStart, StepsFloorDownToAMultipleOfTheStep) {
    struct Case {
        double min;
        int step, start;
    };
    const Case cases[] = {{0, 6, 0},   {100, 10, 100}, {-0.8, 1, -1}, {-25, 2, -26}, {3.5, 2, 2},
                          {-1, 5, -5}, {7, 5, 5},      {-10, 5, -10}, {NAN, 3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.min);
        EXPECT_EQ(AxisStart(c.min, c.step), c.start);
    }
}

TEST(ChartAxes, WorkedPanel_PutsDepth30Deviation05At400By312) {
    const QRectF panel(40, 40, 720, 320);
    const ChartAxes a = ChartAxesFor({0, 30, 57.3f}, {-0.8f, 0.5f, 1.7f}, 720, 320);
    EXPECT_EQ(a.tx, 6);
    EXPECT_EQ(a.sx, 0);
    EXPECT_FLOAT_EQ(a.fx, 12);
    EXPECT_EQ(a.ty, 1);
    EXPECT_EQ(a.sy, -1);
    EXPECT_FLOAT_EQ(a.fy, 32);
    EXPECT_EQ(ChartPoint(a, panel, 30, 0.5f), QPoint(400, 312));
}

TEST(ChartAxes, BrokenValuesAreLeftOutOfTheRange) {
    const ChartAxes a = ChartAxesFor({0, NAN, 57.3f}, {-0.8f, INFINITY, 1.7f}, 720, 320);
    EXPECT_EQ(a.tx, 6);
    EXPECT_EQ(a.ty, 1);
    EXPECT_EQ(a.sy, -1);
}

TEST(DeviationPanels, SplitTheClientAreaIntoTwoPanelsWithTitlesAbove) {
    struct Case {
        int height;
        QRectF upper, lower;
    };
    const Case cases[] = {{800, {40, 40, 720, 320}, {40, 440, 720, 320}},
                          {801, {40, 40, 720, 320}, {40, 440, 720, 320}}};
    for (const Case& c : cases) {
        const DeviationPanels d = LayOutDeviationPanels(0, 0, 800, c.height);
        EXPECT_EQ(d.upper, c.upper);
        EXPECT_EQ(d.lower, c.lower);
        // Titles centred 17.5 pixels above each panel.
        EXPECT_EQ(d.upperTitle.center(), QPointF(400, 40 - 17.5));
        EXPECT_EQ(d.lowerTitle.center(), QPointF(400, 440 - 17.5));
    }
}

TEST(DepthUnitLabel, StaysWhereItWasDesignedUnlessItWouldLeaveTheMargin) {
    const QRectF panel(40, 40, 720, 320);  // right edge 760, client edge 800
    // A narrow text fits centred at 780 as designed; a wide one ends 2 pixels short of 800.
    EXPECT_EQ(DepthUnitRect(panel, 30), QRectF(750, 320, 60, 40));
    const QRectF wide = DepthUnitRect(panel, 60);
    EXPECT_DOUBLE_EQ(wide.center().x() + 30, 798);
    EXPECT_EQ(wide.top(), 320);
}

TEST(MarkLabels, StackUpToThreeHighAndLeaveOutWhatStillOverlaps) {
    using sondara::kMarkCoal, sondara::kMarkRock;
    const QSizeF text(30, 16);
    // Five marked stations 5 pixels apart, one without a mark, one far away.
    const std::vector<QPoint> dots{{100, 200}, {105, 200}, {110, 200}, {115, 200}, {120, 200}, {125, 200}, {400, 200}};
    const std::vector<int> marks{kMarkCoal, kMarkRock, kMarkCoal, kMarkRock, 0, kMarkCoal, kMarkRock};
    const std::vector<QRectF> r = MarkLabelRects(dots, marks, text);
    ASSERT_EQ(r.size(), dots.size());
    EXPECT_EQ(r[0], QRectF(90, 155, 40, 40));  // the designed place
    EXPECT_EQ(r[1], QRectF(95, 139, 40, 40));  // one text height up
    EXPECT_EQ(r[2], QRectF(100, 123, 40, 40));
    EXPECT_TRUE(r[3].isNull());  // all three heights taken
    EXPECT_TRUE(r[4].isNull());  // no mark
    EXPECT_TRUE(r[5].isNull());
    EXPECT_EQ(r[6], QRectF(390, 155, 40, 40));
    std::vector<QRectF> texts;
    for (const QRectF& rect : r) {
        if (rect.isNull()) continue;
        QRectF t(QPointF(), text);
        t.moveCenter(rect.center());
        for (const QRectF& other : texts) EXPECT_FALSE(t.intersects(other));
        texts.push_back(t);
    }
}

}  // namespace
