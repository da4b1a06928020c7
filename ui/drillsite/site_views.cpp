#include "ui/drillsite/site_views.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/plots/plot_style.h"

namespace {

constexpr double kTraceWidth = 2;
constexpr double kSelectedWidth = 4;
// Vertices closer than this (pixels) are left out of a trace: each one costs the
// stroker a join, and over three pixels a drill hole bends by far less than one.
constexpr double kThinningStep = 3;
const QColor kRockColour(160, 82, 45);

// Margins around a data panel: labels on the left and below, title above.
QRectF PanelIn(const QRectF& area) { return area.adjusted(90, 44, -24, -52); }

Extent Grown(Extent e, double fraction) {
    if (e.empty) return e;
    const double gx = std::max(e.maxX - e.minX, 1.0) * fraction;
    const double gy = std::max(e.maxY - e.minY, 1.0) * fraction;
    e.minX -= gx;
    e.maxX += gx;
    e.minY -= gy;
    e.maxY += gy;
    return e;
}

int DecimalsFor(double step) { return step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9)); }

QString AxisNumber(double v, double step) {
    if (std::abs(v) < step * 1e-6) v = 0;  // no "-0"
    return QString::number(v, 'f', DecimalsFor(step));
}

// One mapping from a site point to the screen per view.
template <class Map>
std::vector<std::vector<QPolygonF>> TracesWith(const DrillSite& site, Map map) {
    std::vector<std::vector<QPolygonF>> traces(site.holes.size());
    for (std::size_t h = 0; h < site.holes.size(); ++h) {
        QPolygonF line;
        line.reserve(qsizetype(site.holes[h].stations.size()));
        for (const SiteStation& s : site.holes[h].stations) line << map(s.at);
        traces[h].push_back(line);
    }
    return traces;
}

struct FrameStyle {
    QString title;
    QString xUnit, yUnit;
};

// Grey surround, white panel, grid with labelled values, the title.
void PaintFrame(QPainter& p, const QRectF& area, const QRectF& panel, const Fit& fit, const FrameStyle& style) {
    p.fillRect(area, plot_colour::kBackground);
    p.fillRect(panel, plot_colour::kWhite);
    p.setFont(PlotFont(9));
    const QPointF lo = fit.ToWorld(panel.bottomLeft());
    const QPointF hi = fit.ToWorld(panel.topRight());
    const int fontHeight = p.fontMetrics().height();
    const double stepX = NiceStep(hi.x() - lo.x(), std::max(1, int(panel.width() / 90)));
    const double stepY = NiceStep(hi.y() - lo.y(), std::max(1, int(panel.height() / 50)));
    p.setPen(PlotPen(QColor(150, 150, 150), 1, Dash::Dot));
    for (double x : GridValues(lo.x(), hi.x(), stepX)) {
        const double sx = fit.ToScreen(x, 0).x();
        p.drawLine(QPointF(sx, panel.top()), QPointF(sx, panel.bottom()));
    }
    for (double y : GridValues(lo.y(), hi.y(), stepY)) {
        const double sy = fit.ToScreen(0, y).y();
        p.drawLine(QPointF(panel.left(), sy), QPointF(panel.right(), sy));
    }
    for (double x : GridValues(lo.x(), hi.x(), stepX)) {
        DrawTextCentredOn(p, QPointF(fit.ToScreen(x, 0).x(), panel.bottom() + fontHeight * 0.8), AxisNumber(x, stepX),
                          plot_colour::kBlack);
    }
    p.setPen(plot_colour::kBlack);
    for (double y : GridValues(lo.y(), hi.y(), stepY)) {
        const double sy = fit.ToScreen(0, y).y();
        p.drawText(QRectF(area.left(), sy - fontHeight, panel.left() - area.left() - 6, 2 * fontHeight),
                   Qt::AlignRight | Qt::AlignVCenter, AxisNumber(y, stepY));
    }
    DrawTextCentredOn(p, QPointF(panel.center().x(), panel.bottom() + fontHeight * 2.1), style.xUnit,
                      plot_colour::kBlack);
    DrawTextCentredOn(p, QPointF(area.left() + 45, panel.top() - fontHeight * 0.9), style.yUnit, plot_colour::kBlack);
    p.setPen(PlotPen(plot_colour::kBlack, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel);
    p.setFont(PlotFont(12));
    DrawTextCentredOn(p, QPointF(panel.center().x(), area.top() + 20), style.title, plot_colour::kBlack);
}

void PaintScaleBar(QPainter& p, const QRectF& panel, double pixelsPerMetre) {
    const double metres = NiceStep(panel.width() / 5 / pixelsPerMetre, 1);
    const double length = metres * pixelsPerMetre;
    const QPointF a(panel.left() + 16, panel.bottom() - 18);
    const QPointF b = a + QPointF(length, 0);
    p.setPen(PlotPen(plot_colour::kBlack, 2));
    p.drawLine(a, b);
    p.drawLine(a, a - QPointF(0, 6));
    p.drawLine(b, b - QPointF(0, 6));
    p.setFont(PlotFont(9));
    DrawTextCentredOn(p, (a + b) / 2 - QPointF(0, 12), AxisNumber(metres, metres) + " m", plot_colour::kBlack);
}

void PaintNorthArrow(QPainter& p, const QRectF& panel) {
    const QPointF tip(panel.right() - 30, panel.top() + 16);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(9, 30));
    arrow.lineTo(tip + QPointF(0, 22));
    arrow.lineTo(tip + QPointF(-9, 30));
    arrow.closeSubpath();
    p.setPen(PlotPen(plot_colour::kBlack, 1));
    p.setBrush(plot_colour::kBlack);
    p.drawPath(arrow);
    p.setFont(PlotFont(10));
    DrawTextCentredOn(p, tip + QPointF(0, 42), "北", plot_colour::kBlack);
}

