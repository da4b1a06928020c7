#include <gtest/gtest.h>

#include <cmath>

#include "site_fixtures.h"
#include "ui/drillsite/site_geometry.h"

namespace sondara::test {
namespace {

TEST(SiteGeometry, NiceStepCutsASpanIntoRoundParts) {
    struct Case {
        double span;
        int divisions;
        double step;
    };
    const Case cases[] = {{100, 10, 10},    {95, 10, 10}, {101, 10, 20}, {7, 10, 1},      {0.3, 10, 0.05},
                          {12345, 5, 5000}, {0, 10, 1},   {NAN, 10, 1},  {1e-9, 10, 1e-3}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(NiceStep(c.span, c.divisions), c.step) << c.span;
    const std::vector<double> v = GridValues(-12, 31, 10);
    EXPECT_EQ(v, (std::vector<double>{-10, 0, 10, 20, 30}));
    EXPECT_TRUE(GridValues(0, 1e9, 1).empty());  // far too many lines: none rather than a hang
}

TEST(SiteGeometry, MeanDesignAzimuthGoesRoundTheCircle) {
    DrillSite site = Fan(2);
    site.holes[0].design->trueAzimuth = 350;
    site.holes[1].design->trueAzimuth = 20;
    EXPECT_NEAR(MeanDesignAzimuth(site), 5, 1e-6);
    // Without design lines the direction from collar to end stands in: fan holes at 30 and 60.
    for (SiteHole& h : site.holes) h.design.reset();
    EXPECT_NEAR(MeanDesignAzimuth(site), 45, 1e-6);
    EXPECT_EQ(MeanDesignAzimuth(DrillSite{}), 0);
}

TEST(SiteGeometry, SectionMeasuresAlongItsAzimuthFromTheMeanCollar) {
    DrillSite site = Fan(1);
    site.holes.push_back(FanHole(1, 40, "b"));
    site.holes[1].start = SitePoint{kEast0 + 10, kNorth0 - 4, kLevel0};
    const SectionFrame east = SectionFor(site, 90);
    EXPECT_DOUBLE_EQ(east.originX, kEast0 + 5);
    EXPECT_DOUBLE_EQ(east.originY, kNorth0 - 2);
    EXPECT_NEAR(east.Along({kEast0 + 25, kNorth0 + 100, 0}), 20, 1e-6);
    const SectionFrame north = SectionFor(site, 0);
    EXPECT_NEAR(north.Along({kEast0 + 25, kNorth0 + 100, 0}), 102, 1e-6);
}

TEST(SiteGeometry, HoleTable_EndDeviationAndSpacingToTheNextHoleWithStations) {
    DrillSite site = Fan(3, 40);
    site.holes.insert(site.holes.begin() + 1, SiteHole{"空孔", {}, std::nullopt, std::nullopt});
    const std::vector<HoleSummary> rows = SummariesOf(site);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_FALSE(rows[1].hasStations);
    EXPECT_FALSE(rows[1].spacingToNext);
    const SiteStation& end0 = site.holes[0].stations.back();
    EXPECT_DOUBLE_EQ(rows[0].length, 40);
    EXPECT_DOUBLE_EQ(rows[0].end.x, end0.at.x);
    EXPECT_DOUBLE_EQ(rows[0].total, std::hypot(end0.dy, end0.dz));
    const auto spacing = [&](int a, int b) {
        const SitePoint p = site.holes[a].stations.back().at, q = site.holes[b].stations.back().at;
        return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
    };
    ASSERT_TRUE(rows[0].spacingToNext);
    EXPECT_NEAR(*rows[0].spacingToNext, spacing(0, 2), 1e-9);  // skips the hole without stations
    EXPECT_GT(*rows[0].spacingToNext, 15);
    EXPECT_NEAR(*rows[2].spacingToNext, spacing(2, 3), 1e-9);
    EXPECT_FALSE(rows[3].spacingToNext);  // the last hole has no next
}

TEST(SiteGeometry, ThinningKeepsEndsAndDropsPointsOnTheSamePixel) {
    QPolygonF line;
    for (int i = 0; i <= 1000; ++i) line << QPointF(i * 0.01, 0);  // ten pixels in 1000 points
    line << QPointF(50, 0);
    const QPolygonF thin = ThinnedPolyline(line);
    EXPECT_EQ(thin.front(), line.front());
    EXPECT_EQ(thin.back(), line.back());
    EXPECT_LT(thin.size(), 20);
    for (qsizetype i = 1; i + 1 < thin.size(); ++i) EXPECT_GE(QLineF(thin[i - 1], thin[i]).length(), 0.75);
}

TEST(SiteGeometry, NearestHoleWithinTolerance) {
    const std::vector<std::vector<QPolygonF>> traces = {{QPolygonF({QPointF(0, 0), QPointF(100, 0)})},
                                                        {QPolygonF({QPointF(0, 10), QPointF(100, 10)})},
                                                        {QPolygonF({QPointF(50, 50)})}};  // one station
    EXPECT_EQ(NearestHole(traces, QPointF(40, 3)), 0);
    EXPECT_EQ(NearestHole(traces, QPointF(40, 7)), 1);
    EXPECT_EQ(NearestHole(traces, QPointF(52, 52)), 2);
    EXPECT_EQ(NearestHole(traces, QPointF(40, 30)), -1);
    EXPECT_EQ(NearestHole({}, QPointF(0, 0)), -1);
}

TEST(SiteGeometry, ThreeDLookingStraightDownIsThePlan) {
    DrillSite site = Fan(1);
    const Projection3D p = ProjectionFor(site, Camera3D{0, 90, 1, {}}, QRectF(0, 0, 800, 600));
    const QPointF o = p.Project(p.centre);
    EXPECT_NEAR(o.x(), 400, 1e-9);
    EXPECT_NEAR(o.y(), 300, 1e-9);
    const QPointF east = p.Project({p.centre.x + 1, p.centre.y, p.centre.z}) - o;
    const QPointF north = p.Project({p.centre.x, p.centre.y + 1, p.centre.z}) - o;
    const QPointF up = p.Project({p.centre.x, p.centre.y, p.centre.z + 1}) - o;
    EXPECT_GT(east.x(), 0);
    EXPECT_NEAR(east.y(), 0, 1e-9);
    EXPECT_LT(north.y(), 0);  // north is up the screen
    EXPECT_NEAR(north.x(), 0, 1e-9);
    EXPECT_NEAR(QLineF(QPointF(), up).length(), 0, 1e-9);  // vertical collapses to a point
    // Zoom scales, pan moves.
    const Projection3D z = ProjectionFor(site, Camera3D{0, 90, 2, QPointF(10, -5)}, QRectF(0, 0, 800, 600));
    EXPECT_NEAR(z.scale, 2 * p.scale, 1e-9);
    EXPECT_NEAR(z.Project(z.centre).x(), 410, 1e-9);
}

TEST(SiteFromSurvey, DesignLineFollowsTheTrueAzimuthAndSkipsHolesWithoutParameters) {
    SurveyStore store;
    HoleSurvey h;
    h.name = std::u16string(u"A");  // through a temporary: GCC 12 with sanitizers warns wrongly on the literal
    h.e0 = 100;
    h.n0 = 200;
    h.d0 = -5;
    h.gi = 5;
    h.dPos = 95;  // design true azimuth 90: due east
    h.dDip = 30;
    ProbeRecord r;
    r.flag = kSampled | kStation;
    r.depth = 10;
    r.x = 108;
    r.y = 201;
    h.records = {r, ProbeRecord{}};
    store.m_holes = {h, HoleSurvey{}};
    const DrillSite site = SiteFromSurvey(store);
    ASSERT_EQ(site.holes.size(), 1u);
    EXPECT_EQ(site.holes[0].name, "A");
    ASSERT_EQ(site.holes[0].stations.size(), 1u);
    ASSERT_TRUE(site.holes[0].design);
    const SiteDesign& d = *site.holes[0].design;
    EXPECT_NEAR(d.trueAzimuth, 90, 1e-5);
    EXPECT_NEAR(d.to.x, 100 + 10 * std::cos(30 * M_PI / 180), 1e-4);
    EXPECT_NEAR(d.to.y, 200, 1e-4);
    EXPECT_NEAR(d.to.z, -5 + 10 * 0.5, 1e-4);
    EXPECT_DOUBLE_EQ(site.holes[0].Collar()->x, 100);
}

}  // namespace
}  // namespace sondara::test
