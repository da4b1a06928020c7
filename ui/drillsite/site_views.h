#pragma once
// The four views of a drill site, each painted on any QPainter (window, image,
// SVG, PDF): the plan, a vertical section along a chosen azimuth, a 3D view, and
// the deviation curves of all holes overlaid. Every hole has its own colour and its
// name; the selected hole is drawn heavier with its stations.

#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <vector>

#include "ui/drillsite/drill_site.h"
#include "ui/drillsite/site_geometry.h"

class QPainter;

enum class SiteViewKind { Plan, Section, ThreeD, Deviation };

struct SiteViewOptions {
    int selected = -1;          // index of the selected hole, -1 for none
    double sectionAzimuth = 0;  // degrees clockwise from north
    Camera3D camera;
};

// "平面图", "剖面图", "三维图", "偏差曲线".
QString SiteViewTitle(SiteViewKind kind);

void PaintSiteView(QPainter& painter, SiteViewKind kind, const QRectF& area, const DrillSite& site,
                   const SiteViewOptions& options);

// Where each hole lies on screen in that view, as the painting places it: one or
// more polylines per hole (the deviation view has two). A click is matched
// against these.
std::vector<std::vector<QPolygonF>> SiteTracesOnScreen(SiteViewKind kind, const QRectF& area, const DrillSite& site,
                                                       const SiteViewOptions& options);

// The hole under `point` in that view, -1 for none.
int SiteHoleAt(SiteViewKind kind, const QRectF& area, const DrillSite& site, const SiteViewOptions& options,
               const QPointF& point);

// The plan's and the section's data rectangles and mappings, for the DXF export
// and tests: the world coordinates drawn (east, north or along, elevation).
QRectF PlanPanel(const QRectF& area);
Fit PlanFit(const QRectF& area, const DrillSite& site);
Fit SectionFit(const QRectF& area, const DrillSite& site, const SectionFrame& frame);
