#include "method_check.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"
#include "core/derived.h"
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

// The step along the circular arc from direction t1 to t2 that bend `bend` apart.
EastNorthUp ArcStep(const EastNorthUp& t1, const EastNorthUp& t2, double bend, double length) {
    // The ratio factor 2/b·tan(b/2) tends to 1 (straight hole) as the bend vanishes.
    const double ratio = bend < 1e-9 ? 1.0 : 2.0 / bend * std::tan(bend / 2);
    const double half = length / 2 * ratio;
    return {half * (t1.e + t2.e), half * (t1.n + t2.n), half * (t1.d + t2.d)};
}

}  // namespace

double DoglegDegrees(double inc1, double azi1, double inc2, double azi2) {
    return BendRadians(Direction(inc1, azi1), Direction(inc2, azi2)) * 180.0 / kPi;
}

EastNorthUp MinimumCurvatureStep(double inc1, double azi1, double inc2, double azi2, double length) {
    const EastNorthUp t1 = Direction(inc1, azi1), t2 = Direction(inc2, azi2);
    return ArcStep(t1, t2, BendRadians(t1, t2), length);
}

std::vector<std::optional<double>> DoglegSeverities(const std::vector<ProbeRecord>& records) {
    HoleSurvey hole;  // no parameters: the doglegs alone
    hole.records = records;
    return CheckMethod(hole).doglegs;
}

std::optional<MethodComparison> CompareWithMinimumCurvature(const HoleSurvey& hole) {
    return CheckMethod(hole).comparison;
}

MethodCheck CheckMethod(const HoleSurvey& hole) {
    MethodCheck out;
    const bool compare = !hole.name.empty();
    const ProbeRecord start = TrajectoryStartPoint(hole);

    ProbeRecord meanAngle = start;
    EastNorthUp curve{hole.e0, hole.n0, hole.d0};
    // True azimuths, as the mean-angle step turns them: both methods must end in the same
    // geographic frame for their distance to mean anything.
    EastNorthUp prevDirection = Direction(hole.dDip, DesignTrueAzimuth(hole));
    double prevDepth = hole.x0;
    bool first = true;
    for (const ProbeRecord& r : hole.records) {
        if (!IsStation(r)) continue;
        const EastNorthUp direction = Direction(r.inc, TrueAzimuth(r, hole.gi));
        const double bend = BendRadians(prevDirection, direction);
        const double length = static_cast<double>(r.depth) - prevDepth;
        std::optional<double> severity;
        if (!first && length > 0) severity = bend * 180.0 / kPi * 30.0 / length;
        out.doglegs.push_back(severity);
        if (compare) {
            ProbeRecord cur = r;
            StepStation(meanAngle, cur, hole.dDip, hole.dPos, hole.gi);
            meanAngle = cur;
            const EastNorthUp step = ArcStep(prevDirection, direction, bend, length);
            curve.e += step.e;
            curve.n += step.n;
            curve.d += step.d;
        }
        prevDirection = direction;
        prevDepth = r.depth;
        first = false;
    }
    if (compare && !first) {
        MethodComparison c;
        c.meanAngleEnd = {meanAngle.x, meanAngle.y, meanAngle.z};
        c.minimumCurvatureEnd = curve;
        c.distance = std::hypot(c.meanAngleEnd.e - curve.e, c.meanAngleEnd.n - curve.n, c.meanAngleEnd.d - curve.d);
        c.length = prevDepth - hole.x0;
        out.comparison = c;
    }
    return out;
}

}  // namespace sondara
