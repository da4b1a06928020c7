#include "ui/plots/plot_outcome.h"

#include "core/stations.h"

const sondara::HoleSurvey* HoleToPlot(const sondara::SurveyStore& store, int holeIndex, PlotOutcome& outcome) {
    if (store.m_holes.empty()) {
        outcome = PlotOutcome::NoHoles;
        return nullptr;
    }
    if (holeIndex < 0 || holeIndex >= static_cast<int>(store.m_holes.size())) {
        outcome = PlotOutcome::NoSuchHole;
        return nullptr;
    }
    const sondara::HoleSurvey& hole = store.m_holes[holeIndex];
    if (sondara::CountStations(hole.records) == 0) {
        outcome = PlotOutcome::NoStations;
        return nullptr;
    }
    outcome = PlotOutcome::Drawn;
    return &hole;
}