void PaintMark(QPainter& p, const QPointF& at, int mark) {
    p.setPen(Qt::NoPen);
    if (mark == sondara::kMarkCoal) {
        p.setBrush(plot_colour::kBlack);
        p.drawEllipse(at, 3.5, 3.5);
    } else if (mark == sondara::kMarkRock) {
        p.setBrush(kRockColour);
        p.drawPolygon(QPolygonF({at + QPointF(0, -5), at + QPointF(4.5, 3), at + QPointF(-4.5, 3)}));
    }
}

// Where a view of the site places a hole: the geographic views put every point of the
// site through `map`.
template <class Map>
struct SitePlaces {
    Map map;
    QPointF Station(const SiteStation& s) const { return map(s.at); }
    std::optional<QPointF> Collar(const SiteHole& h) const {
        const std::optional<SitePoint> c = h.Collar();
        return c ? std::optional<QPointF>(map(*c)) : std::nullopt;
    }
    std::optional<QLineF> Design(const SiteHole& h) const {
        return h.design ? std::optional<QLineF>(QLineF(map(h.design->from), map(h.design->to))) : std::nullopt;
    }
};
template <class Map>
SitePlaces(Map) -> SitePlaces<Map>;

// A deviation chart: depth across, one deviation up; the collar is the first station
// and there is no design line.
struct DeviationPlaces {
    const AxisFit& fit;
    bool lateral;
    QPointF Station(const SiteStation& s) const { return fit.ToScreen(s.depth, lateral ? s.dy : s.dz); }
    std::optional<QPointF> Collar(const SiteHole& h) const {
        return h.stations.empty() ? std::nullopt : std::optional<QPointF>(Station(h.stations.front()));
    }
    std::optional<QLineF> Design(const SiteHole&) const { return std::nullopt; }
};

