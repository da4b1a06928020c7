#pragma once
// A drill site: every hole of a survey at once, as the group-plot viewer shows it.
// Made from the exchange file (stations only) or from a survey (which adds each
// hole's start point and design line). Coordinates are the stations' own: x east,
// y north, z up, in metres of the mine grid.

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

#include "core/records.h"
#include "io/group_plot_reader.h"

struct SitePoint {
    double x = 0, y = 0, z = 0;  // east, north, up
};

struct SiteStation {
    double depth = 0, dy = 0, dz = 0;  // along, right of, above the design line
    SitePoint at;
    int mark = 0;  // 1 coal met, 2 rock met
};

// The straight design line from the start point.
struct SiteDesign {
    SitePoint from, to;
    double trueAzimuth = 0;  // degrees clockwise from north
};

struct SiteHole {
    QString name;
    std::vector<SiteStation> stations;
    std::optional<SitePoint> start;  // the entered start point, when known
    std::optional<SiteDesign> design;

    // Where the hole begins: its start point, else its first station.
    std::optional<SitePoint> Collar() const;
    const SiteStation* End() const { return stations.empty() ? nullptr : &stations.back(); }
};

struct DrillSite {
    std::vector<SiteHole> holes;
    QString source;  // the file it came from, for the window
};

DrillSite SiteFromExchange(const std::vector<sondara::GroupPlotHole>& holes);

// Every hole of the store with a name. A hole with parameters gets its start point
// and its design line, `depth` of the last station long, along the design true
// azimuth (the stored design azimuth less the declination) and inclination.
DrillSite SiteFromSurvey(const sondara::SurveyStore& store);

// The colour of hole `index`: twelve well-separated colours, repeated.
QColor HoleColour(int index);
