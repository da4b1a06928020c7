#include "survey_pipeline.h"

#include "assembly.h"
#include "trajectory.h"

namespace sondara {

namespace {

void RebuildAll(SurveyStore& store) {
    AssembleHoles(store);
    ApplyHoleParams(store);
    ComputeAllDepths(store);
    ComputeAllTrajectories(store);
}

}  // namespace

bool Recompute(SurveyStore& store, SurveyChange change) {
    switch (change) {
        case SurveyChange::Loaded:
            // A file that brought its holes keeps their stations exactly as saved.
            if (!store.m_holes.empty()) return false;
            RebuildAll(store);
            return true;
        case SurveyChange::Merged:
            // The holes there take the merged parameter entries by position first.
            ApplyHoleParams(store);
            return Recompute(store, SurveyChange::Loaded);
        case SurveyChange::DownloadEnded:
            // Holes need both streams; until the second download ends they stay as they are.
            if (store.m_probeRecords.empty() || store.m_syncRecords.empty()) return false;
            AssembleHoles(store);
            return true;
        case SurveyChange::ParamsSaved:
            ApplyHoleParams(store);
            ComputeAllDepths(store);
            ComputeAllTrajectories(store);
            return false;
        case SurveyChange::TrajectoryCommand:
            ComputeAllDepths(store);
            ComputeAllTrajectories(store);
            return false;
        case SurveyChange::SampledDisplay:
            ComputeAllDepths(store);
            return false;
        case SurveyChange::SyncCorrected:
            // The pairing changed: every hole is cut and computed again.
            RebuildAll(store);
            return true;
        case SurveyChange::HandDepthCleared:
            // The depth pass gives the record its computed depth back; the stations
            // after it move with it.
            ComputeAllDepths(store);
            ComputeAllTrajectories(store);
            return false;
        case SurveyChange::StationCorrected:
            ComputeAllTrajectories(store);
            return false;
    }
    return false;
}

}  // namespace sondara
