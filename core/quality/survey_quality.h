#pragma once
// The quality checks of a survey in one pass: still periods of the probe stream, the
// clock offset between the instruments, rod keys against the probe's stops, field
// values and doglegs per station, and the mean-angle end point against minimum
// curvature per hole. Findings only: the store is not changed, nothing is shown.

#include <optional>
#include <vector>

#include "clock_offset.h"
#include "core/records.h"
#include "field_checks.h"
#include "method_check.h"
#include "rod_keys.h"
#include "still_periods.h"

namespace sondara {

struct QualityOptions {
    StillThresholds still;
    ClockOffsetOptions clock;
    FieldTolerances field;
    // Degrees per 30 m; a station bending more is flagged. Half a degree per 1.5 m rod:
    // more than a rod string bends smoothly, and well above what the angle noise of a
    // standing probe (a few hundredths of a degree) gives over one rod.
    double doglegLimit = 10.0;
    // A clear offset beyond this many seconds is worth applying: a few seconds move the
    // paired sample off the stop.
    double clockWarnSeconds = 3.0;
    // A larger share of synchronizer records left without a sample is worth a warning.
    double unpairedWarnFraction = 0.1;
};

struct StationQuality {
    int record = 0;   // index in the hole's records
    int station = 0;  // ordinal among the hole's stations
    unsigned flags = 0;
    std::optional<double> dogleg;  // degrees per 30 m
};

struct HoleQuality {
    int hole = 0;  // position in m_holes
    std::vector<StationQuality> stations;
    std::optional<MethodComparison> method;
    int flagged = 0;  // stations with any flag
};

struct QualityReport {
    std::vector<StillPeriod> stillPeriods;
    ClockOffsetEstimate clock;
    // The offset the rod keys were weighed at: the estimate when it is clear, else 0.
    double keyOffset = 0;
    int syncRecords = 0;  // with a usable time
    int unpairedSyncRecords = 0;
    std::vector<RodKeyFinding> rodKeys;
    std::vector<HoleQuality> holes;

    int MissedRods() const;
    int ExtraRods() const;
    int FlaggedStations() const;
    // A clear offset beyond the warning limit.
    bool ClockOffsetWorthApplying(const QualityOptions& options) const;
    bool ManyUnpaired(const QualityOptions& options) const;
    // How many things the surveyor is told about: a clock worth applying or many unpaired
    // records count as one, every rod key and every flagged station as one each.
    int FindingCount(const QualityOptions& options) const;
};

QualityReport CheckSurveyQuality(const SurveyStore& store, const QualityOptions& options = {});

}  // namespace sondara
