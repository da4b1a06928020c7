#pragma once
// Geometry of the isometric trajectory plot: projection, box, anchor, labels and grid,
// all as pure functions of the client rectangle and a hole's end points, so the
// layout can be checked without painting.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
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

// The end point of the design line for a hole of depth `length`, relative to its start:
// `designTrueAzimuth` clockwise from north, `dDip` up from the horizontal.
Metres3 DesignEndPoint(float length, float designTrueAzimuth, float dDip);

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

// Never more marks than this along one axis: a damaged file (a box over 100 km) cannot
// make the drawing run without end.
inline constexpr int kMaxMarksPerAxis = 20000;

// How one box edge looks on the screen: the screen offset of one metre along it and
// the size of its widest label (the extent's own text).
struct EdgeSpacing {
    QPointF perMetre;
    QSizeF labelSize;
};
// The spacing of the east, north and up edges of `layout` for labels of the given sizes.
EdgeSpacing EastSpacing(const TrajectoryLayout& layout, const QSizeF& labelSize);
EdgeSpacing NorthSpacing(const TrajectoryLayout& layout, const QSizeF& labelSize);
EdgeSpacing UpSpacing(const TrajectoryLayout& layout, const QSizeF& labelSize);

// Two labels of `size` whose centres lie `offset` apart leave a gap of at least one
// label width across, or one label height up, between them.
bool LabelsKeepApart(const QPointF& offset, const QSizeF& size);

// The label and grid step along an edge: 5 m while neighbouring labels keep apart,
// else the smallest of 10, 25, 50, 100, 250, 500, … m that does (at most the first
// step reaching the extent, which leaves only the ends labelled).
double LabelStep(float extent, const EdgeSpacing& spacing);

// One distance label: its text and its position in metres along its axis (signed).
struct AxisLabel {
    QString text;
    float at = 0;
};
// "0", step, 2·step, … below the extent, then the extent itself ("%0.0f", placed at the
// extent truncated toward zero); positions carry the axis sign. So that no two labels
// overlap, a step label that would not keep apart from the extent's label is left out,
// and so is the extent's label where it would not keep apart from the origin's "0"
// (which the three edges share).
std::vector<AxisLabel> DistanceLabels(float extent, int sign, double step, const EdgeSpacing& spacing);

// The grid: pairs of points in metres relative to the origin (six families on the
// floor, the far north wall and the east-zero wall), at each axis's label step.
struct GridLine {
    Metres3 from, to;
};
struct AxisSteps {
    double e = 5, n = 5, u = 5;
};
std::vector<GridLine> GridLines(const TrajectoryLayout& layout, const AxisSteps& steps);
