#include "ui/plots/plot_style.h"

#include <QPainter>

QPen PlotPen(const QColor& colour, qreal width, Dash dash) {
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    switch (dash) {
        case Dash::Solid:
            break;
        case Dash::Dash:
            pen.setDashPattern({3, 1});
            break;
        case Dash::Dot:
            pen.setDashPattern({1, 1});
            break;
        case Dash::DashDotDot:
            pen.setDashPattern({3, 1, 1, 1, 1, 1});
            break;
    }
    return pen;
}

QFont PlotFont(qreal points) {
    QFont font("Arial");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

void DrawTextCentredIn(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour) {
    const QPen saved = painter.pen();
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextDontClip, text);
    painter.setPen(saved);
}

void DrawTextCentredOn(QPainter& painter, const QPointF& centre, const QString& text, const QColor& colour) {
    DrawTextCentredIn(painter, QRectF(centre.x() - 500, centre.y() - 500, 1000, 1000), text, colour);
}
