#include "method_check.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"
#include "core/stations.h"
#include "core/trajectory.h"

namespace sondara {

namespace {

EastNorthUp Direction(double inc, double azi) {
    const double i = DegToRad(inc), a = DegToRad(azi);
    return {std::cos(i) * std::sin(a), std::cos(i) * std::cos(a), std::sin(i)};
}

double BendRadians(const EastNorthUp& t1, const EastNorthUp& t2) {
    // The angle from the chord and the sum: exact also for tiny and near-opposite bends.
    const double dx = t2.e - t1.e, dy = t2.n - t1.n, dz = t2.d - t1.d;
    const double sx = t2.e + t1.e, sy = t2.n + t1.n, sz = t2.d + t1.d;
    return 2 * std::atan2(std::sqrt(dx * dx + dy * dy + dz * dz), std::sqrt(sx * sx + sy * sy + sz * sz));
}

}  // namespace

double DoglegDegrees(double inc1, double azi1, double inc2, double azi2) {
    return BendRadians(Direction(inc1, azi1), Direction(inc2, azi2)) * 180.0 / kPi;
}

EastNorthUp MinimumCurvatureStep(double inc1, double azi1, double inc2, double azi2, double length) {
    const EastNorthUp t1 = Direction(inc1, azi1), t2 = Direction(inc2, azi2);
    const double bend = BendRadians(t1, t2);
    // The ratio factor 2/b·tan(b/2) tends to 1 (straight hole) as the bend vanishes.
    const double ratio = bend < 1e-9 ? 1.0 : 2.0 / bend * std::tan(bend / 2);
    const double half = length / 2 * ratio;
    return {half * (t1.e + t2.e), half * (t1.n + t2.n), half * (t1.d + t2.d)};
}

std::vector<std::optional<double>> DoglegSeverities(const std::vector<ProbeRecord>& records) {
    std::vector<std::optional<double>> severities;
    const ProbeRecord* prev = nullptr;
    for (const ProbeRecord& r : records) {
        if (!IsStation(r)) continue;
        std::optional<double> severity;
        if (prev) {
            const double length = static_cast<double>(r.depth) - prev->depth;
            if (length > 0) severity = DoglegDegrees(prev->inc, prev->azi, r.inc, r.azi) * 30.0 / length;
        }
        severities.push_back(severity);
        prev = &r;
    }
    return severities;
}

std::optional<MethodComparison> CompareWithMinimumCurvature(const HoleSurvey& hole) {
    if (hole.name.empty() || CountStations(hole.records) == 0) return std::nullopt;
    // The start point as the trajectory pass builds it.
    ProbeRecord start;
    start.depth = hole.x0;
    start.inc = hole.dDip;
    start.azi = hole.dPos;
    start.x = hole.e0;
    start.y = hole.n0;
    start.z = hole.d0;
    start.dx = hole.x0;
    start.dy = hole.y0;
    start.dz = hole.z0;

    ProbeRecord meanAngle = start;
    EastNorthUp curve{hole.e0, hole.n0, hole.d0};
    ProbeRecord prev = start;
    for (const ProbeRecord& r : hole.records) {
        if (!IsStation(r)) continue;
        ProbeRecord cur = r;
        StepStation(meanAngle, cur, hole.dDip, hole.dPos, hole.gi);
        meanAngle = cur;
        // Same angles as the mean-angle step: the declination is added to each azimuth.
        const double length = static_cast<double>(r.depth) - prev.depth;
        const EastNorthUp step = MinimumCurvatureStep(prev.inc, static_cast<double>(prev.azi) + hole.gi, r.inc,
                                                      static_cast<double>(r.azi) + hole.gi, length);
        curve.e += step.e;
        curve.n += step.n;
        curve.d += step.d;
        prev = r;
    }
    MethodComparison c;
    c.meanAngleEnd = {meanAngle.x, meanAngle.y, meanAngle.z};
    c.minimumCurvatureEnd = curve;
    c.distance = std::hypot(c.meanAngleEnd.e - curve.e, c.meanAngleEnd.n - curve.n, c.meanAngleEnd.d - curve.d);
    c.length = static_cast<double>(prev.depth) - hole.x0;
    return c;
}

}  // namespace sondara
