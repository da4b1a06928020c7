#include "ui/plots/deviation_geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/records.h"

float NiceAxisStep(double max, double min) {
    const double range = max - min;
    if (!std::isfinite(range) || range < 1.0) return 1.0f;
    float e = 1.0f;
    for (int i = 0;; ++i) {
        const double p = std::pow(10.0, i);
        const double c = range / p;
        if (c >= 1.0 && c < 10.0) {
            e = static_cast<float>(std::ceil(std::ceil(c) * p / 10));
            break;
        }
        if (c < 1.0) return 1.0f;
    }
    if (range + min > e * 10.0) e *= 2;
    return e;
}

int AxisStepAsInt(float step) {
    if (!(step >= 1.0f)) return 1;
    return static_cast<int>(std::min(step, 1.0e8f));
}

int AxisStart(double min, int step) {
    if (!std::isfinite(min) || step < 1) return 0;
    const double f = std::clamp(std::floor(min), double(INT_MIN / 2), double(INT_MAX / 2));
    const int start = static_cast<int>(f);
    // The same as stepping down by one until start % step == 0 (remainder with the
    // sign of the dividend), in one move.
    return start - ((start % step) + step) % step;
}

namespace {

struct Range {
    double min = 0, max = 0;
};

Range FiniteRange(const std::vector<float>& values) {
    Range r{INFINITY, -INFINITY};
    for (float v : values) {
        if (!std::isfinite(v)) continue;
        r.min = std::min(r.min, double(v));
        r.max = std::max(r.max, double(v));
    }
    if (r.min > r.max) r = {0, 0};
    return r;
}

}  // namespace

ChartAxes ChartAxesFor(const std::vector<float>& xs, const std::vector<float>& ys, float w, float h) {
    ChartAxes a;
    const Range x = FiniteRange(xs), y = FiniteRange(ys);
    a.tx = AxisStepAsInt(NiceAxisStep(x.max, x.min));
    a.sx = AxisStart(x.min, a.tx);
    a.ty = AxisStepAsInt(NiceAxisStep(y.max, y.min));
    a.sy = AxisStart(y.min, a.ty);
    a.fx = static_cast<float>(double(w / a.tx) / 10);
    a.fy = static_cast<float>(double(h / a.ty) / 10);
    return a;
}

QPoint ChartPoint(const ChartAxes& a, const QRectF& panel, float x, float y) {
    const float px = float(panel.x()) + (x - a.sx) * a.fx;
    const float py = float(panel.y() + panel.height()) - (y - a.sy) * a.fy;
    return {static_cast<int>(px), static_cast<int>(py)};
}

QRectF DepthUnitRect(const QRectF& panel, qreal textWidth) {
    QRectF r(panel.right() - 10, panel.bottom() - 40, 60, 40);
    const qreal textRight = r.center().x() + textWidth / 2;
    const qreal limit = panel.right() + kPanelMargin - 2;  // a pixel or two clear of the edge
    if (textRight > limit) r.translate(limit - textRight, 0);
    return r;
}

std::vector<QRectF> MarkLabelRects(const std::vector<QPoint>& dots, const std::vector<int>& marks,
                                   const QSizeF& textSize) {
    std::vector<QRectF> rects(dots.size());
    std::vector<QRectF> texts;  // the texts placed so far
    for (std::size_t i = 0; i < dots.size() && i < marks.size(); ++i) {
        if (marks[i] != sondara::kMarkCoal && marks[i] != sondara::kMarkRock) continue;
        for (int level = 0; level < 3; ++level) {
            const QRectF r(dots[i].x() - 10, dots[i].y() - 45 - level * textSize.height(), 40, 40);
            QRectF text(QPointF(), textSize);
            text.moveCenter(r.center());
            const auto overlaps = [&](const QRectF& t) { return t.intersects(text); };
            if (std::any_of(texts.begin(), texts.end(), overlaps)) continue;
            rects[i] = r;
            texts.push_back(text);
            break;
        }
    }
    return rects;
}

DeviationPanels LayOutDeviationPanels(int left, int top, int width, int height) {
    const int half = height / 2;
    const int middle = (top + (top + height)) / 2;
    DeviationPanels d;
    d.upper = QRectF(left + kPanelMargin, top + 40, width - 2 * kPanelMargin, half - 80);
    d.lower = QRectF(left + kPanelMargin, middle + 40, width - 2 * kPanelMargin, half - 80);
    const qreal halfWidth = d.upper.width() / 2;
    d.upperTitle = QRectF(d.upper.x() + halfWidth - 200, d.upper.y() - 40, 400, 45);
    d.lowerTitle = QRectF(d.lower.x() + halfWidth - 200, d.lower.y() - 40, 400, 45);
    return d;
}