// Design lines, traces, marks, collar and end markers and names of every hole.
// Not antialiased, like the single-hole drawings: smoothing a hundred long traces
// costs several times the lines themselves.
template <class Places>
void PaintHoles(QPainter& p, const DrillSite& site, const SiteViewOptions& o, const Places& places) {
    for (std::size_t h = 0; h < site.holes.size(); ++h) {
        const std::optional<QLineF> design = places.Design(site.holes[h]);
        if (!design) continue;
        p.setPen(PlotPen(HoleColour(int(h)), 1.5, Dash::DashDotDot));
        p.drawLine(*design);
    }
    // The selected hole last, so it lies on top.
    std::vector<std::size_t> order;
    for (std::size_t h = 0; h < site.holes.size(); ++h)
        if (int(h) != o.selected) order.push_back(h);
    if (o.selected >= 0 && std::size_t(o.selected) < site.holes.size()) order.push_back(std::size_t(o.selected));
    p.setFont(PlotFont(9));
    for (std::size_t h : order) {
        const SiteHole& hole = site.holes[h];
        const QColor colour = HoleColour(int(h));
        const bool selected = int(h) == o.selected;
        QPolygonF line;
        line.reserve(qsizetype(hole.stations.size()));
        for (const SiteStation& s : hole.stations) line << places.Station(s);
        QPen pen = PlotPen(colour, selected ? kSelectedWidth : kTraceWidth);
        pen.setJoinStyle(Qt::BevelJoin);  // a mitre costs the stroker an intersection per vertex
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(ThinnedPolyline(line, kThinningStep));
        if (selected) {
            // Its stations as white dots on the heavy line.
            p.setPen(Qt::NoPen);
            p.setBrush(plot_colour::kWhite);
            for (const QPointF& q : line) p.drawRect(QRectF(q - QPointF(1, 1), QSizeF(2, 2)));
        }
        for (std::size_t i = 0; i < hole.stations.size(); ++i) {
            if (hole.stations[i].mark == sondara::kMarkCoal || hole.stations[i].mark == sondara::kMarkRock)
                PaintMark(p, line[qsizetype(i)], hole.stations[i].mark);
        }
        if (const std::optional<QPointF> collar = places.Collar(hole)) {
            p.setPen(PlotPen(colour, 1.5));
            p.setBrush(plot_colour::kWhite);
            p.drawEllipse(*collar, 4, 4);
        }
        if (!line.isEmpty()) {
            const QPointF end = line.back();
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRect(QRectF(end - QPointF(3.5, 3.5), QSizeF(7, 7)));
            QFont font = PlotFont(9);
            font.setBold(selected);
            p.setFont(font);
            p.setPen(colour.darker(130));
            p.drawText(end + QPointF(6, -6), hole.name);
        }
    }
}

void PaintLegend(QPainter& p, const QRectF& panel) {
    p.setFont(PlotFont(9));
    const QPointF at(panel.left() + 10, panel.top() + 14);
    p.setPen(PlotPen(plot_colour::kBlack, kTraceWidth));
    p.drawLine(at, at + QPointF(24, 0));
    p.setPen(plot_colour::kBlack);
    p.drawText(at + QPointF(28, 4), "实钻轨迹");
    p.setPen(PlotPen(plot_colour::kBlack, 1.5, Dash::DashDotDot));
    p.drawLine(at + QPointF(90, 0), at + QPointF(114, 0));
    p.setPen(plot_colour::kBlack);
    p.drawText(at + QPointF(118, 4), "设计线");
    PaintMark(p, at + QPointF(176, 0), sondara::kMarkCoal);
    p.setPen(plot_colour::kBlack);
    p.drawText(at + QPointF(184, 4), "遇煤");
    PaintMark(p, at + QPointF(226, 0), sondara::kMarkRock);
    p.setPen(plot_colour::kBlack);
    p.drawText(at + QPointF(234, 4), "遇岩");
}

// ---- plan and section -------------------------------------------------------

void PaintPlan(QPainter& p, const QRectF& area, const DrillSite& site, const SiteViewOptions& o) {
    const QRectF panel = PlanPanel(area);
    const Fit fit = PlanFit(area, site);
    PaintFrame(p, area, panel, fit, {SiteViewTitle(SiteViewKind::Plan), "东(m)", "北(m)"});
    p.save();
    p.setClipRect(panel);
    PaintHoles(p, site, o, SitePlaces{[&](const SitePoint& s) { return fit.ToScreen(s.x, s.y); }});
    p.restore();
    PaintNorthArrow(p, panel);
    PaintScaleBar(p, panel, fit.scale);
    PaintLegend(p, panel);
}

void PaintSection(QPainter& p, const QRectF& area, const DrillSite& site, const SiteViewOptions& o) {
    const SectionFrame frame = SectionFor(site, o.sectionAzimuth);
    const QRectF panel = PanelIn(area);
    const Fit fit = SectionFit(area, site, frame);
    const QString title =
        SiteViewTitle(SiteViewKind::Section) + "（方位 " + QString::number(o.sectionAzimuth, 'f', 1) + "°）";
    PaintFrame(p, area, panel, fit, {title, "沿剖面距离(m)", "标高(m)"});
    p.save();
    p.setClipRect(panel);
    PaintHoles(p, site, o, SitePlaces{[&](const SitePoint& s) { return fit.ToScreen(frame.Along(s), s.z); }});
    p.restore();
    PaintScaleBar(p, panel, fit.scale);
    PaintLegend(p, panel);
}

