#pragma once
// The 3D mode of the plot window: one hole as an isometric drawing with its box,
// hole curve and shadow, design line and shadow, tripod, distance labels, grid and
// legend. Paints on any QPainter (window, image, printer).

#include <QRectF>

#include "core/records.h"
#include "ui/plots/plot_outcome.h"

class QPainter;

// Draws hole `holeIndex` of the store into `client`. Draws nothing for an empty store
// or a hole without stations; a hole index past the end gets a grey area with the
// text "无该孔测斜数据！".
PlotOutcome DrawTrajectory3D(QPainter& painter, const QRectF& client, const sondara::SurveyStore& store, int holeIndex);

// The drawing of one hole that has at least one station.
void DrawTrajectory3D(QPainter& painter, const QRectF& client, const sondara::HoleSurvey& hole);

// The state drawn for a hole index past the end of the list.
void DrawMissingHole(QPainter& painter, const QRectF& client);
