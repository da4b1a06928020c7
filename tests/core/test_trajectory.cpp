#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/derived.h"
#include "core/trajectory.h"
#include "tests/core/survey_builders.h"

namespace sondara {
namespace {

using test::Station;

HoleSurvey WorkedExampleHole() {
    HoleSurvey hole;
    hole.name = u"K1";
    hole.pbLen = 1.5f;
    hole.x0 = 1;
    hole.e0 = 100;
    hole.n0 = 200;
    hole.d0 = -50;
    hole.gi = 5;
    hole.dPos = 95;
    hole.dDip = 10;
    hole.records = {Station(10, 95), Station(12, 97), Station(14, 99)};
    return hole;
}

TEST(Trajectory, WorkedExample_MatchesToFourDecimals) {
    HoleSurvey hole = WorkedExampleHole();
    ASSERT_TRUE(ComputeHoleDepths(hole));
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    const auto& r = hole.records;
    EXPECT_EQ(r[0].depth, 1.0f);
    EXPECT_EQ(r[1].depth, 2.5f);
    EXPECT_EQ(r[2].depth, 4.0f);
    // The first station sits on the start point exactly.
    EXPECT_EQ(r[0].dx, 1.0f);
    EXPECT_EQ(r[0].dy, 0.0f);
    EXPECT_EQ(r[0].dz, 0.0f);
    EXPECT_EQ(r[0].x, 100.0f);
    EXPECT_EQ(r[0].y, 200.0f);
    EXPECT_EQ(r[0].z, -50.0f);
    struct Expected {
        float dx, dy, dz, x, y, z;
    };
    // The geographic values step along the true azimuth, the mean magnetic azimuth less
    // the declination (96 − 5 = 91 degrees, then 98 − 5 = 93), worked out from that rule
    // with float angles and double trigonometry.
    const Expected expected[] = {{2.4995f, 0.0262f, 0.0262f, 101.4722f, 199.9743f, -49.7138f},
                                 {3.9954f, 0.1046f, 0.1047f, 102.9318f, 199.8978f, -49.3764f}};
    for (int i = 0; i < 2; ++i) {
        const ProbeRecord& s = r[i + 1];
        const Expected& e = expected[i];
        EXPECT_NEAR(s.dx, e.dx, 5e-5);
        EXPECT_NEAR(s.dy, e.dy, 5e-5);
        EXPECT_NEAR(s.dz, e.dz, 5e-5);
        EXPECT_NEAR(s.x, e.x, 5e-5);
        EXPECT_NEAR(s.y, e.y, 5e-5);
        EXPECT_NEAR(s.z, e.z, 5e-5);
    }
    EXPECT_TRUE(hole.error.empty());
}

TEST(Trajectory, Step_IsTheStatedMixOfFloatAndDoubleArithmetic) {
    ProbeRecord prev = Station(12, 97);
    prev.depth = 2.5f;
    prev.dx = 2.4995f;
    prev.x = 101.4454f;
    ProbeRecord cur = Station(14, 99);
    cur.depth = 4.0f;
    StepStation(prev, cur, 10, 95, 5);
    // L, Im, Am and the angle differences in float; radians, trigonometry and the
    // sums in double; each coordinate rounded to float once.
    const float length = cur.depth - prev.depth;
    const float im = (12.0f + 14.0f) / 2, am = (97.0f + 99.0f) / 2;
    const double pi = 3.1415926535;
    auto rad = [&](float degrees) { return static_cast<double>(degrees) * pi / 180; };
    EXPECT_EQ(cur.dx, static_cast<float>(prev.dx + static_cast<double>(length) * std::cos(rad(im - 10.0f)) *
                                                       std::cos(rad(am - 95.0f))));
    EXPECT_EQ(cur.x,
              static_cast<float>(prev.x + static_cast<double>(length) * std::cos(rad(im)) * std::sin(rad(am - 5.0f))));
    EXPECT_EQ(cur.y,
              static_cast<float>(prev.y + static_cast<double>(length) * std::cos(rad(im)) * std::cos(rad(am - 5.0f))));
}

// A positive declination is west: coordinates head along the true azimuth (magnetic
// less declination), the one the "真方位角" column shows, and a hole drilled exactly on
// its design runs along the design line the 3D drawing draws from the same true azimuth.
TEST(Trajectory, Declination_CoordinatesHeadTheTrueAzimuthAndAnOnDesignHoleStaysOnItsLine) {
    struct Case {
        float magnetic, declination;
    };
    const Case cases[] = {{60, 5}, {60, -5}, {120, 4.5f}, {3, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.magnetic << " " << c.declination);
        HoleSurvey hole;
        hole.name = u"K";
        hole.pbLen = 100;
        hole.x0 = 1;
        hole.e0 = 1000;
        hole.n0 = -2000;
        hole.gi = c.declination;
        hole.dPos = StoredDesignAzimuth(c.magnetic - c.declination, c.declination);
        hole.dDip = 0;
        for (int i = 0; i < 11; ++i) hole.records.push_back(Station(0, hole.dPos));
        ASSERT_TRUE(ComputeHoleDepths(hole));
        ASSERT_TRUE(ComputeHoleTrajectory(hole));
        const ProbeRecord& end = hole.records.back();
        const float east = end.x - hole.e0, north = end.y - hole.n0;
        // Directions compared round the circle: a true azimuth of −4 is the bearing 356.
        const auto turn = [](double a, double b) { return std::remainder(a - b, 360.0); };
        EXPECT_NEAR(turn(DisplacementAzimuth(east, north), TrueAzimuth(end, hole.gi)), 0, 1e-3);
        EXPECT_NEAR(turn(DisplacementAzimuth(east, north), DesignTrueAzimuth(hole.params())), 0, 1e-3);
        EXPECT_NEAR(HorizontalDisplacement(east, north), 1000, 1e-2);
        EXPECT_NEAR(end.dy, 0, 1e-4);  // against the design line it has not moved sideways
    }
}

TEST(Trajectory, DepthPass_GivesStationsRodSteps) {
    HoleSurvey hole;
    hole.name = u"K";
    hole.pbLen = 1.5f;
    hole.records.resize(12);
    for (int i : {2, 5, 9}) hole.records[i].flag = kStation;
    for (auto& r : hole.records) r.depth = 99;
    ASSERT_TRUE(ComputeHoleDepths(hole));
    for (int i = 0; i < 12; ++i) {
        const float expected = i == 5 ? 1.5f : i == 9 ? 3.0f : 0.0f;
        EXPECT_EQ(hole.records[i].depth, expected) << i;
    }
}

// A depth set by hand survives the pass on a station and on a record that is no
// station, and the stations after it keep their rod steps.
TEST(Trajectory, DepthPass_KeepsHandSetDepths) {
    HoleSurvey hole;
    hole.name = u"K";
    hole.pbLen = 1.5f;
    hole.records.resize(6);
    for (int i : {0, 1, 3, 5}) hole.records[i].flag = kStation;
    hole.records[1].flag |= kHandDepth;
    hole.records[1].depth = 2.2f;
    hole.records[2].flag = kSampled | kHandDepth;
    hole.records[2].depth = 7.0f;
    hole.records[4].depth = 99;
    ASSERT_TRUE(ComputeHoleDepths(hole));
    const float expected[] = {0.0f, 2.2f, 7.0f, 3.0f, 0.0f, 4.5f};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(hole.records[i].depth, expected[i]) << i;
    // The trajectory steps over the hand-set depth like any other.
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    EXPECT_FLOAT_EQ(hole.records[3].dx - hole.records[1].dx, 3.0f - 2.2f);
}

TEST(Trajectory, NegativeStartDepth_ClampsDepthsAndTheFirstStepStartsThere) {
    HoleSurvey hole;
    hole.name = u"K";
    hole.pbLen = 1.5f;
    hole.x0 = -2;
    hole.records = {Station(0, 0), Station(0, 0), Station(0, 0)};
    ASSERT_TRUE(ComputeHoleDepths(hole));
    EXPECT_EQ(hole.records[0].depth, 0.0f);
    EXPECT_EQ(hole.records[1].depth, 0.0f);
    EXPECT_EQ(hole.records[2].depth, 1.0f);
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    EXPECT_FLOAT_EQ(hole.records[0].dx, 0.0f);  // -2 plus a step of 2
    EXPECT_FLOAT_EQ(hole.records[0].y, 2.0f);
    EXPECT_FLOAT_EQ(hole.records[2].y, 3.0f);
}

TEST(Trajectory, StraightHoleOnTheDesignLine_StaysOnIt) {
    HoleSurvey hole;
    hole.name = u"K";
    hole.pbLen = 2;
    hole.x0 = 1;
    hole.y0 = 0.5f;
    hole.z0 = -0.25f;
    hole.d0 = 7;
    hole.dPos = 30;
    hole.records = {Station(0, 30), Station(0, 30), Station(0, 30)};
    ASSERT_TRUE(ComputeHoleDepths(hole));
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    const ProbeRecord& last = hole.records[2];
    EXPECT_FLOAT_EQ(last.dx, 5);
    EXPECT_FLOAT_EQ(last.dy, 0.5f);
    EXPECT_FLOAT_EQ(last.dz, -0.25f);
    EXPECT_NEAR(last.x, 4 * std::sin(30 * M_PI / 180), 1e-5);
    EXPECT_NEAR(last.y, 4 * std::cos(30 * M_PI / 180), 1e-5);
    EXPECT_FLOAT_EQ(last.z, 7);
}

TEST(Trajectory, MeanAzimuth_TakesTheShortWayRoundTheCircle) {
    struct Case {
        float a, b, mean;
    };
    const Case cases[] = {{350, 10, 0},      {10, 350, 0},  {300, 100, 20}, {340, 30, 5},
                          {179, 360, 89.5f}, {90, 100, 95}, {0, 180, 90},   {97.3f, 99.1f, (97.3f + 99.1f) / 2}};
    for (const Case& c : cases) EXPECT_EQ(MeanAzimuth(c.a, c.b), c.mean) << c.a << " " << c.b;
}

TEST(Trajectory, HoleDrilledThroughNorth_KeepsHeadingNorth) {
    HoleSurvey hole;
    hole.name = u"K";
    hole.pbLen = 10;
    hole.x0 = 1;
    hole.dPos = 350;
    hole.records = {Station(0, 350), Station(0, 10)};
    ASSERT_TRUE(ComputeHoleDepths(hole));
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    EXPECT_NEAR(hole.records[1].y, 10, 1e-4);
    EXPECT_NEAR(hole.records[1].x, 0, 1e-4);
    EXPECT_NEAR(hole.records[1].dy, 10 * std::sin(10 * M_PI / 180), 1e-4);  // 10 degrees right of a 350 design
}

TEST(Trajectory, RefusedHoles_KeepTheirRecordsAndSayWhy) {
    HoleSurvey unnamed = WorkedExampleHole();
    unnamed.name.clear();
    HoleSurvey empty = WorkedExampleHole();
    empty.records.clear();
    HoleSurvey unsampled = WorkedExampleHole();
    for (auto& r : unsampled.records) r.flag = kStation;

    struct Case {
        HoleSurvey hole;
        bool depthsOk;
        const char* depthError;
        const char* trajectoryError;
    };
    Case cases[] = {{unnamed, false, kNoHoleParams, kNoHoleParams},
                    {empty, false, kNoHoleRecords, kNoHoleRecords},
                    {unsampled, true, "", kNoSampledRecords}};
    for (Case& c : cases) {
        for (auto& r : c.hole.records) r.depth = r.dx = r.x = 42;
        const auto before = c.hole.records;
        EXPECT_EQ(ComputeHoleDepths(c.hole), c.depthsOk);
        EXPECT_EQ(c.hole.error, c.depthError);
        if (!c.depthsOk) {
            EXPECT_TRUE(test::SameRecordBytes(before, c.hole.records));
        }
        const auto afterDepths = c.hole.records;
        EXPECT_FALSE(ComputeHoleTrajectory(c.hole));
        EXPECT_EQ(c.hole.error, c.trajectoryError);
        EXPECT_TRUE(test::SameRecordBytes(afterDepths, c.hole.records));
    }
}

TEST(Trajectory, StationsNeedNotBeSampled_NorSampledRecordsStations) {
    HoleSurvey hole = WorkedExampleHole();
    hole.records = {Station(10, 95, kSampled), Station(12, 97, kStation), Station(14, 99, kSampled)};
    hole.records[0].dx = hole.records[2].dx = 7;
    ASSERT_TRUE(ComputeHoleDepths(hole));
    ASSERT_TRUE(ComputeHoleTrajectory(hole));
    EXPECT_EQ(hole.records[1].depth, 1.0f);
    EXPECT_EQ(hole.records[1].dx, 1.0f);
    EXPECT_EQ(hole.records[0].dx, 7.0f);  // not a station: untouched
    EXPECT_EQ(hole.records[2].depth, 0.0f);
}

TEST(Trajectory, ApplyHoleParams_GoesByPositionOnly) {
    SurveyStore store;
    store.m_holes.resize(3);
    store.m_holes[2].name = u"old";
    store.m_holes[0].records.resize(4);
    store.m_holes[0].error = "e";
    HoleParams a;
    a.name = u"A";
    a.pbLen = 1.5f;
    HoleParams b;
    b.name = u"B";
    store.m_holeParams = {a, b};
    ApplyHoleParams(store);
    EXPECT_EQ(store.m_holes[0].params(), a);
    EXPECT_EQ(store.m_holes[0].records.size(), 4u);
    EXPECT_EQ(store.m_holes[0].error, "e");
    EXPECT_EQ(store.m_holes[1].params(), b);
    EXPECT_EQ(store.m_holes[2].name, u"old");
    store.m_holeParams.resize(5);  // entries past the last hole are ignored
    ApplyHoleParams(store);
    EXPECT_EQ(store.m_holes.size(), 3u);
}

TEST(Trajectory, AllHolesPasses_RunEveryHoleAndCountThem) {
    SurveyStore store;
    EXPECT_EQ(ComputeAllDepths(store), 0);
    EXPECT_EQ(ComputeAllTrajectories(store), 0);
    store.m_holes = {HoleSurvey{}, WorkedExampleHole()};
    EXPECT_EQ(ComputeAllDepths(store), 2);
    EXPECT_EQ(ComputeAllTrajectories(store), 2);
    EXPECT_EQ(store.m_holes[0].error, kNoHoleParams);
    EXPECT_EQ(store.m_holes[1].records[2].depth, 4.0f);
    EXPECT_NEAR(store.m_holes[1].records[2].x, 102.9318f, 5e-5);
}

TEST(DerivedValues, DisplacementAzimuthAndDistances) {
    EXPECT_NEAR(HorizontalDisplacement(3, -3), 4.243f, 5e-4);
    EXPECT_NEAR(DisplacementAzimuth(3, -3), 135.0f, 5e-4);
    struct Case {
        float e, n, azimuth;
    };
    const Case cases[] = {{0, 5, 0}, {0, -5, 180}, {5, 0, 90}, {-5, 0, 270}, {-3, 3, 315}, {-3, -3, 225}};
    for (const Case& c : cases) EXPECT_NEAR(DisplacementAzimuth(c.e, c.n), c.azimuth, 5e-4) << c.e << "," << c.n;
    EXPECT_EQ(DisplacementAzimuth(0, 5), 0.0f);
}

TEST(DerivedValues, AtTheOrigin_DisplacementIsZeroAndHasNoDirection) {
    ProbeRecord origin = Station(0, 30);
    EXPECT_EQ(HorizontalDisplacement(0, 0), 0.0f);
    EXPECT_TRUE(std::isnan(DisplacementAzimuth(0, 0)));
    EXPECT_TRUE(std::isnan(ApparentDisplacement(origin, 5)));
}

TEST(DerivedValues, TrueAzimuthAndApparentDisplacement) {
    ProbeRecord s = Station(0, 46.869898f);
    s.x = 3;
    s.y = 4;  // 5 m away, bearing 36.87
    EXPECT_EQ(TrueAzimuth(s, 5), s.azi - 5.0f);
    // Projected on the true azimuth 46.87 − 10 = 36.87: the whole displacement; with a
    // declination of −80 the true azimuth is 126.87, square to it.
    EXPECT_NEAR(ApparentDisplacement(s, 10), 5.0f, 1e-4);
    EXPECT_NEAR(ApparentDisplacement(s, -80), 0.0f, 1e-4);
    // The angle is the displacement azimuth less the true azimuth, each a float difference.
    const float angle = DisplacementAzimuth(3, 4) - (s.azi - 10.0f);
    EXPECT_EQ(ApparentDisplacement(s, 10), static_cast<float>(5.0 * std::cos(double(angle) * 3.1415926535 / 180)));
    EXPECT_NEAR(ApparentDisplacement(s, 10), 5.0f, 1e-4);
    EXPECT_NEAR(ApparentDisplacement(s, 100), 5 * std::cos(-90 * M_PI / 180), 1e-4);
    EXPECT_EQ(LeftRightDeviation(s), s.dy);
    EXPECT_EQ(UpDownDeviation(s), s.dz);
}

}  // namespace
}  // namespace sondara
