#pragma once
// Hole assembly by the plain scan over every synchronizer record for every sample:
// the reference the fast assembly is checked and measured against.

#include "core/records.h"

namespace sondara {

int AssembleHolesReference(SurveyStore& store);

}  // namespace sondara
