#pragma once
// The part of hole assembly shared by the fast and the reference pairing: taking the
// samples in order and cutting them into holes once each has found its pair (or none).

#include <functional>

#include "records.h"

namespace sondara::detail {

// The index of the synchronizer record that pairs with `probe`, at or after the
// current scan start, or -1. Called once per sample with a valid or null time, in order.
using FindPair = std::function<int(const ProbeRecord& probe)>;

int BuildHoles(SurveyStore& store, const FindPair& findPair);

}  // namespace sondara::detail
