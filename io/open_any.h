#pragma once
// Reading a survey from whatever files a tool was given: one JSON survey goes through
// the JSON import, survey data files through the merged open (FileKindOf decides).
// For tools and scripts; the desktop program has a command for each.

#include <string>
#include <vector>

#include "core/records.h"
#include "file_result.h"

namespace sondara {

// Replaces the store with the survey in `paths`. Succeeds only when every file was
// read. A JSON survey cannot be merged with other files (JsonNotAlone).
FileResult OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths);

// A load that does not pass through an open command (a file named on the program's
// command line, or picked from the recent-file list): reads the file the way the
// last open command set m_fileMode (JSON for kFileModeJson, otherwise the survey
// data file), appending to the store without emptying it.
FileResult LoadByFileMode(SurveyStore& store, const std::string& path);

}  // namespace sondara
