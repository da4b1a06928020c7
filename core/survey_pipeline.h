#pragma once
// The one place that decides which computation steps follow a change to a survey.
// Callers name what happened; the steps (assembly, parameters by position, depths,
// trajectories) and their order live here and nowhere else.
//
//   what happened                       assembly  parameters  depths  trajectories
//   a load that brought no holes           x          x          x         x
//   records merged into a survey                      x        (then as a load)
//   a download ended, both streams there   x
//   the hole parameters were saved                    x          x         x
//   "轨迹计算"                                                    x         x
//   the sampled-records display chosen                           x
//   a station value corrected                                              x
//   the synchronizer records corrected     x          x          x         x
//   a hand-set depth given back to the pass                      x         x

#include "records.h"

namespace sondara {

enum class SurveyChange {
    Loaded,             // records read from a file or an import
    Merged,             // records appended to a survey: a later file of a merge, a JSON import
    DownloadEnded,      // an instrument download finished
    ParamsSaved,        // the hole parameter editor was saved
    TrajectoryCommand,  // the user asked for the trajectories
    SampledDisplay,     // the table switched to the sampled records
    StationCorrected,   // a station's check box or value was changed by hand
    SyncCorrected,      // synchronizer times shifted, a rod key inserted or removed
    HandDepthCleared,   // a depth set by hand was given back to the depth pass
};

// Runs the steps that `change` calls for. Returns whether the holes were rebuilt
// (assembly ran), so callers know to refill what shows the holes.
bool Recompute(SurveyStore& store, SurveyChange change);

}  // namespace sondara
