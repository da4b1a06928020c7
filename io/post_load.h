#pragma once
// Steps that follow loading records into the store.

#include <vector>

#include "core/records.h"

namespace sondara {

// Gives runs of equal hole numbers consecutive numbers from 0, so that the holes of
// a file merged after another follow on from the holes before it.
void RenumberSyncHoles(std::vector<SyncRecord>& records);

}  // namespace sondara
