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

// How many 5-metre steps k = 0, 1, … satisfy extent / 5 > k.
int FiveMetreSteps(float extent) {
    int n = 0;
    while (n < kMaxMarksPerAxis && extent / 5 > n) ++n;
    return n;
}

}  // namespace

float IsoX(float e, float n, float) { return static_cast<float>(e * std::cos(kIsoAngle) + n * std::cos(kIsoAngle)); }

float IsoY(float e, float n, float u) {
    return static_cast<float>(-e * std::sin(kIsoAngle) + n * std::sin(kIsoAngle) + u);
}

Metres3 DesignEndPoint(float length, float dPos, float gi, float dDip) {
    const double theta = sondara::DegToRad(90.0f - (dPos - gi));
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

std::vector<AxisLabel> DistanceLabels(float extent, int sign) {
    std::vector<AxisLabel> labels;
    for (int k = 0, n = FiveMetreSteps(extent); k < n; ++k)
        labels.push_back({QString::asprintf("%d", 5 * k), float(sign * 5 * k)});
    labels.push_back({QString::asprintf("%0.0f", extent), float(sign * std::trunc(extent))});
    return labels;
}

std::vector<GridLine> GridLines(const TrajectoryLayout& l) {
    std::vector<GridLine> lines;
    const float E = l.sE * l.C, N = l.sN * l.D, U = l.sU * l.V;
    const int stepsC = FiveMetreSteps(l.C), stepsD = FiveMetreSteps(l.D), stepsV = FiveMetreSteps(l.V);
    for (int k = 0; k < stepsC; ++k) lines.push_back({{float(l.sE * 5 * k), 0, 0}, {float(l.sE * 5 * k), N, 0}});
    for (int k = 0; k < stepsD; ++k) lines.push_back({{0, float(l.sN * 5 * k), 0}, {E, float(l.sN * 5 * k), 0}});
    for (int k = 0; k < stepsC; ++k) lines.push_back({{float(l.sE * 5 * k), N, 0}, {float(l.sE * 5 * k), N, U}});
    for (int k = 0; k < stepsV; ++k) lines.push_back({{0, N, float(l.sU * 5 * k)}, {E, N, float(l.sU * 5 * k)}});
    for (int k = 0; k < stepsD; ++k) lines.push_back({{0, float(l.sN * 5 * k), 0}, {0, float(l.sN * 5 * k), U}});
    for (int k = 0; k < stepsV; ++k) lines.push_back({{0, 0, float(l.sU * 5 * k)}, {0, N, float(l.sU * 5 * k)}});
    return lines;
}
