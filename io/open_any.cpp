#include "open_any.h"

#include <algorithm>

#include "atomic_file.h"
#include "core/messages.h"
#include "file_texts.h"
#include "json_import.h"
#include "survey_file.h"

namespace sondara {

bool OpenAnySurvey(SurveyStore& store, const std::vector<std::string>& paths) {
    const auto isJson = [](const std::string& p) { return LowerExtension(p) == "json"; };
    const auto jsonCount = std::count_if(paths.begin(), paths.end(), isJson);
    if (paths.empty()) return false;
    if (jsonCount == 1 && paths.size() == 1) return ImportJsonFile(store, paths.front());
    if (jsonCount > 0) {
        ShowMessage("JSON 测斜数据文件只能单独打开，不能与其他文件合并。", kAppCaption, MessageIcon::Warning);
        return false;
    }
    return OpenSurveyFiles(store, paths).ok();
}

bool LoadByFileMode(SurveyStore& store, const std::string& path) {
    return store.m_fileMode == kFileModeJson ? LoadJsonFile(store, path) : LoadSurveyFile(store, path);
}

}  // namespace sondara
