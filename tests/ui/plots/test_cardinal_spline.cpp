#include <gtest/gtest.h>

#include "ui/plots/cardinal_spline.h"

namespace {

void ExpectPoint(const QPointF& actual, const QPointF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

TEST(CardinalSpline, ControlPoints_UseThreeTenthsOfTensionAndRepeatTheEndPoints) {
    const QList<QPointF> p{{0, 0}, {10, 0}, {20, 10}, {30, 10}};
    // Interior segment 1 → 2: 0.15 of the neighbours' chords.
    BezierControls c = CardinalSegmentControls(p, 1);
    ExpectPoint(c.c1, QPointF(10, 0) + 0.15 * QPointF(20, 10));
    ExpectPoint(c.c2, QPointF(20, 10) - 0.15 * QPointF(20, 10));
    // First segment: the missing P0 is P1 itself.
    c = CardinalSegmentControls(p, 0);
    ExpectPoint(c.c1, 0.15 * QPointF(10, 0));
    ExpectPoint(c.c2, QPointF(10, 0) - 0.15 * QPointF(20, 10));
    // Last segment: the missing P3 is P2 itself.
    c = CardinalSegmentControls(p, 2);
    ExpectPoint(c.c2, QPointF(30, 10) - 0.15 * QPointF(10, 0));
}

TEST(CardinalSpline, Path_PassesThroughEveryPointAndIsEmptyBelowTwo) {
    EXPECT_TRUE(CardinalSplinePath({}).isEmpty());
    EXPECT_TRUE(CardinalSplinePath({{5, 5}}).isEmpty());
    const QList<QPointF> p{{0, 0}, {10, 5}, {20, -5}};
    const QPainterPath path = CardinalSplinePath(p);
    ASSERT_EQ(path.elementCount(), 1 + 3 * 2);
    ExpectPoint(path.elementAt(0), p[0]);
    ExpectPoint(path.elementAt(3), p[1]);
    ExpectPoint(path.elementAt(6), p[2]);
}

}  // namespace
