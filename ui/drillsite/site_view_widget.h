#pragma once
// A drill-site view in a window: paints one of the four views, selects the hole
// under a click, and in 3D turns (left drag), pans (right drag) and zooms (wheel).
// All views of a window share one SiteSelection, so a hole chosen in one is
// chosen in all.

#include <QObject>
#include <QPoint>
#include <QWidget>

#include "ui/drillsite/site_views.h"

class SiteSelection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    int current() const { return current_; }
    // Selects hole `hole` (-1 for none); announces only a change.
    void Select(int hole);

signals:
    void changed(int hole);

private:
    int current_ = -1;
};

class SiteViewWidget : public QWidget {
    Q_OBJECT

public:
    SiteViewWidget(SiteViewKind kind, const DrillSite* site, SiteSelection* selection, QWidget* parent = nullptr);

    SiteViewKind kind() const { return kind_; }
    // The options the view paints with (selection, section azimuth, camera).
    SiteViewOptions options() const;
    void setSectionAzimuth(double degrees);
    void setCamera(const Camera3D& camera);
    const Camera3D& camera() const { return camera_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    SiteViewKind kind_;
    const DrillSite* site_;
    SiteSelection* selection_;
    double sectionAzimuth_ = 0;
    Camera3D camera_;
    QPoint pressedAt_, lastAt_;
    bool dragged_ = false;
};
