// Paints the drawings into images and probes the pixels at the places the layouts fix.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "plot_fixtures.h"
#include "ui/plots/deviation_chart.h"
#include "ui/plots/deviation_geometry.h"
#include "ui/plots/plot_style.h"
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

// The view at 800 and 1600 pixels, painted into a wider and taller image: nothing is
// drawn past the client area, so nothing is cut off at its edge, and the depth axis's
// "单位(m)" is there, right of the last depth label.
TEST(DeviationCurvesPainting, AxisTextsStayInsideTheClientArea) {
    SurveyStore store;
    store.m_holes.push_back(RampHole("A", 60));
    for (int size : {800, 1600}) {
        SCOPED_TRACE(size);
        QImage image = Blank(size + 100, size + 100);
        QPainter p(&image);
        DrawDeviationCurves(p, QRect(0, 0, size, size), store, 0);
        p.end();
        const auto drawn = [](QRgb c) { return c != kUntouched; };
        EXPECT_EQ(CountPixels(image, QRect(size, 0, 100, size + 100), drawn), 0);
        EXPECT_EQ(CountPixels(image, QRect(0, size, size + 100, 100), drawn), 0);
        const DeviationPanels d = LayOutDeviationPanels(0, 0, size, size);
        for (const QRectF& panel : {d.upper, d.lower}) {
            const QRect unit(int(panel.right()) + 2, int(panel.bottom()) - 40, 38, 40);
            EXPECT_GT(CountPixels(image, unit, IsBlack), 20);
        }
    }
}

