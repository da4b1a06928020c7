#include "corrections.h"

#include <cmath>

#include "core/survey_pipeline.h"
#include "still_periods.h"

namespace sondara {

int ShiftSyncTimes(SurveyStore& store, double seconds) {
    int moved = 0;
    for (SyncRecord& s : store.m_syncRecords) {
        if (!UsableTime(s.time)) continue;
        s.time = OleTimeFromLinearSeconds(LinearSeconds(s.time) + seconds);
        ++moved;
    }
    return moved;
}

bool InsertRodKey(SurveyStore& store, const RodKeyFinding& missed) {
    auto& sync = store.m_syncRecords;
    if (missed.fault != RodKeyFault::Missed || missed.syncIndex < 0 || missed.syncIndex > static_cast<int>(sync.size()))
        return false;
    sync.insert(sync.begin() + missed.syncIndex, missed.key);
    return true;
}

bool RemoveRodKey(SurveyStore& store, const RodKeyFinding& extra) {
    auto& sync = store.m_syncRecords;
    const int j = extra.syncIndex;
    if (extra.fault != RodKeyFault::Extra || j < 0 || j >= static_cast<int>(sync.size())) return false;
    const SyncRecord& named = sync[j];
    if (named.time.dt != extra.key.time.dt || named.hole != extra.key.hole || named.idx != extra.key.idx) return false;
    // The press kept is the one before it in the same stop.
    for (int k = j - 1; k >= 0; --k) {
        if (!UsableTime(sync[k].time)) continue;
        const auto marked = [](int m) { return m == kMarkCoal || m == kMarkRock; };
        if (marked(named.mark) && !marked(sync[k].mark)) sync[k].mark = named.mark;
        break;
    }
    sync.erase(sync.begin() + j);
    return true;
}

double ApplyClockOffset(SurveyStore& store, double offsetSeconds) {
    const double seconds = std::round(offsetSeconds);
    ShiftSyncTimes(store, seconds);
    Recompute(store, SurveyChange::SyncCorrected);
    return seconds;
}

bool ApplyRodKeyFinding(SurveyStore& store, const RodKeyFinding& finding) {
    const bool edited =
        finding.fault == RodKeyFault::Missed ? InsertRodKey(store, finding) : RemoveRodKey(store, finding);
    if (edited) Recompute(store, SurveyChange::SyncCorrected);
    return edited;
}

}  // namespace sondara
