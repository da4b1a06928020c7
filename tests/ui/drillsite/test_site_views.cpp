#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "site_fixtures.h"
#include "ui/drillsite/site_views.h"

namespace sondara::test {
namespace {

constexpr SiteViewKind kAllKinds[] = {SiteViewKind::Plan, SiteViewKind::Section, SiteViewKind::ThreeD,
                                      SiteViewKind::Deviation};

QImage Paint(SiteViewKind kind, const DrillSite& site, const SiteViewOptions& o, QSize size = {900, 700}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    PaintSiteView(p, kind, QRectF(QPointF(), QSizeF(size)), site, o);
    return image;
}

TEST(SiteViews, EveryHoleIsDrawnInItsColourWhereTheViewPlacesIt) {
    const DrillSite site = Fan(3, 40);
    SiteViewOptions o;
    o.sectionAzimuth = MeanDesignAzimuth(site);
    for (SiteViewKind kind : kAllKinds) {
        const QImage image = Paint(kind, site, o);
        const auto traces = SiteTracesOnScreen(kind, QRectF(image.rect()), site, o);
        ASSERT_EQ(traces.size(), site.holes.size());
        for (std::size_t h = 0; h < site.holes.size(); ++h) {
            for (const QPolygonF& line : traces[h]) {
                ASSERT_EQ(line.size(), 40);
                // Away from the shared collar, where the holes part.
                for (int k : {15, 25, 38}) {
                    EXPECT_TRUE(ColourNear(image, line[k], HoleColour(int(h))))
                        << SiteViewTitle(kind).toStdString() << " hole " << h << " station " << k << " at "
                        << line[k].x() << "," << line[k].y();
                }
            }
        }
        // The holes lie inside the picture, and the picture is the view's own (no
        // corner left unpainted).
        EXPECT_NE(image.pixel(2, 2), qRgb(0, 0, 0)) << SiteViewTitle(kind).toStdString();
    }
}

TEST(SiteViews, PlanPlacesStationsAtTheirMineCoordinates) {
    // Hole 2 runs north-east of the collar: right of it and above it on screen.
    const DrillSite site = Fan(3, 40);
    const QRectF area(0, 0, 900, 700);
    const Fit fit = PlanFit(area, site);
    const SiteStation& s = site.holes[1].stations[19];  // azimuth 60, depth 20
    const QPointF expected = fit.ToScreen(s.at.x, s.at.y);
    const auto traces = SiteTracesOnScreen(SiteViewKind::Plan, area, site, {});
    EXPECT_NEAR(traces[1][0][19].x(), expected.x(), 1e-6);
    const QPointF collar = fit.ToScreen(kEast0, kNorth0);
    EXPECT_GT(expected.x(), collar.x());  // east of the collar: right
    EXPECT_LT(expected.y(), collar.y());  // north of it: up
    // The section along 60 degrees shows hole 2's stations at their depth's horizontal distance.
    SiteViewOptions o;
    o.sectionAzimuth = 60;
    const SectionFrame frame = SectionFor(site, 60);
    EXPECT_NEAR(frame.Along(s.at), 20 * std::cos(10 * M_PI / 180), 1e-6);
}

TEST(SiteViews, SelectedHoleIsHeavierAndShowsItsStations) {
    const DrillSite site = Fan(3, 40);
    const auto count = [&](const QImage& image, const QColor& colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (ColourNear(image, QPointF(x, y), colour, 0)) ++n;
        return n;
    };
    SiteViewOptions none, second;
    second.selected = 1;
    const QImage plain = Paint(SiteViewKind::Plan, site, none);
    const QImage marked = Paint(SiteViewKind::Plan, site, second);
    EXPECT_GT(count(marked, HoleColour(1)), count(plain, HoleColour(1)) * 3 / 2);
    // A station of the selected hole shows as a white dot on it.
    const QPointF station = SiteTracesOnScreen(SiteViewKind::Plan, QRectF(plain.rect()), site, second)[1][0][30];
    EXPECT_TRUE(ColourNear(plain, station, HoleColour(1), 0));
    EXPECT_TRUE(ColourNear(marked, station, Qt::white, 0));
}

TEST(SiteViews, AwkwardSitesPaintWithoutFault) {
    DrillSite oneStation;
    oneStation.holes.push_back(FanHole(0, 1, "短"));
    DrillSite damaged = Fan(2, 10);
    damaged.holes[0].stations[3].at.x = NAN;
    damaged.holes[1].stations[4].at.z = INFINITY;
    damaged.holes[1].stations[5].dy = NAN;
    DrillSite noStations;
    noStations.holes.push_back(SiteHole{"空", {}, std::nullopt, std::nullopt});
    DrillSite empty;
    for (const DrillSite* site : {&oneStation, &damaged, &noStations, &empty}) {
        for (SiteViewKind kind : kAllKinds) {
            const QImage image = Paint(kind, *site, {}, {300, 200});
            EXPECT_FALSE(image.isNull());
            SiteTracesOnScreen(kind, QRectF(image.rect()), *site, {});
        }
    }
}

}  // namespace
}  // namespace sondara::test
