#pragma once
// A small fan of holes from one chamber, in mine coordinates, for the drill-site tests.

#include <QImage>
#include <cmath>

#include "ui/drillsite/drill_site.h"

namespace sondara::test {

inline constexpr double kEast0 = 39500000.0, kNorth0 = 4200000.0, kLevel0 = -300.0;

// Hole `i` of `n`: a straight run of `stations` stations 1 m apart, azimuth
// 30 + 30·i degrees, rising 5 + 5·i degrees, with a coal mark at station 10 and rock at 20.
inline SiteHole FanHole(int i, int stations, const QString& name) {
    SiteHole h;
    h.name = name;
    const double azimuth = (30 + 30 * i) * M_PI / 180, rise = (5 + 5 * i) * M_PI / 180;
    h.start = SitePoint{kEast0, kNorth0, kLevel0};
    for (int k = 1; k <= stations; ++k) {
        SiteStation s;
        s.depth = k;
        s.at = {kEast0 + k * std::cos(rise) * std::sin(azimuth), kNorth0 + k * std::cos(rise) * std::cos(azimuth),
                kLevel0 + k * std::sin(rise)};
        s.dy = 0.01 * k * (i - 1);
        s.dz = -0.02 * k * (i + 1);
        s.mark = k == 10 ? 1 : k == 20 ? 2 : 0;
        h.stations.push_back(s);
    }
    SiteDesign d;
    d.from = *h.start;
    d.trueAzimuth = 30 + 30 * i + 5;
    d.to = {kEast0 + stations * std::sin(d.trueAzimuth * M_PI / 180),
            kNorth0 + stations * std::cos(d.trueAzimuth * M_PI / 180), kLevel0};
    h.design = d;
    return h;
}

inline DrillSite Fan(int holes = 3, int stations = 40) {
    DrillSite site;
    for (int i = 0; i < holes; ++i) site.holes.push_back(FanHole(i, stations, QString("%1号孔").arg(i + 1)));
    return site;
}

// Whether a pixel within `radius` of `p` has a colour close to `colour`.
inline bool ColourNear(const QImage& image, QPointF p, const QColor& colour, int radius = 2) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q = p.toPoint() + QPoint(dx, dy);
            if (!image.rect().contains(q)) continue;
            const QColor c = image.pixelColor(q);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                60)
                return true;
        }
    return false;
}

}  // namespace sondara::test
