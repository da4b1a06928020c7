#pragma once
// The smooth curve the drawings put through their stations: a cardinal spline of
// tension 0.5, as the Windows drawing library draws it, built from cubic Béziers.

#include <QList>
#include <QPainterPath>
#include <QPointF>

// Control points of the segment from points[i] to points[i + 1] (i + 1 < size):
// c1 = P1 + 0.3·T·(P2 − P0), c2 = P2 − 0.3·T·(P3 − P1), where a missing neighbour at
// either end of the open curve is the end point itself.
struct BezierControls {
    QPointF c1, c2;
};
BezierControls CardinalSegmentControls(const QList<QPointF>& points, qsizetype i, double tension = 0.5);

// The whole open curve; empty for fewer than two points (nothing is drawn then).
QPainterPath CardinalSplinePath(const QList<QPointF>& points, double tension = 0.5);
