// Paints the drawings into images and probes the pixels at the places the layouts fix.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "plot_fixtures.h"
#include "ui/plots/deviation_chart.h"
#include "ui/plots/trajectory_geometry.h"
#include "ui/plots/trajectory_plot.h"

namespace sondara::test {
namespace {

const QRgb kUntouched = qRgb(255, 0, 255);

QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kUntouched);
    return image;
}

QImage PaintWorkedPanel() {
    QImage image = Blank(800, 420);
    QPainter p(&image);
    DrawDeviationChart({0, 15, 30, 45, 57.3f}, {-0.8f, 0.2f, 0.5f, 1.0f, 1.7f}, {0, 0, kMarkCoal, kMarkRock, 0}, p,
                       QRectF(40, 40, 720, 320));
    return image;
}

TEST(DeviationChartPainting, WorkedPanel_DotsZeroLineFrameAndMarksWhereTheLayoutPutsThem) {
    const QImage image = PaintWorkedPanel();
    // The station at depth 30, deviation 0.5 is a red dot at (400, 312); the curve runs over it.
    EXPECT_GT(CountPixels(image, QRect(397, 309, 6, 6), IsRed), 0);
    EXPECT_GT(CountPixels(image, QRect(397, 309, 6, 6), IsGreen), 0);
    EXPECT_EQ(CountPixels(image, QRect(370, 300, 20, 30), IsRed), 0);
    // The zero line at y = 328 is solid, the grid line above it (y = 296) dotted.
    const int zeroRow = CountPixels(image, QRect(45, 328, 50, 1), IsBlack);
    const int gridRow = CountPixels(image, QRect(45, 296, 50, 1), IsBlack);
    EXPECT_EQ(zeroRow, 50);
    EXPECT_GT(gridRow, 15);
    EXPECT_LT(gridRow, 35);
    // The frame's outer half stays black around the white fill.
    EXPECT_TRUE(IsBlack(image.pixel(39, 200)));
    EXPECT_TRUE(IsWhite(image.pixel(45, 50)));
    // "遇煤" black above the depth-30 dot, "遇岩" blue above the depth-45 dot (580, 296).
    EXPECT_GT(CountPixels(image, QRect(390, 267, 40, 40), IsBlack), 10);
    EXPECT_EQ(CountPixels(image, QRect(390, 267, 40, 40), IsBlue), 0);
    EXPECT_GT(CountPixels(image, QRect(570, 251, 40, 40), IsBlue), 10);
    // Depth label 30 below the panel, deviation labels in blue left of it.
    EXPECT_GT(CountPixels(image, QRect(380, 362, 40, 23), IsBlack), 5);
    EXPECT_GT(CountPixels(image, QRect(0, 348, 38, 25), IsBlue), 5);
}

TEST(DeviationChartPainting, OneStation_ShowsTheDotAndNoCurve) {
    QImage image = Blank(400, 300);
    QPainter p(&image);
    DrawDeviationChart({5}, {2}, {0}, p, QRectF(40, 40, 320, 200));
    p.end();
    EXPECT_GT(CountPixels(image, image.rect(), IsRed), 10);
    EXPECT_EQ(CountPixels(image, image.rect(), IsGreen), 0);
}

TEST(DeviationCurvesPainting, TwoPanelsWithTitlesOnGrey) {
    SurveyStore store;
    store.m_holes.push_back(RampHole("A", 20));
    QImage image = Blank(800, 800);
    QPainter p(&image);
    EXPECT_EQ(DrawDeviationCurves(p, QRect(0, 0, 800, 800), store, 0), PlotOutcome::Drawn);
    p.end();
    EXPECT_TRUE(IsGrey(image.pixel(5, 5)));
    EXPECT_TRUE(IsGrey(image.pixel(5, 795)));
    EXPECT_TRUE(IsWhite(image.pixel(45, 45)));
    EXPECT_TRUE(IsWhite(image.pixel(45, 445)));
    EXPECT_TRUE(IsGrey(image.pixel(400, 420)));  // between the panels
    EXPECT_GT(CountPixels(image, QRect(250, 5, 300, 30), IsBlack), 50);
    EXPECT_GT(CountPixels(image, QRect(250, 405, 300, 30), IsBlack), 50);
}

