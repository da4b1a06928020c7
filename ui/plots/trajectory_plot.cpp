#include "ui/plots/trajectory_plot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "core/derived.h"
#include "core/stations.h"
#include "core/trajectory.h"
#include "ui/plots/cardinal_spline.h"
#include "ui/plots/plot_style.h"
#include "ui/plots/trajectory_geometry.h"

namespace pc = plot_colour;

namespace {

bool IsFinite(const Metres3& m) { return std::isfinite(m.e) && std::isfinite(m.n) && std::isfinite(m.u); }

// The stations relative to the hole's start point, where the design line starts too:
// mine coordinates of thousands of metres would otherwise put the hole far from it.
std::vector<Metres3> StationPoints(const sondara::HoleSurvey& hole) {
    std::vector<Metres3> points;
    for (const sondara::ProbeRecord& r : hole.records) {
        if (sondara::IsStation(r)) points.push_back({r.x - hole.e0, r.y - hole.n0, r.z - hole.d0});
    }
    return points;
}

float LastStationDepth(const sondara::HoleSurvey& hole) {
    for (auto it = hole.records.rbegin(); it != hole.records.rend(); ++it) {
        if (sondara::IsStation(*it)) return it->depth;
    }
    return 0;
}

void DrawBox(QPainter& p, const TrajectoryLayout& l) {
    const auto& P = l.P;
    p.setPen(PlotPen(pc::kBlack, 1));
    p.setBrush(pc::kWhite);
    p.drawPolygon(QPolygonF{P[0], P[1], P[2], P[6], P[7], P[4]});
    p.setBrush(Qt::NoBrush);
    p.drawLine(P[4], P[5]);
    p.drawLine(P[5], P[6]);
    p.drawLine(P[1], P[5]);
    p.setPen(PlotPen(pc::kBlack, 1, Dash::Dash));
    p.drawLine(P[2], P[3]);
    p.drawLine(P[3], P[0]);
    p.drawLine(P[3], P[7]);
}

void DrawHoleCurve(QPainter& p, const TrajectoryLayout& l, const std::vector<Metres3>& stations) {
    QList<QPointF> curve, shadow;
    curve.reserve(qsizetype(stations.size()));
    shadow.reserve(qsizetype(stations.size()));
    p.setPen(Qt::NoPen);
    p.setBrush(pc::kRed);
    for (const Metres3& m : stations) {
        if (!IsFinite(m)) continue;  // a damaged station has no place in the box
        const QPointF q = l.Screen(m);
        p.drawEllipse(QRectF(q.x() - 3, q.y() - 3, 6, 6));
        curve.push_back(q);
        shadow.push_back(l.Screen(m.e, m.n, 0));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(PlotPen(pc::kGreen, 3));
    p.drawPath(CardinalSplinePath(curve));
    p.setPen(PlotPen(pc::kGreen, 2, Dash::DashDotDot));
    p.drawPath(CardinalSplinePath(shadow));
}

void DrawDesignLine(QPainter& p, const TrajectoryLayout& l, const Metres3& design) {
    if (!IsFinite(design)) return;
    p.setPen(PlotPen(pc::kBlue, 2));
    p.drawLine(l.anchor, l.Screen(design));
    p.setPen(PlotPen(pc::kBlue, 2, Dash::DashDotDot));
    p.drawLine(l.anchor, l.Screen(design.e, design.n, 0));
}

void DrawArrow(QPainter& p, const QPointF& base, const QPointF& tip, const QPointF& c2, const QPointF& c3,
               const QString& label, const QPointF& labelAt) {
    p.drawLine(base, tip);
    const QPen pen = p.pen();
    p.setPen(Qt::NoPen);  // the arrow head is filled, not outlined
    p.setBrush(pc::kBlack);
    p.drawPolygon(QPolygonF{tip, c2, c3});
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    DrawTextCentredOn(p, labelAt, label, pc::kBlack);
}

void DrawTripod(QPainter& p, const TrajectoryLayout& l) {
    p.setPen(PlotPen(pc::kBlack, 2));
    const QPointF t(l.P[0].x(), l.P[0].y() + 200);
    const QPointF east = t + QPointF(IsoX(1, 0, 0) * 50, -IsoY(1, 0, 0) * 50);
    const QPointF north = t + QPointF(IsoX(0, 1, 0) * 50, -IsoY(0, 1, 0) * 50);
    const QPointF up = t + QPointF(0, -50);
    DrawArrow(p, t, east, east + QPointF(-15, -5), east + QPointF(-10.49, -11.83), "X(东)", east + QPointF(16, 0));
    DrawArrow(p, t, north, north + QPointF(-15, 4), north + QPointF(-10.49, 11), "Y(北)", north + QPointF(8, -8));
    DrawArrow(p, t, up, up + QPointF(-4, 15), up + QPointF(4, 15), "Z(上)", up + QPointF(0, -10));
}

// The size of an edge's widest label, its extent's text, in the painter's font.
QSizeF LabelSize(const QPainter& p, float extent) {
    const QFontMetricsF metrics(p.font(), p.device());
    return {metrics.horizontalAdvance(QString::asprintf("%0.0f", extent)), metrics.height()};
}

struct Edges {
    EdgeSpacing east, north, up;
    AxisSteps steps;
};

Edges MeasureEdges(const QPainter& p, const TrajectoryLayout& l) {
    Edges edges{
        EastSpacing(l, LabelSize(p, l.C)), NorthSpacing(l, LabelSize(p, l.D)), UpSpacing(l, LabelSize(p, l.V)), {}};
    edges.steps = {LabelStep(l.C, edges.east), LabelStep(l.D, edges.north), LabelStep(l.V, edges.up)};
    return edges;
}

void DrawDistanceLabels(QPainter& p, const TrajectoryLayout& l, const Edges& edges) {
    for (const AxisLabel& a : DistanceLabels(l.C, l.sE, edges.steps.e, edges.east))
        DrawTextCentredOn(p, l.Screen(a.at, 0, 0), a.text, pc::kBlack);
    for (const AxisLabel& a : DistanceLabels(l.D, l.sN, edges.steps.n, edges.north))
        DrawTextCentredOn(p, l.Screen(0, a.at, 0), a.text, pc::kBlack);
    for (const AxisLabel& a : DistanceLabels(l.V, l.sU, edges.steps.u, edges.up))
        DrawTextCentredOn(p, l.Screen(0, 0, a.at), a.text, pc::kBlack);
}

void DrawGrid(QPainter& p, const TrajectoryLayout& l, const AxisSteps& steps) {
    p.setPen(PlotPen(pc::kGrid, 0.5, Dash::Dash));
    for (const GridLine& g : GridLines(l, steps)) p.drawLine(l.Screen(g.from), l.Screen(g.to));
}

void DrawLegend(QPainter& p, const TrajectoryLayout& l) {
    struct Row {
        QColor colour;
        Dash dash;
        const char* text;
        int offset;
    };
    const Row rows[] = {{pc::kGreen, Dash::Solid, "钻孔曲线", 40},
                        {pc::kGreen, Dash::DashDotDot, "钻孔曲线水平投影", 70},
                        {pc::kBlue, Dash::Solid, "设计曲线", 40},
                        {pc::kBlue, Dash::DashDotDot, "设计曲线水平投影", 70}};
    const QPointF b(l.P[6].x() - 150, l.P[6].y() - 200);
    for (int i = 0; i < 4; ++i) {
        const qreal y = b.y() + 20 * i;
        p.setPen(PlotPen(rows[i].colour, 2, rows[i].dash));
        p.drawLine(QPointF(b.x(), y), QPointF(b.x() + 60, y));
        DrawTextCentredOn(p, QPointF(b.x() + 60 + rows[i].offset, y), QString::fromUtf8(rows[i].text), pc::kBlack);
    }
}

}  // namespace

void DrawMissingHole(QPainter& painter, const QRectF& client) {
    painter.save();
    painter.fillRect(client, pc::kBackground);
    painter.setFont(PlotFont(16));
    DrawTextCentredIn(painter, client, QString::fromUtf8(sondara::kNoHoleRecords), pc::kBlack);
    painter.restore();
}

void DrawTrajectory3D(QPainter& painter, const QRectF& client, const sondara::HoleSurvey& hole) {
    const std::vector<Metres3> stations = StationPoints(hole);
    if (stations.empty()) return;
    const Metres3 design = DesignEndPoint(LastStationDepth(hole), sondara::DesignTrueAzimuth(hole.params()), hole.dDip);
    const TrajectoryLayout l = LayOutTrajectory(client, stations.back(), design);

    painter.save();
    painter.fillRect(client, pc::kBackground);
    DrawBox(painter, l);
    DrawHoleCurve(painter, l, stations);
    DrawDesignLine(painter, l, design);
    painter.setFont(PlotFont(10));
    DrawTextCentredOn(painter, l.anchor + QPointF(0, 10), "起点O", pc::kBlack);
    DrawTripod(painter, l);
    const Edges edges = MeasureEdges(painter, l);
    DrawDistanceLabels(painter, l, edges);
    DrawGrid(painter, l, edges.steps);
    DrawLegend(painter, l);
    painter.restore();
}

PlotOutcome DrawTrajectory3D(QPainter& painter, const QRectF& client, const sondara::SurveyStore& store,
                             int holeIndex) {
    PlotOutcome outcome;
    const sondara::HoleSurvey* hole = HoleToPlot(store, holeIndex, outcome);
    if (hole) DrawTrajectory3D(painter, client, *hole);
    if (outcome == PlotOutcome::NoSuchHole) DrawMissingHole(painter, client);
    return outcome;
}
