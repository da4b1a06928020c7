#pragma once
// The offset between the probe's clock and the synchronizer's clock, found from where
// the key presses fall: each rod key is pressed while the probe stands still, so the
// right offset puts the most key presses inside still periods.

#include <vector>

#include "core/records.h"
#include "still_periods.h"

namespace sondara {

struct ClockOffsetOptions {
    double searchSeconds = 600;        // offsets tried: -searchSeconds to +searchSeconds
    int minKeyPresses = 3;             // fewer key presses within reach prove nothing
    double minInStillFraction = 0.5;   // at the estimate, at least this share of them in still periods
    double maxRunnerUpFraction = 0.8;  // a different offset doing this well makes it ambiguous
};

enum class ClockOffsetVerdict {
    Clear,
    NoStillPeriods,    // the probe stream shows no still period (one sample per rod, say)
    TooFewKeyPresses,  // too few synchronizer records within reach of a still period
    FewInStill,        // even the best offset leaves most key presses outside still periods
    Ambiguous,         // another offset, a rod or more away, fits nearly as well
};

struct ClockOffsetEstimate {
    ClockOffsetVerdict verdict = ClockOffsetVerdict::NoStillPeriods;
    double offsetSeconds = 0;  // probe clock minus synchronizer clock; meaningful when clear
    // (key presses in still periods at the estimate - at the best other offset) / key presses
    double confidence = 0;
    int keyPresses = 0;       // synchronizer records within reach of a still period
    int inStill = 0;          // of those, inside a still period at the estimate
    int inStillAtZero = 0;    // ... with the clocks taken as they are
    int runnerUp = 0;         // the most inside a still period at any clearly different offset
    double plateauStart = 0;  // every offset in [plateauStart, plateauEnd] puts inStill inside
    double plateauEnd = 0;
    bool clear() const { return verdict == ClockOffsetVerdict::Clear; }
};

// Counts how many of `keys` (seconds on the synchronizer clock, sorted) lie inside one
// of `periods` (probe clock) once `offset` is added.
int KeysInStillPeriods(const std::vector<double>& keys, const std::vector<StillPeriod>& periods, double offset);

// The estimate is the middle of the range of offsets that puts the most key presses in
// still periods; it is clear only when enough key presses take part, most of them fit,
// and either the clocks as they are (offset 0) lie in that range or no offset outside
// it (by more than a long still period) comes close.
ClockOffsetEstimate EstimateClockOffset(const std::vector<SyncRecord>& sync, const std::vector<StillPeriod>& periods,
                                        const ClockOffsetOptions& options = {});

}  // namespace sondara
