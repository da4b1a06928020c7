#include "ui/drillsite/site_geometry.h"

#include <QLineF>
#include <algorithm>
#include <cmath>

#include "core/angles.h"

void Extent::Add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

Fit FitExtent(const Extent& e, const QRectF& area) {
    Fit f;
    const double spanX = e.empty ? 1 : std::max(e.maxX - e.minX, 1.0);
    const double spanY = e.empty ? 1 : std::max(e.maxY - e.minY, 1.0);
    f.scale = std::max(1e-9, std::min(area.width() / spanX, area.height() / spanY));
    f.worldX = e.empty ? 0 : (e.minX + e.maxX) / 2;
    f.worldY = e.empty ? 0 : (e.minY + e.maxY) / 2;
    f.screen = area.center();
    return f;
}

AxisFit FitAxes(const Extent& e, const QRectF& area) {
    AxisFit f;
    const double spanX = e.empty ? 1 : std::max(e.maxX - e.minX, 1e-6);
    const double spanY = e.empty ? 1 : std::max(e.maxY - e.minY, 1e-6);
    f.sx = area.width() / spanX;
    f.sy = area.height() / spanY;
    f.worldX = e.empty ? 0 : e.minX;
    f.worldY = e.empty ? 0 : e.minY;
    f.origin = area.bottomLeft();
    return f;
}

double NiceStep(double span, int divisions) {
    if (!std::isfinite(span) || span <= 0 || divisions < 1) return 1;
    const double raw = std::max(span / divisions, 1e-3);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10 * power;
}

std::vector<double> GridValues(double lo, double hi, double step) {
    std::vector<double> values;
    if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi) || (hi - lo) / step > 10000) return values;
    for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1) values.push_back(k * step);
    return values;
}

namespace {

template <class F>
void ForEachDrawnPoint(const DrillSite& site, F f) {
    for (const SiteHole& h : site.holes) {
        for (const SiteStation& s : h.stations) f(s.at);
        if (h.start) f(*h.start);
        if (h.design) {
            f(h.design->from);
            f(h.design->to);
        }
    }
}

}  // namespace

Extent PlanExtent(const DrillSite& site) {
    Extent e;
    ForEachDrawnPoint(site, [&](const SitePoint& p) { e.Add(p.x, p.y); });
    return e;
}

double SectionFrame::Along(const SitePoint& p) const {
    const double a = sondara::DegToRad(azimuth);
    return (p.x - originX) * std::sin(a) + (p.y - originY) * std::cos(a);
}

SectionFrame SectionFor(const DrillSite& site, double azimuth) {
    SectionFrame f;
    f.azimuth = azimuth;
    int n = 0;
    for (const SiteHole& h : site.holes) {
        if (const auto c = h.Collar(); c && std::isfinite(c->x) && std::isfinite(c->y)) {
            f.originX += c->x;
            f.originY += c->y;
            ++n;
        }
    }
    if (n > 0) {
        f.originX /= n;
        f.originY /= n;
    }
    return f;
}

Extent SectionExtent(const DrillSite& site, const SectionFrame& frame) {
    Extent e;
    ForEachDrawnPoint(site, [&](const SitePoint& p) { e.Add(frame.Along(p), p.z); });
    return e;
}

double MeanDesignAzimuth(const DrillSite& site) {
    double sx = 0, sy = 0;
    for (const SiteHole& h : site.holes) {
        double azimuth = 0;
        if (h.design) {
            azimuth = h.design->trueAzimuth;
        } else {
            const auto c = h.Collar();
            const SiteStation* end = h.End();
            if (!c || !end) continue;
            const double dx = end->at.x - c->x, dy = end->at.y - c->y;
            if (!std::isfinite(dx) || !std::isfinite(dy) || (dx == 0 && dy == 0)) continue;
            azimuth = std::atan2(dx, dy) * 180 / sondara::kPi;
        }
        sx += std::sin(sondara::DegToRad(azimuth));
        sy += std::cos(sondara::DegToRad(azimuth));
    }
    if (sx == 0 && sy == 0) return 0;
    return sondara::RadToDeg360(std::atan2(sx, sy));
}

