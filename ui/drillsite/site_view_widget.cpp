#include "ui/drillsite/site_view_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

void SiteSelection::Select(int hole) {
    if (hole == current_) return;
    current_ = hole;
    emit changed(hole);
}

SiteViewWidget::SiteViewWidget(SiteViewKind kind, const DrillSite* site, SiteSelection* selection, QWidget* parent)
    : QWidget(parent), kind_(kind), site_(site), selection_(selection) {
    setMinimumSize(320, 240);
    connect(selection_, &SiteSelection::changed, this, qOverload<>(&QWidget::update));
}

SiteViewOptions SiteViewWidget::options() const {
    SiteViewOptions o;
    o.selected = selection_->current();
    o.sectionAzimuth = sectionAzimuth_;
    o.camera = camera_;
    return o;
}

void SiteViewWidget::setSectionAzimuth(double degrees) {
    sectionAzimuth_ = degrees;
    update();
}

void SiteViewWidget::setCamera(const Camera3D& camera) {
    camera_ = camera;
    update();
}

void SiteViewWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintSiteView(painter, kind_, QRectF(rect()), *site_, options());
}

void SiteViewWidget::mousePressEvent(QMouseEvent* e) {
    pressedAt_ = lastAt_ = e->position().toPoint();
    dragged_ = false;
}

void SiteViewWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if ((at - pressedAt_).manhattanLength() > 3) dragged_ = true;
    if (kind_ == SiteViewKind::ThreeD && dragged_) {
        const QPoint d = at - lastAt_;
        if (e->buttons() & Qt::LeftButton) {
            camera_.yaw += d.x() * 0.5;
            camera_.pitch = std::clamp(camera_.pitch + d.y() * 0.5, -90.0, 90.0);
        } else if (e->buttons() & (Qt::RightButton | Qt::MiddleButton)) {
            camera_.pan += QPointF(d);
        }
        update();
    }
    lastAt_ = at;
}

void SiteViewWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (dragged_ || e->button() != Qt::LeftButton) return;
    const int hole = SiteHoleAt(kind_, QRectF(rect()), *site_, options(), e->position());
    if (hole >= 0) selection_->Select(hole);
}

void SiteViewWidget::wheelEvent(QWheelEvent* e) {
    if (kind_ != SiteViewKind::ThreeD) return;
    const double steps = e->angleDelta().y() / 120.0;
    camera_.zoom = std::clamp(camera_.zoom * std::pow(1.2, steps), 0.05, 200.0);
    update();
}
