// Painting cost of the two drawings for a long hole, against a plain polyline through
// the same screen points drawn in the same run (report the ratio, not the time).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "core/records.h"
#include "ui/plots/deviation_chart.h"
#include "ui/plots/deviation_geometry.h"
#include "ui/plots/trajectory_geometry.h"
#include "ui/plots/trajectory_plot.h"

namespace {

constexpr int kStations = 20000;
const QRect kClient(0, 0, 800, 800);

// Stations 1.5 m apart (30 km of hole: a long polyline, and the label step widens to
// keep its labels apart) or
// squeezed into `spacing` metres each, which leaves the stations' own cost.
sondara::HoleSurvey LongHole(float spacing) {
    sondara::HoleSurvey h;
    h.name = u"B1";
    h.dDip = 2;
    for (int i = 0; i < kStations; ++i) {
        sondara::ProbeRecord r;
        r.flag = sondara::kSampled | sondara::kStation;
        r.depth = spacing * i;
        r.dy = 3.0f * std::sin(i / 900.0);
        r.dz = -2.0f * std::cos(i / 1300.0) + 0.0001f * i;
        r.x = 0.9f * r.depth;
        r.y = 0.4f * r.depth;
        r.z = 0.03f * r.depth + r.dz;
        r.mark = i % 500 == 0 ? sondara::kMarkCoal : 0;
        h.records.push_back(r);
    }
    return h;
}

const sondara::HoleSurvey& Hole(bool compact = false) {
    static const sondara::HoleSurvey rods = LongHole(1.5f);
    static const sondara::HoleSurvey compactHole = LongHole(0.03f);
    return compact ? compactHole : rods;
}

QPolygonF TrajectoryPoints(bool compact) {
    const auto& r = Hole(compact).records;
    const TrajectoryLayout l =
        LayOutTrajectory(QRectF(kClient), {r.back().x, r.back().y, r.back().z}, DesignEndPoint(r.back().depth, 0, 2));
    QPolygonF points;
    for (const auto& s : r) points << l.Screen(s.x, s.y, s.z);
    return points;
}

QPolygon DeviationPoints() {
    const DeviationPanels d = LayOutDeviationPanels(0, 0, 800, 800);
    std::vector<float> xs, ys, zs;
    for (const auto& s : Hole().records) {
        xs.push_back(s.depth);
        ys.push_back(s.dy);
        zs.push_back(s.dz);
    }
    const ChartAxes upper = ChartAxesFor(xs, ys, float(d.upper.width()), float(d.upper.height()));
    const ChartAxes lower = ChartAxesFor(xs, zs, float(d.lower.width()), float(d.lower.height()));
    QPolygon points;
    for (std::size_t i = 0; i < xs.size(); ++i) points << ChartPoint(upper, d.upper, xs[i], ys[i]);
    for (std::size_t i = 0; i < xs.size(); ++i) points << ChartPoint(lower, d.lower, xs[i], zs[i]);
    return points;
}

template <class Paint>
void PaintLoop(benchmark::State& state, Paint paint) {
    QImage image(kClient.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        paint(p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kStations);
}

// Argument 0: 30 km of hole; 1: the same stations within 600 m.
void BM_Trajectory3D(benchmark::State& state) {
    const bool compact = state.range(0) != 0;
    PaintLoop(state, [&](QPainter& p) { DrawTrajectory3D(p, QRectF(kClient), Hole(compact)); });
}

void BM_TrajectoryPolylineBaseline(benchmark::State& state) {
    const QPolygonF points = TrajectoryPoints(state.range(0) != 0);
    PaintLoop(state, [&](QPainter& p) { p.drawPolyline(points); });
}

void BM_DeviationCurves(benchmark::State& state) {
    PaintLoop(state, [](QPainter& p) { DrawDeviationCurves(p, kClient, Hole()); });
}

void BM_DeviationPolylineBaseline(benchmark::State& state) {
    const QPolygon points = DeviationPoints();
    PaintLoop(state, [&](QPainter& p) {
        p.drawPolyline(points.constData(), kStations);
        p.drawPolyline(points.constData() + kStations, kStations);
    });
}

BENCHMARK(BM_TrajectoryPolylineBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trajectory3D)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeviationPolylineBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeviationCurves)->Unit(benchmark::kMillisecond);

}  // namespace
