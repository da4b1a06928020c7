#pragma once
// Opening a drill site from a file: a survey data file (.bhx) or a JSON survey
// (.json) through the survey readers, anything else as the group-plot exchange
// file. A survey has its depths and trajectories computed as "轨迹计算" does, so
// the site matches what the exchange file would hold, plus start points and
// design lines.

#include <QString>

#include "ui/drillsite/drill_site.h"

// Replaces `site` when the file reads; otherwise leaves it and returns the reason
// for the user (with the line number for a malformed exchange file).
QString LoadDrillSite(const QString& path, DrillSite& site);

// The reason for the user that a failed exchange file read stands for.
QString GroupPlotReadProblem(const sondara::GroupPlotRead& read, const QString& path);
