// Dogleg and minimum curvature against published worked examples (field units, feet;
// inclinations there are from the vertical, so 15 degrees is -75 here, pointing down).

#include <gtest/gtest.h>

#include <cmath>

#include "core/quality/method_check.h"
#include "core/trajectory.h"

namespace sondara {
namespace {

float FromVertical(float degrees) { return degrees - 90.0f; }

ProbeRecord At(float depth, float incFromVertical, float azi) {
    ProbeRecord r;
    r.flag = kSampled | kStation;
    r.depth = depth;
    r.inc = FromVertical(incFromVertical);
    r.azi = azi;
    return r;
}

TEST(MethodCheck, PublishedAverageAngleAndMinimumCurvatureSteps) {
    // Average angle: 7500 ft at 45 deg, azimuth 130 to 7595 ft at 52 deg, azimuth 139:
    // north -49.87 ft, east 50.74 ft, vertical depth 62.95 ft.
    ProbeRecord upper = At(7500, 45, 130), lower = At(7595, 52, 139);
    StepStation(upper, lower, 0, 0, 0);
    EXPECT_NEAR(lower.y, -49.87, 0.01);
    EXPECT_NEAR(lower.x, 50.74, 0.015);  // 50.745 before the source's rounding
    EXPECT_NEAR(lower.z, -62.95, 0.01);

    // Minimum curvature: 3500 ft at 15 deg, azimuth 20 to 3600 ft at 25 deg, azimuth 45:
    // dogleg 12.95 deg (0.22605 rad), ratio factor 1.00408, north 27.22 ft, east 19.45 ft,
    // vertical depth 94.01 ft.
    EXPECT_NEAR(DoglegDegrees(FromVertical(15), 20, FromVertical(25), 45), 12.95, 0.005);
    const EastNorthUp step = MinimumCurvatureStep(FromVertical(15), 20, FromVertical(25), 45, 100);
    EXPECT_NEAR(step.n, 27.22, 0.005);
    EXPECT_NEAR(step.e, 19.45, 0.005);
    EXPECT_NEAR(step.d, -94.01, 0.005);
}

TEST(MethodCheck, HoleEndPointsAndDoglegSeverity) {
    // The same pair as a hole: the first station sits on the start point (depth X0), so
    // the end points differ by the one step's method alone.
    HoleSurvey hole;
    hole.name = u"孔1";
    hole.pbLen = 100;
    hole.x0 = 3500;
    hole.e0 = 1000;
    hole.n0 = 2000;
    hole.d0 = -50;
    hole.records = {At(3500, 15, 20), At(3600, 25, 45)};
    ProbeRecord unpaired;  // not a station: passed over by both methods
    hole.records.insert(hole.records.begin() + 1, unpaired);
    ASSERT_TRUE(ComputeHoleTrajectory(hole));

    const auto c = CompareWithMinimumCurvature(hole);
    ASSERT_TRUE(c.has_value());
    EXPECT_NEAR(c->minimumCurvatureEnd.e, 1000 + 19.45, 0.005);
    EXPECT_NEAR(c->minimumCurvatureEnd.n, 2000 + 27.22, 0.005);
    EXPECT_NEAR(c->minimumCurvatureEnd.d, -50 - 94.01, 0.005);
    // The mean-angle end point is the trajectory pass's own last station.
    EXPECT_FLOAT_EQ(c->meanAngleEnd.e, hole.records.back().x);
    EXPECT_FLOAT_EQ(c->meanAngleEnd.n, hole.records.back().y);
    EXPECT_FLOAT_EQ(c->meanAngleEnd.d, hole.records.back().z);
    const double de = c->meanAngleEnd.e - c->minimumCurvatureEnd.e, dn = c->meanAngleEnd.n - c->minimumCurvatureEnd.n,
                 dd = c->meanAngleEnd.d - c->minimumCurvatureEnd.d;
    EXPECT_NEAR(c->distance, std::sqrt(de * de + dn * dn + dd * dd), 1e-9);
    EXPECT_GT(c->distance, 1.0);  // a 13 degree bend over 100 ft: the methods part visibly
    EXPECT_DOUBLE_EQ(c->length, 100);

    const auto severities = DoglegSeverities(hole.records);
    ASSERT_EQ(severities.size(), 2u);
    EXPECT_FALSE(severities[0].has_value());
    EXPECT_NEAR(*severities[1], 12.95 * 30 / 100, 0.002);

    hole.name.clear();
    EXPECT_FALSE(CompareWithMinimumCurvature(hole).has_value());
}

// Both methods follow a straight hole exactly, so their end points meet whatever the
// declination: the comparison turns both by it the same way.
TEST(MethodCheck, StraightHole_EndsAgreeAtAnyDeclination) {
    for (float declination : {0.0f, 5.0f, -7.5f}) {
        SCOPED_TRACE(declination);
        HoleSurvey hole;
        hole.name = u"孔1";
        hole.pbLen = 30;
        hole.gi = declination;
        hole.dDip = -10;
        hole.dPos = 90 + declination;
        hole.e0 = 500;
        hole.n0 = 800;
        for (int k = 0; k <= 10; ++k) {
            ProbeRecord r = At(30.0f * float(k), 80, 90 + declination);
            hole.records.push_back(r);
        }
        ASSERT_TRUE(ComputeHoleTrajectory(hole));
        const auto c = CompareWithMinimumCurvature(hole);
        ASSERT_TRUE(c.has_value());
        EXPECT_NEAR(c->distance, 0, 0.01);
        EXPECT_NEAR(c->minimumCurvatureEnd.n, 800, 0.01);  // due east, true
    }
}

TEST(MethodCheck, StraightAndReversedBendsStayFinite) {
    EXPECT_DOUBLE_EQ(DoglegDegrees(10, 95, 10, 95), 0);
    const EastNorthUp straight = MinimumCurvatureStep(0, 90, 0, 90, 3);
    EXPECT_NEAR(straight.e, 3, 1e-12);
    EXPECT_NEAR(DoglegDegrees(0, 350, 0, 10), 20, 1e-6);  // across north, the short way
    EXPECT_NEAR(DoglegDegrees(0, 0, 0, 180), 180, 1e-6);
}

}  // namespace
}  // namespace sondara
