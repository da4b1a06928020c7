#pragma once
// Rod keys that do not match the probe's stops: a still period inside a hole with no key
// press (a rod the operator did not record: every later station one rod too shallow) or
// with two (one rod too many: every later station one rod too deep).

#include <vector>

#include "core/records.h"
#include "still_periods.h"

namespace sondara {

enum class RodKeyFault { Missed, Extra };

struct RodKeyFinding {
    RodKeyFault fault = RodKeyFault::Missed;
    int hole = 0;        // position in m_holes, the table's hole number
    int holeNumber = 0;  // the synchronizer's own hole number
    StillPeriod still;   // the stop, on the probe clock
    // Missed: where the record to insert goes in m_syncRecords, and the record itself
    // (synchronizer clock, inside the stop). Extra: the index of the second press.
    int syncIndex = 0;
    SyncRecord key;
    // The stations whose depth is one rod off: ordinals firstAffected onwards in the hole
    // (firstAffected -1 and affected 0 when the hole has no such station).
    int firstAffected = -1;
    int affected = 0;
};

// A key press counts as inside a stop up to this long before its first or after its
// last standing sample: the probe stood still a little longer than its samples show.
inline constexpr double kKeySlackSeconds = 3;

// Key presses are grouped into holes as assembly groups them (a step up of the hole
// number by one starts the next); only stops between a hole's first and last key press
// are weighed, since the probe also stops on the way out and between holes. `offset`
// is the probe clock minus the synchronizer clock.
std::vector<RodKeyFinding> FindRodKeyFaults(const SurveyStore& store, const std::vector<StillPeriod>& periods,
                                            double offset);

}  // namespace sondara