// ---- 3D ------------------------------------------------------------------------

QRectF ThreeDPanel(const QRectF& area) { return area.adjusted(10, 40, -10, -10); }

void PaintThreeD(QPainter& p, const QRectF& area, const DrillSite& site, const SiteViewOptions& o) {
    const QRectF panel = ThreeDPanel(area);
    const Bounds3 bounds = BoundsOf(site);
    const Projection3D proj = ProjectionFor(bounds, o.camera, panel);
    p.fillRect(area, plot_colour::kBackground);
    p.fillRect(panel, plot_colour::kWhite);
    p.setPen(PlotPen(plot_colour::kBlack, 1));
    p.drawRect(panel);
    p.setFont(PlotFont(12));
    DrawTextCentredOn(p, QPointF(panel.center().x(), area.top() + 20), SiteViewTitle(SiteViewKind::ThreeD),
                      plot_colour::kBlack);
    p.save();
    p.setClipRect(panel);
    // A floor grid under the holes, at the lowest point, over the plan extent.
    Extent plan;
    if (!bounds.empty) {
        plan.Add(bounds.lo.x, bounds.lo.y);
        plan.Add(bounds.hi.x, bounds.hi.y);
        plan = Grown(plan, 0.05);
    }
    const double floor = bounds.lo.z;
    if (!plan.empty) {
        const double step = NiceStep(std::max(plan.maxX - plan.minX, plan.maxY - plan.minY), 10);
        p.setPen(PlotPen(QColor(170, 170, 170), 1, Dash::Dot));
        const auto xs = GridValues(plan.minX, plan.maxX, step);
        const auto ys = GridValues(plan.minY, plan.maxY, step);
        for (double x : xs) p.drawLine(proj.Project({x, plan.minY, floor}), proj.Project({x, plan.maxY, floor}));
        for (double y : ys) p.drawLine(proj.Project({plan.minX, y, floor}), proj.Project({plan.maxX, y, floor}));
        p.setFont(PlotFont(8));
        if (xs.size() > 1) {
            DrawTextCentredOn(p, proj.Project({xs.back(), plan.minY, floor}) + QPointF(0, 12),
                              "格网 " + AxisNumber(step, step) + " m", QColor(90, 90, 90));
        }
    }
    PaintHoles(p, site, o, SitePlaces{[&](const SitePoint& s) { return proj.Project(s); }});
    p.restore();
    // The axis tripod in the lower left corner, foreshortened as the view turns.
    const QPointF base(panel.left() + 60, panel.bottom() - 60);
    const struct {
        double x, y, z;
        const char* label;
    } axes[] = {{1, 0, 0, "东"}, {0, 1, 0, "北"}, {0, 0, 1, "上"}};
    p.setFont(PlotFont(10));
    for (const auto& a : axes) {
        const QPointF tip = base + proj.Direction(a.x, a.y, a.z) / proj.scale * 40;
        p.setPen(PlotPen(plot_colour::kBlack, 2));
        p.drawLine(base, tip);
        const QPointF dir = tip - base;
        const double len = std::hypot(dir.x(), dir.y());
        const QPointF unit = len > 0.5 ? dir / len : QPointF(0, 0);
        DrawTextCentredOn(p, tip + unit * 12, a.label, plot_colour::kBlack);
    }
    p.setFont(PlotFont(8));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(panel.right() - 330, panel.bottom() - 20, 320, 16), Qt::AlignRight | Qt::AlignVCenter,
               "左键拖动旋转，右键拖动平移，滚轮缩放");
}

// ---- deviation curves -----------------------------------------------------------

struct DeviationLayout {
    QRectF upper, lower, legend;
    AxisFit upperFit, lowerFit;
    Extent upperExtent, lowerExtent;
};

