#include "ui/plots/trajectory_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"

namespace {

const double kIsoAngle = sondara::kPi / 6;  // 0.5235987755833333

float Ceil(float v) { return static_cast<float>(std::ceil(static_cast<double>(v))); }

float Extent(float a, float b) {
    const auto size = [](float v) { return std::isfinite(v) ? std::fabs(v) : 0.0f; };
    return Ceil(std::max(size(a), size(b)));
}

// How many steps k = 0, 1, … satisfy k · step < extent.
int StepsBelow(float extent, double step) {
    int n = 0;
    while (n < kMaxMarksPerAxis && n * step < extent) ++n;
    return n;
}

}  // namespace

float IsoX(float e, float n, float) { return static_cast<float>(e * std::cos(kIsoAngle) + n * std::cos(kIsoAngle)); }

float IsoY(float e, float n, float u) {
    return static_cast<float>(-e * std::sin(kIsoAngle) + n * std::sin(kIsoAngle) + u);
}

Metres3 DesignEndPoint(float length, float designTrueAzimuth, float dDip) {
    const double theta = sondara::DegToRad(90.0f - designTrueAzimuth);
    const double phi = sondara::DegToRad(dDip);
    return {static_cast<float>(length * std::cos(theta) * std::cos(phi)),
            static_cast<float>(length * std::sin(theta) * std::cos(phi)), static_cast<float>(length * std::sin(phi))};
}

QPointF TrajectoryLayout::Screen(float e, float n, float u) const {
    return {anchor.x() + IsoX(e, n, u) * s, anchor.y() - IsoY(e, n, u) * s};
}

TrajectoryLayout LayOutTrajectory(const QRectF& client, const Metres3& last, const Metres3& design) {
    TrajectoryLayout l;
    l.C = Extent(design.e, last.e);
    l.D = Extent(design.n, last.n);
    l.V = Extent(design.u, last.u);
    if (l.C == 0 && l.D == 0 && l.V == 0) {
        l.C = l.D = l.V = 1;
        l.unitBox = true;
    }
    const float px = client.left() + 30, py = client.top() + 30;
    const float pw = client.width() - 60, ph = client.height() - 60;
    const float sin30 = static_cast<float>(std::sin(kIsoAngle));
    l.W = IsoX(l.C, l.D, 0);
    l.H = static_cast<float>(l.C * std::sin(kIsoAngle) + l.D * std::sin(kIsoAngle) + l.V);
    // A zero width (no east or north extent) leaves the height to set the scale.
    const float byWidth = l.W > 0 ? (pw - 60) / l.W : INFINITY;
    l.s = std::min(byWidth, (ph - 60) / l.H);
    const QPointF p0(px + pw / 2 - l.W * l.s / 2, py + ph / 2 + l.H * l.s / 2 - l.C * sin30 * l.s);
    const Metres3 corners[8] = {{0, 0, 0},   {l.C, 0, 0},   {l.C, l.D, 0},   {0, l.D, 0},
                                {0, 0, l.V}, {l.C, 0, l.V}, {l.C, l.D, l.V}, {0, l.D, l.V}};
    l.anchor = p0;
    for (int i = 0; i < 8; ++i) l.P[i] = l.Screen(corners[i]);
    l.sE = AxisSign(last.e);
    l.sN = AxisSign(last.n);
    l.sU = AxisSign(last.u);
    // The origin goes to the corner that keeps the last station inside the box.
    l.anchor = l.Screen(l.sE < 0 ? l.C : 0, l.sN < 0 ? l.D : 0, l.sU < 0 ? l.V : 0);
    return l;
}

EdgeSpacing EastSpacing(const TrajectoryLayout& l, const QSizeF& size) {
    return {l.Screen(1, 0, 0) - l.Screen(0, 0, 0), size};
}
EdgeSpacing NorthSpacing(const TrajectoryLayout& l, const QSizeF& size) {
    return {l.Screen(0, 1, 0) - l.Screen(0, 0, 0), size};
}
EdgeSpacing UpSpacing(const TrajectoryLayout& l, const QSizeF& size) {
    return {l.Screen(0, 0, 1) - l.Screen(0, 0, 0), size};
}

bool LabelsKeepApart(const QPointF& offset, const QSizeF& size) {
    return std::fabs(offset.x()) >= 2 * size.width() || std::fabs(offset.y()) >= 2 * size.height();
}

double LabelStep(float extent, const EdgeSpacing& spacing) {
    // 5, then 10, 25 and 50 times each power of ten.
    double step = 5, decade = 1;
    for (int i = 0; step < extent && !LabelsKeepApart(spacing.perMetre * step, spacing.labelSize); ++i) {
        const double factors[] = {10, 25, 50};
        step = factors[i % 3] * decade;
        if (i % 3 == 2) decade *= 10;
    }
    return step;
}

std::vector<AxisLabel> DistanceLabels(float extent, int sign, double step, const EdgeSpacing& spacing) {
    const double end = std::trunc(extent);
    const auto apartFromEnd = [&](double at) {
        return LabelsKeepApart(spacing.perMetre * (end - at), spacing.labelSize);
    };
    // The origin's "0" is every edge's first label; the extent's label comes last.
    std::vector<AxisLabel> labels{{"0", 0.0f}};
    for (int k = 1, n = StepsBelow(extent, step); k < n && apartFromEnd(k * step); ++k) {
        labels.push_back({QString::asprintf("%.0f", k * step), float(sign * k * step)});
    }
    if (end != 0 && apartFromEnd(0)) labels.push_back({QString::asprintf("%0.0f", extent), float(sign * end)});
    return labels;
}

std::vector<GridLine> GridLines(const TrajectoryLayout& l, const AxisSteps& steps) {
    std::vector<GridLine> lines;
    const float E = l.sE * l.C, N = l.sN * l.D, U = l.sU * l.V;
    const int nC = StepsBelow(l.C, steps.e), nD = StepsBelow(l.D, steps.n), nV = StepsBelow(l.V, steps.u);
    const auto e = [&](int k) { return float(l.sE * k * steps.e); };
    const auto n = [&](int k) { return float(l.sN * k * steps.n); };
    const auto u = [&](int k) { return float(l.sU * k * steps.u); };
    for (int k = 0; k < nC; ++k) lines.push_back({{e(k), 0, 0}, {e(k), N, 0}});
    for (int k = 0; k < nD; ++k) lines.push_back({{0, n(k), 0}, {E, n(k), 0}});
    for (int k = 0; k < nC; ++k) lines.push_back({{e(k), N, 0}, {e(k), N, U}});
    for (int k = 0; k < nV; ++k) lines.push_back({{0, N, u(k)}, {E, N, u(k)}});
    for (int k = 0; k < nD; ++k) lines.push_back({{0, n(k), 0}, {0, n(k), U}});
    for (int k = 0; k < nV; ++k) lines.push_back({{0, 0, u(k)}, {0, N, u(k)}});
    return lines;
}
