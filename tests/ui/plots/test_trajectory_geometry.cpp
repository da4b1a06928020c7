#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/derived.h"
#include "core/trajectory.h"
#include "tests/core/survey_builders.h"
#include "ui/plots/trajectory_geometry.h"

namespace {

const QRectF kClient(0, 0, 800, 700);

void ExpectNear(const QPointF& p, double x, double y) {
    EXPECT_NEAR(p.x(), x, 0.1) << "x of (" << p.x() << ", " << p.y() << ")";
    EXPECT_NEAR(p.y(), y, 0.1) << "y of (" << p.x() << ", " << p.y() << ")";
}

TEST(TrajectoryLayout, WorkedLayout_GivesTheCornersOfTheCentredBox) {
    const TrajectoryLayout l = LayOutTrajectory(kClient, {29.5f, 40.2f, 11.3f}, {3, 5, 1});
    EXPECT_EQ(l.C, 30);
    EXPECT_EQ(l.D, 41);
    EXPECT_EQ(l.V, 12);
    EXPECT_NEAR(l.W, 61.49, 0.01);
    EXPECT_NEAR(l.H, 47.5, 1e-4);
    EXPECT_NEAR(l.s, 11.059, 0.001);
    const double expected[8][2] = {{60.0, 446.8}, {347.3, 612.6}, {740.0, 385.9}, {452.7, 220.1},
                                   {60.0, 314.1}, {347.3, 479.9}, {740.0, 253.2}, {452.7, 87.4}};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        ExpectNear(l.P[i], expected[i][0], expected[i][1]);
    }
    ExpectNear(l.anchor, 60.0, 446.8);
    // The box is centred on (400, 350).
    EXPECT_NEAR((l.P[0].x() + l.P[2].x()) / 2, 400, 0.1);
    EXPECT_NEAR((l.P[7].y() + l.P[1].y()) / 2, 350, 0.1);
}

