#include "open_any.h"

#include <algorithm>

#include "file_kind.h"
#include "json_import.h"
#include "survey_file.h"

namespace sondara {

OpenAnyResult OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths) {
    const auto isJson = [](const std::string& p) { return FileKindOf(p) == FileKind::Json; };
    const auto jsonCount = std::count_if(paths.begin(), paths.end(), isJson);
    OpenAnyResult result;
    if (paths.empty()) {
        result.failed = true;
        return result;
    }
    if (jsonCount == 1 && paths.size() == 1) {
        result.Take(ImportJsonFile(store, paths.front()));
        result.opened.mode = kFileModeJson;
        return result;
    }
    if (jsonCount > 0) {
        result.Fail({FileProblemKind::JsonNotAlone});
        return result;
    }
    result.Take(OpenSurveyFiles(store, paths));
    result.opened = {kFileModeSurvey, static_cast<int>(paths.size())};
    return result;
}

FileResult LoadByFileMode(SurveyStore& store, const std::string& path, const LastOpen& last) {
    return last.mode == kFileModeJson ? LoadJsonFile(store, path) : LoadSurveyFile(store, path, last.openCount);
}

}  // namespace sondara
