#pragma once
// Steps that follow loading records into the store.

#include <vector>

#include "core/records.h"

namespace sondara {

// When the store has no holes: assembly from the records, parameters by position,
// then the depth and trajectory passes. A store that brought its own holes keeps
// their stations as they are.
void RebuildHolesIfNone(SurveyStore& store);

// Gives runs of equal hole numbers consecutive numbers from 0, so that the holes of
// a file merged after another follow on from the holes before it.
void RenumberSyncHoles(std::vector<SyncRecord>& records);

}  // namespace sondara