DeviationLayout LayOutDeviations(const QRectF& area, const DrillSite& site) {
    DeviationLayout l;
    const double legendWidth = 130;
    const double half = area.height() / 2;
    l.upper = QRectF(area.left() + 70, area.top() + 40, area.width() - 70 - 20 - legendWidth, half - 80);
    l.lower = l.upper.translated(0, half);
    l.legend = QRectF(l.upper.right() + 10, l.upper.top(), legendWidth, area.height() - 80);
    Extent up, down;
    for (const SiteHole& h : site.holes) {
        for (const SiteStation& s : h.stations) {
            up.Add(s.depth, s.dy);
            down.Add(s.depth, s.dz);
        }
    }
    for (Extent* e : {&up, &down}) {
        if (e->empty) continue;
        e->minY = std::min(e->minY, 0.0);  // the zero line is always in view
        e->maxY = std::max(e->maxY, 0.0);
        const double grow = std::max(e->maxY - e->minY, 0.1) * 0.08;
        e->minY -= grow;
        e->maxY += grow;
        e->minX = std::min(e->minX, 0.0);
        e->maxX += std::max(e->maxX - e->minX, 1.0) * 0.04;  // room for the names at the ends
    }
    l.upperExtent = up;
    l.lowerExtent = down;
    l.upperFit = FitAxes(up, l.upper);
    l.lowerFit = FitAxes(down, l.lower);
    return l;
}

void PaintChartFrame(QPainter& p, const QRectF& panel, const AxisFit& fit, const Extent& e, const QString& title) {
    p.fillRect(panel, plot_colour::kWhite);
    p.setFont(PlotFont(9));
    const int fontHeight = p.fontMetrics().height();
    if (!e.empty) {
        const double stepX = NiceStep(e.maxX - e.minX, std::max(1, int(panel.width() / 80)));
        const double stepY = NiceStep(e.maxY - e.minY, std::max(1, int(panel.height() / 40)));
        p.setPen(PlotPen(QColor(150, 150, 150), 1, Dash::Dot));
        for (double x : GridValues(e.minX, e.maxX, stepX)) {
            const double sx = fit.ToScreen(x, 0).x();
            p.drawLine(QPointF(sx, panel.top()), QPointF(sx, panel.bottom()));
            DrawTextCentredOn(p, QPointF(sx, panel.bottom() + fontHeight * 0.8), AxisNumber(x, stepX),
                              plot_colour::kBlack);
            p.setPen(PlotPen(QColor(150, 150, 150), 1, Dash::Dot));
        }
        for (double y : GridValues(e.minY, e.maxY, stepY)) {
            const double sy = fit.ToScreen(0, y).y();
            p.setPen(PlotPen(QColor(150, 150, 150), 1, Dash::Dot));
            p.drawLine(QPointF(panel.left(), sy), QPointF(panel.right(), sy));
            p.setPen(plot_colour::kBlack);
            p.drawText(QRectF(panel.left() - 66, sy - fontHeight, 60, 2 * fontHeight),
                       Qt::AlignRight | Qt::AlignVCenter, AxisNumber(y, stepY));
        }
        p.setPen(PlotPen(plot_colour::kBlack, 1));
        const double zero = fit.ToScreen(0, 0).y();
        p.drawLine(QPointF(panel.left(), zero), QPointF(panel.right(), zero));
    }
    p.setPen(PlotPen(plot_colour::kBlack, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel);
    DrawTextCentredOn(p, QPointF(panel.right() - 20, panel.bottom() + fontHeight * 2), "孔深(m)", plot_colour::kBlack);
    DrawTextCentredOn(p, QPointF(panel.left() - 40, panel.top() - fontHeight), "偏差(m)", plot_colour::kBlue);
    p.setFont(PlotFont(12));
    DrawTextCentredOn(p, QPointF(panel.center().x(), panel.top() - 18), title, plot_colour::kBlack);
}

void PaintDeviation(QPainter& p, const QRectF& area, const DrillSite& site, const SiteViewOptions& o) {
    const DeviationLayout l = LayOutDeviations(area, site);
    p.fillRect(area, plot_colour::kBackground);
    PaintChartFrame(p, l.upper, l.upperFit, l.upperExtent, "左右偏差曲线(右偏为正)");
    PaintChartFrame(p, l.lower, l.lowerFit, l.lowerExtent, "上下偏差曲线(上偏为正)");
    for (int panel = 0; panel < 2; ++panel) {
        p.save();
        p.setClipRect(panel == 0 ? l.upper : l.lower);
        PaintHoles(p, site, o, DeviationPlaces{panel == 0 ? l.upperFit : l.lowerFit, panel == 0});
        p.restore();
    }
    // The legend: every hole's colour and name.
    p.setFont(PlotFont(9));
    const int rowHeight = p.fontMetrics().height() + 4;
    for (std::size_t h = 0; h < site.holes.size(); ++h) {
        const double y = l.legend.top() + 10 + double(h) * rowHeight;
        if (y > l.legend.bottom()) break;
        p.setPen(PlotPen(HoleColour(int(h)), int(h) == o.selected ? kSelectedWidth : kTraceWidth));
        p.drawLine(QPointF(l.legend.left(), y), QPointF(l.legend.left() + 24, y));
        QFont font = PlotFont(9);
        font.setBold(int(h) == o.selected);
        p.setFont(font);
        p.setPen(plot_colour::kBlack);
        p.drawText(QPointF(l.legend.left() + 30, y + 4), site.holes[h].name);
    }
}

}  // namespace

