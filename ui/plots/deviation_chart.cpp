#include "ui/plots/deviation_chart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "core/derived.h"
#include "core/stations.h"
#include "ui/plots/cardinal_spline.h"
#include "ui/plots/deviation_geometry.h"
#include "ui/plots/plot_style.h"
#include "ui/plots/trajectory_plot.h"

namespace pc = plot_colour;

namespace {

void DrawFrameAndGrid(QPainter& p, const QRectF& r) {
    p.setPen(PlotPen(pc::kBlack, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.fillRect(r, pc::kWhite);  // after the outline: covers its inner half
    p.setPen(PlotPen(pc::kBlack, 1, Dash::Dot));
    const float tenthH = static_cast<float>(r.height() / 10.0), tenthW = static_cast<float>(r.width() / 10.0);
    for (int i = 1; i <= 9; ++i)
        p.drawLine(QPointF(r.left(), r.top() + i * tenthH), QPointF(r.right(), r.top() + i * tenthH));
    for (int j = 1; j <= 9; ++j)
        p.drawLine(QPointF(r.left() + j * tenthW, r.top()), QPointF(r.left() + j * tenthW, r.bottom()));
}

void DrawAxes(QPainter& p, const QRectF& r, const ChartAxes& a) {
    const float tenthH = static_cast<float>(r.height() / 10.0), tenthW = static_cast<float>(r.width() / 10.0);
    for (int k = 0; k <= 10; ++k) {
        DrawTextCentredIn(p, QRectF(r.left() + k * tenthW - 20, r.bottom(), 40, 25),
                          QString::asprintf("%4d", a.tx * k + a.sx), pc::kBlack);
    }
    const QString unit = "单位(m)";
    DrawTextCentredIn(p, DepthUnitRect(r, QFontMetricsF(p.font(), p.device()).horizontalAdvance(unit)), unit,
                      pc::kBlack);
    for (int l = 0; l <= 10; ++l) {
        const float y = r.bottom() - l * tenthH;
        if (a.ty * l + a.sy == 0) {
            p.setPen(PlotPen(pc::kBlack, 1));
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        }
        DrawTextCentredIn(p, QRectF(r.left() - 40, y - 12, 40, 25), QString::asprintf("%4d", a.ty * l + a.sy),
                          pc::kBlue);
    }
    DrawTextCentredIn(p, QRectF(r.left() - 45, r.top() - 40, 80, 40), "单位(m)", pc::kBlue);
}

}  // namespace

void DrawDeviationChart(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<int>& marks,
                        QPainter& painter, const QRectF& panel) {
    painter.save();
    DrawFrameAndGrid(painter, panel);
    painter.setFont(PlotFont(12));
    const ChartAxes axes = ChartAxesFor(xs, ys, float(panel.width()), float(panel.height()));
    DrawAxes(painter, panel, axes);

    // A broken value has no place: its station gets neither dot nor mark.
    std::vector<QPoint> dots(xs.size());
    std::vector<int> placedMarks(marks);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (std::isfinite(xs[i]) && std::isfinite(ys[i]))
            dots[i] = ChartPoint(axes, panel, xs[i], ys[i]);
        else
            placedMarks[i] = sondara::kMarkNone;
    }
    // The text's own box: the Chinese glyphs come from a fallback font taller than the chart's.
    const QSizeF markSize = QFontMetricsF(painter.font(), painter.device()).boundingRect("遇煤").size();
    const std::vector<QRectF> markRects = MarkLabelRects(dots, placedMarks, markSize);

    QList<QPointF> curve;
    curve.reserve(qsizetype(xs.size()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(pc::kRed);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
        const QPoint q = dots[i];
        painter.drawEllipse(QRect(q.x() - 3, q.y() - 3, 6, 6));
        if (!markRects[i].isNull()) {
            const bool coal = placedMarks[i] == sondara::kMarkCoal;
            DrawTextCentredIn(painter, markRects[i], coal ? "遇煤" : "遇岩", coal ? pc::kBlack : pc::kBlue);
        }
        curve.push_back(q);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(PlotPen(pc::kGreen, 3));
    painter.drawPath(CardinalSplinePath(curve));
    painter.restore();
}

void DrawDeviationCurves(QPainter& painter, const QRect& client, const sondara::HoleSurvey& hole) {
    std::vector<float> depth, lateral, vertical;
    std::vector<int> marks;
    for (const sondara::ProbeRecord& r : hole.records) {
        if (!sondara::IsStation(r)) continue;
        depth.push_back(r.depth);
        lateral.push_back(sondara::LeftRightDeviation(r));
        vertical.push_back(sondara::UpDownDeviation(r));
        marks.push_back(r.mark);
    }
    if (depth.empty()) return;
    const DeviationPanels d = LayOutDeviationPanels(client.left(), client.top(), client.width(), client.height());
    painter.save();
    painter.fillRect(client, pc::kBackground);
    DrawDeviationChart(depth, lateral, marks, painter, d.upper);
    painter.setFont(PlotFont(16));
    DrawTextCentredIn(painter, d.upperTitle, "左右偏差曲线(右偏为正)", pc::kBlack);
    DrawDeviationChart(depth, vertical, marks, painter, d.lower);
    painter.setFont(PlotFont(16));
    DrawTextCentredIn(painter, d.lowerTitle, "上下偏差曲线(上偏为正)", pc::kBlack);
    painter.restore();
}

PlotOutcome DrawDeviationCurves(QPainter& painter, const QRect& client, const sondara::SurveyStore& store,
                                int holeIndex) {
    PlotOutcome outcome;
    const sondara::HoleSurvey* hole = HoleToPlot(store, holeIndex, outcome);
    if (hole) DrawDeviationCurves(painter, client, *hole);
    if (outcome == PlotOutcome::NoSuchHole) DrawMissingHole(painter, client);
    return outcome;
}