TEST(TrajectoryLayout, Anchor_IsTheCornerThatKeepsTheLastStationInsideAndZeroCountsPositive) {
    struct Case {
        Metres3 last;
        int corner;
    };
    const Case cases[] = {
        {{5, 5, 5}, 0},   {{5, 5, -5}, 4},  {{5, -5, 5}, 3},   {{5, -5, -5}, 7},  {{-5, 5, 5}, 1},
        {{-5, 5, -5}, 5}, {{-5, -5, 5}, 2}, {{-5, -5, -5}, 6}, {{0, 0, 0.5f}, 0}, {{-5, 0, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.last.e << "," << c.last.n << "," << c.last.u);
        const TrajectoryLayout l = LayOutTrajectory(kClient, c.last, {0, 0, 0});
        ExpectNear(l.anchor, l.P[c.corner].x(), l.P[c.corner].y());
        // The last station lands on the far corner of the box.
        const QPointF end = l.Screen(c.last.e, c.last.n, c.last.u);
        EXPECT_GE(end.x(), l.P[0].x() - 0.5);
        EXPECT_LE(end.x(), l.P[2].x() + 0.5);
    }
}

// Labels 10 pixels square on an edge that runs `perMetre` pixels per metre across.
EdgeSpacing Spacing(double perMetreX, double perMetreY = 0) { return {QPointF(perMetreX, perMetreY), QSizeF(10, 10)}; }

TEST(TrajectoryLayout, DistanceLabels_CountInStepsThenTheExtentWithTheAxisSign) {
    struct Case {
        float extent;
        int sign;
        double step, perMetre;
        std::vector<std::pair<QString, float>> labels;
    };
    const Case cases[] = {
        {13, 1, 5, 30, {{"0", 0}, {"5", 5}, {"10", 10}, {"13", 13}}},
        {25, 1, 5, 30, {{"0", 0}, {"5", 5}, {"10", 10}, {"15", 15}, {"20", 20}, {"25", 25}}},
        {0, 1, 5, 30, {{"0", 0}}},
        {7, -1, 5, 30, {{"0", 0}, {"5", -5}, {"7", -7}}},
        {620, 1, 250, 1, {{"0", 0}, {"250", 250}, {"500", 500}, {"620", 620}}},
        // The last step label would crowd the extent's label (3 m = 12 pixels, not 20): left out.
        {13, 1, 5, 4, {{"0", 0}, {"5", 5}, {"13", 13}}},
        // An edge too short on the screen for two labels keeps the origin's "0" alone.
        {13, -1, 5, 1, {{"0", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        const std::vector<AxisLabel> got = DistanceLabels(c.extent, c.sign, c.step, Spacing(c.perMetre));
        ASSERT_EQ(got.size(), c.labels.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.labels[i].first);
            EXPECT_EQ(got[i].at, c.labels[i].second);
        }
    }
}

TEST(TrajectoryLayout, LabelStep_KeepsFiveMetresWhileLabelsKeepApartElseTheNextRoundStep) {
    struct Case {
        float extent;
        EdgeSpacing spacing;
        double step;
    };
    // Labels 10 × 10 pixels need their centres 20 pixels apart across, or 20 up.
    const Case cases[] = {
        {600, Spacing(4), 5},     {600, Spacing(3.9), 10},     {600, Spacing(1), 25},     {600, Spacing(0.5), 50},
        {600, Spacing(0.1), 250}, {6000, Spacing(0.03), 1000}, {600, Spacing(0, -2), 10}, {600, Spacing(0.6, 0.35), 50},
        {30, Spacing(0.1), 50},   {0, Spacing(0), 5},          {600, Spacing(NAN), 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.extent << " at " << c.spacing.perMetre.x() << ","
                                        << c.spacing.perMetre.y());
        EXPECT_EQ(LabelStep(c.extent, c.spacing), c.step);
    }
}

TEST(TrajectoryLayout, ExtentsRoundUpFromLastStationOrDesignEnd_AndAZeroExtentHasNoGrid) {
    // 12.3 m east gives 13; north comes from the design end; no height at all.
    const TrajectoryLayout l = LayOutTrajectory(kClient, {12.3f, 1, 0}, {2, 8.2f, 0});
    EXPECT_EQ(l.C, 13);
    EXPECT_EQ(l.D, 9);
    EXPECT_EQ(l.V, 0);
    int alongNorth = 0, vertical = 0;
    for (const GridLine& g : GridLines(l, {})) {
        if (g.from.u != g.to.u) ++vertical;
        if (g.from.n != g.to.n && g.from.u == 0 && g.to.u == 0) ++alongNorth;
    }
    EXPECT_EQ(alongNorth, 3);  // east 0, 5, 10
    // Walls are zero high: their vertical lines have no length.
    EXPECT_EQ(vertical, 0);
    EXPECT_TRUE(std::isfinite(l.s));
}

TEST(TrajectoryLayout, AllExtentsZero_DrawsAOneMetreBoxInsteadOfAnInfiniteScale) {
    const TrajectoryLayout l = LayOutTrajectory(kClient, {0, 0, 0}, {0, 0, 0});
    EXPECT_TRUE(l.unitBox);
    EXPECT_EQ(l.C, 1);
    EXPECT_TRUE(std::isfinite(l.s));
    EXPECT_GT(l.s, 0);
    EXPECT_TRUE(kClient.contains(l.P[6]));
}

TEST(TrajectoryLayout, DamagedCoordinates_GiveAFiniteLayoutAndABoundedNumberOfMarks) {
    const TrajectoryLayout huge = LayOutTrajectory(kClient, {1e30f, 2, 3}, {0, 0, 0});
    const EdgeSpacing east = EastSpacing(huge, QSizeF(10, 10));
    const double step = LabelStep(huge.C, east);
    EXPECT_LE(DistanceLabels(huge.C, 1, step, east).size(), 3u);
    EXPECT_LE(GridLines(huge, {step, 5, 5}).size(), std::size_t(6 * kMaxMarksPerAxis));
    EXPECT_LE(GridLines(huge, {}).size(), std::size_t(6 * kMaxMarksPerAxis));
    const TrajectoryLayout broken = LayOutTrajectory(kClient, {NAN, 10, INFINITY}, {NAN, NAN, NAN});
    EXPECT_EQ(broken.C, 0);
    EXPECT_EQ(broken.D, 10);
    EXPECT_EQ(broken.V, 0);
    EXPECT_TRUE(std::isfinite(broken.s));
    EXPECT_TRUE(std::isfinite(broken.anchor.x()) && std::isfinite(broken.anchor.y()));
}

TEST(TrajectoryLayout, DesignEndPoint_FollowsTrueAzimuthAndInclination) {
    // True azimuth 90: due east; 30 degrees up.
    const Metres3 d = DesignEndPoint(100, 90, 30);
    EXPECT_NEAR(d.e, 86.60, 0.01);
    EXPECT_NEAR(d.n, 0, 1e-3);
    EXPECT_NEAR(d.u, 50, 1e-3);
}

// A hole drilled exactly on its design, with start coordinates and a declination:
// measured from its start, its last station is the design line's end point.
TEST(TrajectoryLayout, OnDesignHoleWithDeclination_EndsOnTheDesignLine) {
    for (float declination : {5.0f, -7.5f}) {
        SCOPED_TRACE(declination);
        sondara::HoleSurvey hole;
        hole.name = std::u16string(u"K");  // a temporary: GCC 12 with sanitizers misreads the literal assignment
        hole.pbLen = 1.5f;
        hole.e0 = 500;
        hole.n0 = -800;
        hole.d0 = -30;
        hole.gi = declination;
        hole.dPos = sondara::StoredDesignAzimuth(60, declination);
        hole.dDip = -4;
        for (int i = 0; i < 200; ++i) hole.records.push_back(sondara::test::Station(hole.dDip, hole.dPos));
        ASSERT_TRUE(sondara::ComputeHoleDepths(hole));
        ASSERT_TRUE(sondara::ComputeHoleTrajectory(hole));
        const sondara::ProbeRecord& last = hole.records.back();
        const Metres3 design = DesignEndPoint(last.depth, sondara::DesignTrueAzimuth(hole.params()), hole.dDip);
        EXPECT_NEAR(last.x - hole.e0, design.e, 0.01);
        EXPECT_NEAR(last.y - hole.n0, design.n, 0.01);
        EXPECT_NEAR(last.z - hole.d0, design.u, 0.01);
    }
}

}  // namespace
