#pragma once
// Hole assembly: pairs each probe sample with the synchronizer record written shortly
// before it and cuts the probe stream into holes where the hole number steps up by one.

#include "records.h"

namespace sondara {

// A synchronizer record pairs with a probe sample when it is at most this much older.
inline constexpr int kPairingWindowSeconds = 13;

// Whether synchronizer time `sync` pairs with probe time `probe`: both valid, and the
// synchronizer record less than the pairing window older than the sample and less than
// half a second younger. Times are compared to the millisecond, so that instrument
// times in whole seconds meet the window's edges exactly.
bool TimesPair(const OleTime& sync, const OleTime& probe);

// Whether hole number `current` after `previous` starts the next hole: the number
// steps up by exactly one (unsigned, so that INT_MAX cannot overflow the test).
inline bool StartsNextHole(int previous, int current) {
    return static_cast<unsigned>(current) == static_cast<unsigned>(previous) + 1u;
}

// Rebuilds m_holes from m_probeRecords and m_syncRecords. Returns 0 when there are no
// probe records (m_holes is then empty), otherwise 1.
int AssembleHoles(SurveyStore& store);

}  // namespace sondara
