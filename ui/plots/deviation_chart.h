#pragma once
// The deviation view of the plot window: two framed, gridded charts of one hole's
// left-right and up-down deviation against depth, with stratum marks. Paints on any
// QPainter.

#include <QRectF>
#include <vector>

#include "core/records.h"
#include "ui/plots/plot_outcome.h"

class QPainter;

// One panel: xs depths, ys deviations, marks stratum marks (1 coal, 2 rock), all of
// the same length (at least 1), in the rectangle `panel`.
void DrawDeviationChart(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<int>& marks,
                        QPainter& painter, const QRectF& panel);

// Both panels and their titles for hole `holeIndex` in `client`. Draws nothing for an
// empty store or a hole without stations; a hole index past the end gets a grey area
// with the text "无该孔测斜数据！".
PlotOutcome DrawDeviationCurves(QPainter& painter, const QRect& client, const sondara::SurveyStore& store,
                                int holeIndex);
void DrawDeviationCurves(QPainter& painter, const QRect& client, const sondara::HoleSurvey& hole);
