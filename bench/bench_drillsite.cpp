// Painting the drill-site plan and 3D view of 100 holes of 2,000 stations each,
// against plain polylines through the same screen points drawn in the same run
// (report the ratio, not the time).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "ui/drillsite/site_views.h"

namespace {

constexpr int kHoles = 100, kStations = 2000;
const QRectF kArea(0, 0, 1600, 1200);

// A fan of long holes from one chamber, 1 m between stations, each hole wandering a little.
const DrillSite& Site() {
    static const DrillSite site = [] {
        DrillSite s;
        for (int h = 0; h < kHoles; ++h) {
            SiteHole hole;
            hole.name = QString("K%1").arg(h + 1);
            const double azimuth = (h * 3.6) * M_PI / 180;
            hole.start = SitePoint{39500000, 4200000, -400};
            for (int k = 1; k <= kStations; ++k) {
                const double bend = 0.02 * std::sin(k / 300.0 + h);
                SiteStation st;
                st.depth = k;
                st.at = {39500000 + k * std::sin(azimuth + bend), 4200000 + k * std::cos(azimuth + bend),
                         -400 + k * 0.1 + 3 * std::sin(k / 200.0)};
                st.dy = k * bend;
                st.dz = 3 * std::sin(k / 200.0);
                st.mark = k % 400 == 0 ? 1 : 0;
                hole.stations.push_back(st);
            }
            s.holes.push_back(std::move(hole));
        }
        return s;
    }();
    return site;
}

template <class Paint>
void PaintLoop(benchmark::State& state, Paint paint) {
    QImage image(kArea.size().toSize(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        paint(p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kHoles * kStations);
}

SiteViewKind KindOf(const benchmark::State& state) {
    return state.range(0) == 0 ? SiteViewKind::Plan : SiteViewKind::ThreeD;
}

// Argument 0: the plan; 1: the 3D view.
void BM_SiteView(benchmark::State& state) {
    const SiteViewKind kind = KindOf(state);
    PaintLoop(state, [&](QPainter& p) { PaintSiteView(p, kind, kArea, Site(), {}); });
}

void BM_SitePolylineBaseline(benchmark::State& state) {
    const auto traces = SiteTracesOnScreen(KindOf(state), kArea, Site(), {});
    PaintLoop(state, [&](QPainter& p) {
        for (const auto& hole : traces) p.drawPolyline(hole.front());
    });
}

BENCHMARK(BM_SitePolylineBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
