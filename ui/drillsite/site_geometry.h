#pragma once
// Geometry of the drill-site views as small pure functions: extents and fits, grid
// steps, the section frame, the 3D camera, picking a hole near a point, and the
// hole table's figures (length, end deviation, spacing of neighbouring ends).

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <optional>
#include <vector>

#include "ui/drillsite/drill_site.h"

// An axis-aligned range in two world coordinates; empty until a point is added.
struct Extent {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool empty = true;
    void Add(double x, double y);
};

// World to screen with one scale both ways and y growing upward; the extent is
// centred in the area. A zero span counts as one metre.
struct Fit {
    double scale = 1;               // pixels per metre
    double worldX = 0, worldY = 0;  // the world point at `screen`
    QPointF screen;
    QPointF ToScreen(double x, double y) const {
        return {screen.x() + (x - worldX) * scale, screen.y() - (y - worldY) * scale};
    }
    QPointF ToWorld(const QPointF& p) const {
        return {worldX + (p.x() - screen.x()) / scale, worldY - (p.y() - screen.y()) / scale};
    }
};
Fit FitExtent(const Extent& extent, const QRectF& area);

// Independent scales along x and y (the deviation charts): maps `extent` onto `area`.
struct AxisFit {
    double sx = 1, sy = 1, worldX = 0, worldY = 0;
    QPointF origin;  // screen point of (worldX, worldY): the area's lower left corner
    QPointF ToScreen(double x, double y) const {
        return {origin.x() + (x - worldX) * sx, origin.y() - (y - worldY) * sy};
    }
};
AxisFit FitAxes(const Extent& extent, const QRectF& area);

// A grid step of 1, 2 or 5 times a power of ten that cuts `span` into at most
// `divisions` parts (at least one metre in a thousand).
double NiceStep(double span, int divisions);
// The multiples of `step` from lo to hi inclusive (none for a step that is not positive).
std::vector<double> GridValues(double lo, double hi, double step);

Extent PlanExtent(const DrillSite& site);

// The vertical section: distances measured along `azimuth` (degrees clockwise from
// north) from `origin`, the mean collar of the holes.
struct SectionFrame {
    double azimuth = 0;
    double originX = 0, originY = 0;
    double Along(const SitePoint& p) const;
};
SectionFrame SectionFor(const DrillSite& site, double azimuth);
Extent SectionExtent(const DrillSite& site, const SectionFrame& frame);

// The mean design azimuth of the holes (taken round the circle); a hole without a
// design line counts with the direction from its collar to its end. 0 for none.
double MeanDesignAzimuth(const DrillSite& site);

// The 3D view: turned `yaw` degrees about the vertical (clockwise seen from above),
// tilted `pitch` degrees (90 looks straight down), zoomed and panned on screen.
struct Camera3D {
    double yaw = -30, pitch = 30, zoom = 1;
    QPointF pan;
};
struct Projection3D {
    SitePoint centre;
    double scale = 1, cosYaw = 1, sinYaw = 0, cosPitch = 1, sinPitch = 0;
    QPointF screenCentre;
    // The screen offset of a step of (dx, dy, dz) metres.
    QPointF Direction(double dx, double dy, double dz) const {
        const double w = dx * sinYaw + dy * cosYaw;
        return {(dx * cosYaw - dy * sinYaw) * scale, -(dz * cosPitch + w * sinPitch) * scale};
    }
    QPointF Project(const SitePoint& p) const {
        return screenCentre + Direction(p.x - centre.x, p.y - centre.y, p.z - centre.z);
    }
};

// The box around every drawn point (stations, start points, design lines) in one pass.
struct Bounds3 {
    SitePoint lo, hi;
    bool empty = true;
};
Bounds3 BoundsOf(const DrillSite& site);

// Fits the box's diagonal into the smaller side of `area` at zoom 1.
Projection3D ProjectionFor(const Bounds3& bounds, const Camera3D& camera, const QRectF& area);
Projection3D ProjectionFor(const DrillSite& site, const Camera3D& camera, const QRectF& area);

// The points of a screen polyline that are at least `minStep` pixels from the last
// one kept; the first and last points always stay. Painting thousands of stations
// that fall on the same pixel costs time and shows nothing.
QPolygonF ThinnedPolyline(const QPolygonF& points, double minStep = 0.75);

// The hole whose screen polylines pass nearest `p`, if within `tolerance` pixels; -1 else.
int NearestHole(const std::vector<std::vector<QPolygonF>>& tracesPerHole, const QPointF& p, double tolerance = 6);

// One row of the hole table.
struct HoleSummary {
    bool hasStations = false;
    double length = 0;                    // depth of the last station
    SitePoint end;                        // the last station
    double dy = 0, dz = 0;                // end deviation from the design line: right, up
    double total = 0;                     // sqrt(dy² + dz²)
    std::optional<double> spacingToNext;  // distance from this end to the next hole's end
};
std::vector<HoleSummary> SummariesOf(const DrillSite& site);