Bounds3 BoundsOf(const DrillSite& site) {
    Bounds3 b;
    ForEachDrawnPoint(site, [&](const SitePoint& q) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) return;
        if (b.empty) {
            b.lo = b.hi = q;
            b.empty = false;
            return;
        }
        b.lo = {std::min(b.lo.x, q.x), std::min(b.lo.y, q.y), std::min(b.lo.z, q.z)};
        b.hi = {std::max(b.hi.x, q.x), std::max(b.hi.y, q.y), std::max(b.hi.z, q.z)};
    });
    return b;
}

Projection3D ProjectionFor(const Bounds3& b, const Camera3D& camera, const QRectF& area) {
    Projection3D p;
    p.centre = {(b.lo.x + b.hi.x) / 2, (b.lo.y + b.hi.y) / 2, (b.lo.z + b.hi.z) / 2};
    const double diagonal = std::max(1.0, std::hypot(b.hi.x - b.lo.x, b.hi.y - b.lo.y, b.hi.z - b.lo.z));
    p.scale = camera.zoom * std::min(area.width(), area.height()) * 0.9 / diagonal;
    p.cosYaw = std::cos(sondara::DegToRad(camera.yaw));
    p.sinYaw = std::sin(sondara::DegToRad(camera.yaw));
    p.cosPitch = std::cos(sondara::DegToRad(camera.pitch));
    p.sinPitch = std::sin(sondara::DegToRad(camera.pitch));
    p.screenCentre = area.center() + camera.pan;
    return p;
}

Projection3D ProjectionFor(const DrillSite& site, const Camera3D& camera, const QRectF& area) {
    return ProjectionFor(BoundsOf(site), camera, area);
}

QPolygonF ThinnedPolyline(const QPolygonF& points, double minStep) {
    if (points.size() <= 2) return points;
    QPolygonF out;
    out.reserve(points.size());
    out << points.front();
    const double min2 = minStep * minStep;
    for (qsizetype i = 1; i + 1 < points.size(); ++i) {
        const QPointF d = points[i] - out.back();
        if (d.x() * d.x() + d.y() * d.y() >= min2) out << points[i];
    }
    out << points.back();
    return out;
}

namespace {

double DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

}  // namespace

int NearestHole(const std::vector<std::vector<QPolygonF>>& tracesPerHole, const QPointF& p, double tolerance) {
    int best = -1;
    double bestDistance = tolerance;
    for (std::size_t h = 0; h < tracesPerHole.size(); ++h) {
        for (const QPolygonF& line : tracesPerHole[h]) {
            for (qsizetype i = 0; i < line.size(); ++i) {
                const double d = DistanceToSegment(p, line[i], line[std::min(i + 1, line.size() - 1)]);
                if (d <= bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(h);
                }
            }
        }
    }
    return best;
}

std::vector<HoleSummary> SummariesOf(const DrillSite& site) {
    std::vector<HoleSummary> rows(site.holes.size());
    for (std::size_t i = 0; i < site.holes.size(); ++i) {
        const SiteStation* end = site.holes[i].End();
        if (end == nullptr) continue;
        HoleSummary& r = rows[i];
        r.hasStations = true;
        r.length = end->depth;
        r.end = end->at;
        r.dy = end->dy;
        r.dz = end->dz;
        r.total = std::hypot(end->dy, end->dz);
    }
    // Neighbours in the order of the holes, skipping holes without stations.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].hasStations) continue;
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            if (!rows[j].hasStations) continue;
            const SitePoint& a = rows[i].end;
            const SitePoint& b = rows[j].end;
            rows[i].spacingToNext = std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
            break;
        }
    }
    return rows;
}