QString SiteViewTitle(SiteViewKind kind) {
    switch (kind) {
        case SiteViewKind::Plan:
            return "平面图";
        case SiteViewKind::Section:
            return "剖面图";
        case SiteViewKind::ThreeD:
            return "三维图";
        case SiteViewKind::Deviation:
            return "偏差曲线";
    }
    return {};
}

QRectF PlanPanel(const QRectF& area) { return PanelIn(area); }

// The holes keep clear of the legend above, the north arrow on the right and the
// scale bar below.
namespace {
QRectF DataIn(const QRectF& area) { return PanelIn(area).adjusted(12, 30, -52, -30); }
}  // namespace

Fit PlanFit(const QRectF& area, const DrillSite& site) {
    return FitExtent(Grown(PlanExtent(site), 0.04), DataIn(area));
}

Fit SectionFit(const QRectF& area, const DrillSite& site, const SectionFrame& frame) {
    return FitExtent(Grown(SectionExtent(site, frame), 0.04), DataIn(area));
}

void PaintSiteView(QPainter& painter, SiteViewKind kind, const QRectF& area, const DrillSite& site,
                   const SiteViewOptions& options) {
    painter.save();
    switch (kind) {
        case SiteViewKind::Plan:
            PaintPlan(painter, area, site, options);
            break;
        case SiteViewKind::Section:
            PaintSection(painter, area, site, options);
            break;
        case SiteViewKind::ThreeD:
            PaintThreeD(painter, area, site, options);
            break;
        case SiteViewKind::Deviation:
            PaintDeviation(painter, area, site, options);
            break;
    }
    painter.restore();
}

std::vector<std::vector<QPolygonF>> SiteTracesOnScreen(SiteViewKind kind, const QRectF& area, const DrillSite& site,
                                                       const SiteViewOptions& options) {
    switch (kind) {
        case SiteViewKind::Plan: {
            const Fit fit = PlanFit(area, site);
            return TracesWith(site, [&](const SitePoint& s) { return fit.ToScreen(s.x, s.y); });
        }
        case SiteViewKind::Section: {
            const SectionFrame frame = SectionFor(site, options.sectionAzimuth);
            const Fit fit = SectionFit(area, site, frame);
            return TracesWith(site, [&](const SitePoint& s) { return fit.ToScreen(frame.Along(s), s.z); });
        }
        case SiteViewKind::ThreeD: {
            const Projection3D proj = ProjectionFor(site, options.camera, ThreeDPanel(area));
            return TracesWith(site, [&](const SitePoint& s) { return proj.Project(s); });
        }
        case SiteViewKind::Deviation: {
            const DeviationLayout l = LayOutDeviations(area, site);
            std::vector<std::vector<QPolygonF>> traces(site.holes.size());
            for (std::size_t h = 0; h < site.holes.size(); ++h) {
                QPolygonF up, down;
                for (const SiteStation& s : site.holes[h].stations) {
                    up << l.upperFit.ToScreen(s.depth, s.dy);
                    down << l.lowerFit.ToScreen(s.depth, s.dz);
                }
                traces[h] = {up, down};
            }
            return traces;
        }
    }
    return {};
}

int SiteHoleAt(SiteViewKind kind, const QRectF& area, const DrillSite& site, const SiteViewOptions& options,
               const QPointF& point) {
    return NearestHole(SiteTracesOnScreen(kind, area, site, options), point);
}
