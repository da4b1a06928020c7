#pragma once
// Axis steps, axis starts, scales and panel rectangles of the deviation charts, as
// pure functions so the layout can be checked without painting.

#include <QPointF>
#include <QRectF>
#include <vector>

// The value per grid division of an axis whose data run from `min` to `max`: the
// range's leading digit rounded up, as a whole number, doubled when ten such steps
// stay below `max`. A range below 1 gives 1; so does a range that is not finite
// (the search for its decimal order would never end).
float NiceAxisStep(double max, double min);

// The step as the chart uses it: truncated to a whole number, kept between 1 and
// 100 000 000 so ten steps and the axis labels stay within integer range.
int AxisStepAsInt(float step);

// The axis value at the panel's edge: floor(min) moved down to a multiple of `step`.
// 0 for a minimum that is not finite; clamped to the integer range.
int AxisStart(double min, int step);

struct ChartAxes {
    int tx = 1, sx = 0;    // depth step and start
    int ty = 1, sy = 0;    // deviation step and start
    float fx = 0, fy = 0;  // pixels per metre
};

// Steps, starts and scales for a panel of size w × h. Values that are not finite are
// left out of the minimum and maximum.
ChartAxes ChartAxesFor(const std::vector<float>& xs, const std::vector<float>& ys, float w, float h);

// The screen point of one station, each coordinate truncated toward zero.
QPoint ChartPoint(const ChartAxes& a, const QRectF& panel, float x, float y);

// The room the deviation view leaves left and right of each panel for its axis texts.
inline constexpr qreal kPanelMargin = 40;

// The rectangle the depth axis's "单位(m)" is centred in: (right − 10, bottom − 40, 60,
// 40) next to the last depth label, moved left as far as a text `textWidth` wide needs
// to end inside the margin right of the panel, where the client area ends.
QRectF DepthUnitRect(const QRectF& panel, qreal textWidth);

// The rectangles the "遇煤"/"遇岩" texts are centred in, one per station: (x − 10,
// y − 45, 40, 40) above the station's dot, or one or two text heights higher where the
// text would overlap the text of an earlier mark; an empty rectangle for a station
// without a mark, or whose text overlaps at all three heights (it is left out).
std::vector<QRectF> MarkLabelRects(const std::vector<QPoint>& dots, const std::vector<int>& marks,
                                   const QSizeF& textSize);

// The two panels of the deviation view in a client rectangle (upper, lower).
struct DeviationPanels {
    QRectF upper, lower;
    QRectF upperTitle, lowerTitle;
};
DeviationPanels LayOutDeviationPanels(int left, int top, int width, int height);
