#include "open_any.h"

#include <algorithm>

#include "file_kind.h"
#include "json_import.h"
#include "survey_file.h"

namespace sondara {

FileResult OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths) {
    const auto isJson = [](const std::string& p) { return FileKindOf(p) == FileKind::Json; };
    const auto jsonCount = std::count_if(paths.begin(), paths.end(), isJson);
    FileResult result;
    if (paths.empty()) {
        result.failed = true;
        return result;
    }
    if (jsonCount == 1 && paths.size() == 1) return ImportJsonFile(store, paths.front());
    if (jsonCount > 0) {
        result.Fail({FileProblemKind::JsonNotAlone});
        return result;
    }
    return OpenSurveyFiles(store, paths);
}

FileResult LoadByFileMode(SurveyStore& store, const std::string& path) {
    return store.m_fileMode == kFileModeJson ? LoadJsonFile(store, path) : LoadSurveyFile(store, path);
}

}  // namespace sondara
