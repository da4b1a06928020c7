#pragma once
// Exports of the drill-site views: any view as PNG, SVG or PDF at a chosen size
// (the same painting as the window), and the plan or the section as DXF for the
// mine map, with the stations' own coordinates in metres.

#include <QSize>
#include <QString>
#include <optional>

#include "io/dxf_drawing.h"
#include "ui/drillsite/site_views.h"

enum class ExportFormat { Png, Svg, Pdf, Dxf };

// By the file name's suffix (any letter case); nothing for another suffix.
std::optional<ExportFormat> ExportFormatFor(const QString& path);

// The layer of hole `index` (from 0): "HOLE-01", with the ASCII letters of its
// name after a dash where it has any ("HOLE-02-K12"). The name itself, Chinese
// included, is the text at the collar.
QString SiteDxfLayer(int index, const QString& name);

// The plan (x east, y north) or the section (x along the section from the mean
// collar, y elevation): a layer per hole with its trace through every station,
// the layer "DESIGN" with the design lines, "COLLAR" and "END" with circle markers,
// and "NAME" with each hole's name at its collar.
sondara::DxfDrawing SiteDxf(const DrillSite& site, SiteViewKind kind, double sectionAzimuth);

// Pictures from 100 to 20 000 pixels each way.
bool ExportSizeAllowed(const QSize& size);

// A picture size written "宽x高" ("1600x1200"; "x", "X" or "×", blanks allowed around
// them); nothing when the text is not one.
std::optional<QSize> ParseExportSize(const QString& text);

// Writes the view to `path` in the format its suffix names. Returns an empty text
// on success, else the reason for the user. DXF takes only the plan and the section.
QString ExportSiteView(const DrillSite& site, SiteViewKind kind, const SiteViewOptions& options, const QSize& size,
                       const QString& path);