TEST(PlotStates, EmptyStoreAndHoleWithoutStationsDrawNothing_AHolePastTheEndSaysSo) {
    SurveyStore store;
    QImage image = Blank(300, 300);
    {
        QPainter p(&image);
        EXPECT_EQ(DrawDeviationCurves(p, image.rect(), store, 0), PlotOutcome::NoHoles);
        EXPECT_EQ(DrawTrajectory3D(p, QRectF(image.rect()), store, 0), PlotOutcome::NoHoles);
        store.m_holes.push_back(MakeHole("A", {}));
        EXPECT_EQ(DrawDeviationCurves(p, image.rect(), store, 0), PlotOutcome::NoStations);
        EXPECT_EQ(DrawTrajectory3D(p, QRectF(image.rect()), store, 0), PlotOutcome::NoStations);
    }
    EXPECT_EQ(CountPixels(image, image.rect(), [](QRgb c) { return c != kUntouched; }), 0);

    for (int mode = 0; mode < 2; ++mode) {
        QImage past = Blank(300, 300);
        QPainter p(&past);
        const PlotOutcome o =
            mode ? DrawTrajectory3D(p, QRectF(past.rect()), store, 3) : DrawDeviationCurves(p, past.rect(), store, 3);
        p.end();
        EXPECT_EQ(o, PlotOutcome::NoSuchHole);
        EXPECT_TRUE(IsGrey(past.pixel(5, 5)));
        EXPECT_GT(CountPixels(past, QRect(50, 130, 200, 40), IsBlack), 20);
    }
}

HoleSurvey WorkedTrajectoryHole() {
    HoleSurvey h = MakeHole(
        "T", {{0, 0, 0, 0, 0, 0}, {13, 0, 0, 10, 12, 3}, {27, 0, 0, 20, 27, 7}, {40, 0, 0, 29.5f, 40.2f, 11.3f}});
    h.dDip = 10;  // design line due north, 10 degrees up: inside the extents of the last station
    return h;
}

TEST(TrajectoryPainting, WorkedLayout_BoxCurveDesignTripodAndLegendInPlace) {
    SurveyStore store;
    store.m_holes.push_back(WorkedTrajectoryHole());
    QImage image = Blank(800, 700);
    QPainter p(&image);
    EXPECT_EQ(DrawTrajectory3D(p, QRectF(0, 0, 800, 700), store, 0), PlotOutcome::Drawn);
    p.end();
    const TrajectoryLayout l = LayOutTrajectory(QRectF(0, 0, 800, 700), {29.5f, 40.2f, 11.3f}, {0, 39.4f, 6.9f});

    EXPECT_TRUE(IsGrey(image.pixel(5, 5)));
    // Visible box edge P1–P5 at x ≈ 347.
    EXPECT_GT(CountPixels(image, QRect(346, 530, 3, 1), IsBlack), 0);
    // A station dot on the curve.
    const QPointF q = l.Screen(10, 12, 3);
    EXPECT_GT(CountPixels(image, QRect(int(q.x()) - 3, int(q.y()) - 3, 7, 7), IsRed), 0);
    EXPECT_GT(CountPixels(image, QRect(int(q.x()) - 3, int(q.y()) - 3, 7, 7), IsGreen), 0);
    // The design line in blue half way along.
    const QPointF mid = (l.anchor + l.Screen(0, 39.4f, 6.9f)) / 2;
    EXPECT_GT(CountPixels(image, QRect(int(mid.x()) - 2, int(mid.y()) - 2, 5, 5), IsBlue), 0);
    // The tripod's up axis, 200 pixels below P0.
    EXPECT_GT(CountPixels(image, QRect(59, 615, 3, 10), IsBlack), 5);
    // The legend's first row, a green line 200 pixels above P6.
    EXPECT_GT(CountPixels(image, QRect(595, 52, 50, 3), IsGreen), 40);
    EXPECT_GT(CountPixels(image, QRect(595, 112, 50, 3), IsBlue), 15);  // fourth row, dashed
}

TEST(TrajectoryPainting, OneStationAtTheOrigin_DrawsTheDotInAUnitBoxWithoutCurve) {
    SurveyStore store;
    store.m_holes.push_back(MakeHole("O", {{0, 0, 0, 0, 0, 0}}));
    QImage image = Blank(400, 400);
    QPainter p(&image);
    EXPECT_EQ(DrawTrajectory3D(p, QRectF(0, 0, 400, 400), store, 0), PlotOutcome::Drawn);
    p.end();
    const TrajectoryLayout l = LayOutTrajectory(QRectF(0, 0, 400, 400), {0, 0, 0}, {0, 0, 0});
    const QPoint a = l.anchor.toPoint();
    EXPECT_GT(CountPixels(image, QRect(a.x() - 3, a.y() - 3, 7, 7), IsRed), 5);
    // Green only in the legend (base 150 left of and 200 above P6), no curve.
    const QRect legend(int(l.P[6].x()) - 152, int(l.P[6].y()) - 203, 64, 66);
    EXPECT_EQ(CountPixels(image, image.rect(), IsGreen), CountPixels(image, legend, IsGreen));
}

}  // namespace
}  // namespace sondara::test
