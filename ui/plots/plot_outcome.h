#pragma once
// What a drawing of one hole found. The drawings never open a message box themselves:
// a box raised inside a paint handler comes back with every repaint its closing causes,
// so the window that paints decides when to tell the user.

#include <string>

#include "core/records.h"

enum class PlotOutcome {
    Drawn,
    NoHoles,     // the store holds no holes: nothing drawn
    NoSuchHole,  // the index lies past the end of the list (a reload with fewer holes)
    NoStations,  // the hole has no stations: its error text is the message
};

// The hole a drawing reads, or nothing with the outcome that explains why.
const sondara::HoleSurvey* HoleToPlot(const sondara::SurveyStore& store, int holeIndex, PlotOutcome& outcome);
