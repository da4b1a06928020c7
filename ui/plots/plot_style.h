#pragma once
// Pens, fonts and text placement shared by the drawings, matching the Windows
// drawing library they were designed with: flat caps, mitred joins, dash patterns
// in units of the pen width (Dash 3-1, Dot 1-1, DashDotDot 3-1-1-1-1-1).

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

enum class Dash { Solid, Dash, Dot, DashDotDot };

QPen PlotPen(const QColor& colour, qreal width, Dash dash = Dash::Solid);

// "Arial" regular at `points`, falling back to the generic sans-serif family.
QFont PlotFont(qreal points);

// Text centred both ways on a point, and in a rectangle (never clipped).
// Text takes `colour` (the painter's pen is left as it was).
void DrawTextCentredOn(QPainter& painter, const QPointF& centre, const QString& text, const QColor& colour);
void DrawTextCentredIn(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour);

namespace plot_colour {
inline const QColor kBackground(192, 192, 192);
inline const QColor kWhite(255, 255, 255);
inline const QColor kBlack(0, 0, 0);
inline const QColor kGreen(0, 128, 0);
inline const QColor kRed(255, 0, 0);
inline const QColor kBlue(0, 0, 255);
inline const QColor kGrid(52, 52, 0, 128);
}  // namespace plot_colour
