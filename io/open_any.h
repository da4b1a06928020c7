#pragma once
// Reading a survey from whatever files a tool was given: one JSON survey goes through
// the JSON import, survey data files through the merged open (FileKindOf decides).
// For tools and scripts; the desktop program has a command for each.

#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "file_result.h"

namespace sondara {

enum FileMode : std::int32_t { kFileModeSurvey = 1, kFileModeJson = 2 };

// What the last open command leaves for a load that does not pass through one: how
// it read, and how many survey data files it opened (a JSON import leaves the count
// as it was). Command state, kept by whoever runs the open commands, never by the
// survey.
struct LastOpen {
    FileMode mode = kFileModeSurvey;
    int openCount = 0;
};

struct [[nodiscard]] OpenAnyResult : FileResult {
    LastOpen opened;  // a JSON import here counts no survey data file
};

// Replaces the store with the survey in `paths`. Succeeds only when every file was
// read. A JSON survey cannot be merged with other files (JsonNotAlone).
OpenAnyResult OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths);

// A load that does not pass through an open command, for a caller that keeps the last
// open's state (the desktop program's command line and recent files go through the
// open commands instead): reads the file the way the
// last open command did (JSON for kFileModeJson, otherwise as survey data file number
// `last.openCount` of that open), appending to the store without emptying it.
FileResult LoadByFileMode(SurveyStore& store, const std::string& path, const LastOpen& last);

}  // namespace sondara
