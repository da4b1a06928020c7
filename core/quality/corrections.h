#pragma once
// The edits the quality checks offer. Each changes the synchronizer records only, the
// one place the pairing comes from, so that a save keeps the correction and a later
// rebuild of the holes repeats it. The Apply functions then rebuild the holes through
// the recompute pipeline (hand corrections made in the holes go with the old pairing).

#include "core/records.h"
#include "rod_keys.h"

namespace sondara {

// Adds `seconds` to every synchronizer time that is valid: the synchronizer clock then
// reads as the probe clock did. Returns how many records moved.
int ShiftSyncTimes(SurveyStore& store, double seconds);

// Inserts the record a missed-rod finding proposes, at the place it names. False (and
// nothing changed) when that place is no longer within the records; a finding is to be
// applied to the records it was found in.
bool InsertRodKey(SurveyStore& store, const RodKeyFinding& missed);

// Removes the second press an extra-rod finding names; its stratum mark passes to the
// press kept when that one has none. False (and nothing changed) when the record at
// the finding's index is not the one it names.
bool RemoveRodKey(SurveyStore& store, const RodKeyFinding& extra);

// The synchronizer clock set to the probe's (shifted by whole seconds, as the
// instruments count them), then the holes rebuilt. Returns the seconds applied.
double ApplyClockOffset(SurveyStore& store, double offsetSeconds);

// Inserts or removes the key the finding names, then rebuilds the holes. False (and
// nothing changed) when the finding no longer fits the records.
bool ApplyRodKeyFinding(SurveyStore& store, const RodKeyFinding& finding);

}  // namespace sondara
