#include "survey_quality.h"

#include <algorithm>
#include <cmath>

#include "core/stations.h"

namespace sondara {

int QualityReport::MissedRods() const {
    return static_cast<int>(std::count_if(rodKeys.begin(), rodKeys.end(),
                                          [](const RodKeyFinding& f) { return f.fault == RodKeyFault::Missed; }));
}

int QualityReport::ExtraRods() const { return static_cast<int>(rodKeys.size()) - MissedRods(); }

int QualityReport::FlaggedStations() const {
    int n = 0;
    for (const HoleQuality& h : holes) n += h.flagged;
    return n;
}

bool QualityReport::ClockOffsetWorthApplying(const QualityOptions& options) const {
    return clock.clear() && std::fabs(clock.offsetSeconds) > options.clockWarnSeconds;
}

bool QualityReport::ManyUnpaired(const QualityOptions& options) const {
    return syncRecords > 0 && unpairedSyncRecords > options.unpairedWarnFraction * syncRecords;
}

int QualityReport::FindingCount(const QualityOptions& options) const {
    const bool clockFinding = ClockOffsetWorthApplying(options) || ManyUnpaired(options);
    return (clockFinding ? 1 : 0) + static_cast<int>(rodKeys.size()) + FlaggedStations();
}

namespace {

HoleQuality CheckHole(const HoleSurvey& hole, int position, const QualityOptions& options) {
    HoleQuality q;
    q.hole = position;
    const std::vector<unsigned> fieldFlags = CheckFieldValues(hole.records, options.field);
    MethodCheck method = CheckMethod(hole);
    int ordinal = 0;
    for (int i = 0; i < static_cast<int>(hole.records.size()); ++i) {
        if (!IsStation(hole.records[i])) continue;
        StationQuality s;
        s.record = i;
        s.station = ordinal;
        s.flags = fieldFlags[ordinal];
        s.dogleg = method.doglegs[ordinal];
        if (s.dogleg && *s.dogleg > options.doglegLimit) s.flags |= kFlagDogleg;
        if (s.flags) ++q.flagged;
        q.stations.push_back(s);
        ++ordinal;
    }
    q.method = method.comparison;
    return q;
}

}  // namespace

QualityReport CheckSurveyQuality(const SurveyStore& store, const QualityOptions& options) {
    QualityReport report;
    report.stillPeriods = FindStillPeriods(store.m_probeRecords, options.still);
    report.clock = EstimateClockOffset(store.m_syncRecords, report.stillPeriods, options.clock);
    report.keyOffset = report.clock.clear() ? report.clock.offsetSeconds : 0.0;

    for (const SyncRecord& s : store.m_syncRecords) report.syncRecords += UsableTime(s.time) ? 1 : 0;
    int paired = 0;
    for (const HoleSurvey& h : store.m_holes) paired += CountSampled(h.records);
    report.unpairedSyncRecords = std::max(0, report.syncRecords - paired);

    // Rod keys are weighed only once the clocks agree well enough to say which stop a
    // press belongs to.
    if (report.clock.clear()) report.rodKeys = FindRodKeyFaults(store, report.stillPeriods, report.keyOffset);

    for (int h = 0; h < static_cast<int>(store.m_holes.size()); ++h)
        report.holes.push_back(CheckHole(store.m_holes[h], h, options));
    return report;
}

}  // namespace sondara