// Neighbouring stations that met coal and rock: each text is drawn where MarkLabelRects
// puts it, and no two texts overlap.
TEST(DeviationChartPainting, MarksOfNeighbouringStationsKeepApart) {
    const std::vector<float> xs{0, 30, 31, 32, 57.3f}, ys{-0.8f, 0.5f, 0.5f, 0.55f, 1.7f};
    const std::vector<int> marks{0, kMarkCoal, kMarkRock, kMarkCoal, 0};
    QImage image = Blank(800, 420);
    QPainter p(&image);
    const QRectF panel(40, 40, 720, 320);
    DrawDeviationChart(xs, ys, marks, p, panel);
    p.setFont(PlotFont(12));
    const QFontMetricsF metrics(p.font(), p.device());
    p.end();
    const ChartAxes a = ChartAxesFor(xs, ys, 720, 320);
    std::vector<QPoint> dots;
    for (std::size_t i = 0; i < xs.size(); ++i) dots.push_back(ChartPoint(a, panel, xs[i], ys[i]));
    const std::vector<QRectF> rects = MarkLabelRects(dots, marks, metrics.boundingRect("遇煤").size());
    // The three marks are 12 pixels apart: all three shown, stacked one above the other.
    std::vector<QRectF> texts;
    for (std::size_t i = 1; i <= 3; ++i) {
        ASSERT_FALSE(rects[i].isNull()) << i;
        QRectF text = metrics.boundingRect("遇煤");
        text.moveCenter(rects[i].center());
        texts.push_back(text);
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j) EXPECT_FALSE(texts[i].intersects(texts[j])) << i << " " << j;
    EXPECT_GT(CountPixels(image, texts[0].toRect(), IsBlack), 10);  // 遇煤 black
    EXPECT_GT(CountPixels(image, texts[1].toRect(), IsBlue), 10);   // 遇岩 blue
    EXPECT_GT(CountPixels(image, texts[2].toRect(), IsBlack), 10);
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

// A hole drilled north-east, bending north and a little down, stations every 1.5 m to
// `length`. The offsets are multiples of 1/256 m, so they stay exact in float beside
// start coordinates of tens of kilometres.
HoleSurvey LongHole(float length, float e0 = 0, float n0 = 0, float d0 = 0) {
    std::vector<StationValues> s;
    for (int i = 0; 1.5f * i <= length; ++i) {
        const float k = float(i);
        s.push_back({1.5f * k, 0, 0, e0 + 1.125f * k, n0 + 0.75f * k + k * k / 256, d0 - 0.09375f * k});
    }
    HoleSurvey h = MakeHole("L", s);
    h.e0 = e0;
    h.n0 = n0;
    h.d0 = d0;
    h.dPos = 55;
    h.dDip = -3.4f;
    return h;
}

QImage Paint3D(const HoleSurvey& hole, int w, int h) {
    QImage image = Blank(w, h);
    QPainter p(&image);
    DrawTrajectory3D(p, QRectF(0, 0, w, h), hole);
    return image;
}

// Mine coordinates (tens of kilometres) are drawn relative to the start point: the
// same picture as the hole with start (0, 0, 0), the first station on "起点O".
TEST(TrajectoryPainting, StartCoordinates_DrawTheHoleFromTheOriginWithItsDesignLine) {
    const HoleSurvey local = LongHole(120);
    const HoleSurvey mine = LongHole(120, 20000, 35000, -300);
    const QImage image = Paint3D(mine, 800, 700);
    EXPECT_EQ(image, Paint3D(local, 800, 700));
    const ProbeRecord& last = local.records.back();
    const TrajectoryLayout l = LayOutTrajectory(QRectF(0, 0, 800, 700), {last.x, last.y, last.z},
                                                DesignEndPoint(last.depth, local.dPos, local.dDip));
    const QPoint a = l.anchor.toPoint();
    EXPECT_GT(CountPixels(image, QRect(a.x() - 2, a.y() - 2, 5, 5), IsRed), 4);
}

// Every distance label the drawing places, as a rectangle of its text in the drawing's
// font: no two overlap, on one edge or across edges (the origin's "0" of each edge is
// one label).
std::vector<QRectF> LabelRects(const HoleSurvey& hole, const QRectF& client, const QPaintDevice& device) {
    std::vector<Metres3> points;
    for (const ProbeRecord& r : hole.records) points.push_back({r.x - hole.e0, r.y - hole.n0, r.z - hole.d0});
    const Metres3 design = DesignEndPoint(hole.records.back().depth, hole.dPos - hole.gi, hole.dDip);
    const TrajectoryLayout l = LayOutTrajectory(client, points.back(), design);
    const QFontMetricsF metrics(PlotFont(10), const_cast<QPaintDevice*>(&device));
    const auto size = [&](float extent) {
        return QSizeF(metrics.horizontalAdvance(QString::asprintf("%0.0f", extent)), metrics.height());
    };
    std::vector<QRectF> rects;
    const auto add = [&](const std::vector<AxisLabel>& labels, auto at) {
        for (const AxisLabel& a : labels) {
            if (a.at == 0 && !rects.empty()) continue;
            QRectF r = metrics.tightBoundingRect(a.text);
            r.moveCenter(at(a.at));
            rects.push_back(r);
        }
    };
    const EdgeSpacing e = EastSpacing(l, size(l.C)), n = NorthSpacing(l, size(l.D)), u = UpSpacing(l, size(l.V));
    add(DistanceLabels(l.C, l.sE, LabelStep(l.C, e), e), [&](float m) { return l.Screen(m, 0, 0); });
    add(DistanceLabels(l.D, l.sN, LabelStep(l.D, n), n), [&](float m) { return l.Screen(0, m, 0); });
    add(DistanceLabels(l.V, l.sU, LabelStep(l.V, u), u), [&](float m) { return l.Screen(0, 0, m); });
    return rects;
}

TEST(TrajectoryPainting, LongHoles_NoTwoDistanceLabelsOverlap) {
    struct Case {
        float length;
        int w, h;
        std::size_t fewestLabels;
    };
    const Case cases[] = {
        {600, 800, 800, 6}, {1000, 800, 700, 6}, {1000, 1600, 1200, 9}, {37, 400, 400, 5}, {600, 300, 300, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " m in " << c.w << "x" << c.h);
        const HoleSurvey hole = LongHole(c.length, 500, -800, 20);
        const QImage image = Blank(c.w, c.h);
        const std::vector<QRectF> rects = LabelRects(hole, QRectF(0, 0, c.w, c.h), image);
        EXPECT_GE(rects.size(), c.fewestLabels);  // still labelled, not left bare
        for (std::size_t i = 0; i < rects.size(); ++i)
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j]))
                    << "labels " << i << " and " << j << " at " << rects[i].x() << "," << rects[i].y() << " "
                    << rects[j].x() << "," << rects[j].y();
    }
}

}  // namespace
}  // namespace sondara::test
