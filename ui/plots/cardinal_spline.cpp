#include "ui/plots/cardinal_spline.h"

#include <algorithm>

BezierControls CardinalSegmentControls(const QList<QPointF>& points, qsizetype i, double tension) {
    const qsizetype last = points.size() - 1;
    const QPointF& p0 = points[std::max<qsizetype>(i - 1, 0)];
    const QPointF& p1 = points[i];
    const QPointF& p2 = points[i + 1];
    const QPointF& p3 = points[std::min(i + 2, last)];
    const double k = 0.3 * tension;
    return {p1 + k * (p2 - p0), p2 - k * (p3 - p1)};
}

QPainterPath CardinalSplinePath(const QList<QPointF>& points, double tension) {
    QPainterPath path;
    if (points.size() < 2) return path;
    path.moveTo(points.front());
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        const BezierControls c = CardinalSegmentControls(points, i, tension);
        path.cubicTo(c.c1, c.c2, points[i + 1]);
    }
    return path;
}
