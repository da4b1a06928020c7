#pragma once
// Geometry of the isometric trajectory plot: projection, box, anchor, labels and grid,
// all as pure functions of the client rectangle and a hole's end points, so the
// layout can be checked without painting.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

// A point in metres: east, north, up.
struct Metres3 {
    float e = 0, n = 0, u = 0;
};

// Isometric plane coordinates at 30 degrees (right, and up).
float IsoX(float e, float n, float u);
float IsoY(float e, float n, float u);

// The end point of the design line for a hole of depth `length`.
// dPos is the design azimuth as stored, gi the declination, dDip the design inclination.
Metres3 DesignEndPoint(float length, float dPos, float gi, float dDip);

struct TrajectoryLayout {
    float C = 0, D = 0, V = 0;   // box extents east, north, up (whole metres)
    float W = 0, H = 0;          // projected box size in metres
    float s = 0;                 // pixels per metre
    std::array<QPointF, 8> P;    // box corners P0 … P7
    QPointF anchor;              // screen point of the coordinate origin
    int sE = 1, sN = 1, sU = 1;  // −1 where the last station lies on the negative side
    bool unitBox = false;        // all extents were zero: drawn as a 1 m box

    // Screen point of (e, n, u) metres relative to the anchor.
    QPointF Screen(float e, float n, float u) const;
    QPointF Screen(const Metres3& m) const { return Screen(m.e, m.n, m.u); }
};

// The sign of a last-station coordinate: zero counts as positive.
inline int AxisSign(float v) { return v < 0 ? -1 : 1; }

// Lays the box out in `client` for a hole whose last station is `last` and whose
// design line ends at `design`. When every extent is zero the scale would be
// undefined; the box is then laid out as one metre each way (unitBox), labels 0 and 1.
// Coordinates that are not finite count as 0 for the extents.
TrajectoryLayout LayOutTrajectory(const QRectF& client, const Metres3& last, const Metres3& design);

// Labels and grid lines come every 5 m; past this many along one axis (a box over
// 100 km, from damaged coordinates) they would be far closer than a pixel, so no more
// are drawn, and a damaged file cannot make the drawing run without end.
inline constexpr int kMaxMarksPerAxis = 20000;

// One distance label: its text and its position in metres along its axis (signed).
struct AxisLabel {
    QString text;
    float at = 0;
};
// "0", "5", … while extent / 5 > k, then the extent itself ("%0.0f", placed at the
// extent truncated toward zero); positions carry the axis sign.
std::vector<AxisLabel> DistanceLabels(float extent, int sign);

// The grid: pairs of points in metres relative to the origin (six families on the
// floor, the far north wall and the east-zero wall, 5 m apart).
struct GridLine {
    Metres3 from, to;
};
std::vector<GridLine> GridLines(const TrajectoryLayout& layout);
