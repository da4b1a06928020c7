#pragma once
// Reading a survey from whatever files a tool was given: one JSON survey (.json, any
// letter case) goes through the JSON import, survey data files through the merged
// open. For tools and scripts; the desktop program has a command for each.

#include <string>
#include <vector>

#include "core/records.h"

namespace sondara {

// Replaces the store with the survey in `paths`. Returns true only when every file
// was read; every problem has been reported through ShowMessage. A JSON survey
// cannot be merged with other files.
bool OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths);

}  // namespace sondara
