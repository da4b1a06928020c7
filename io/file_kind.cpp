#include "file_kind.h"

#include <filesystem>

namespace sondara {

std::string LowerExtension(std::string_view path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

FileKind FileKindOf(std::string_view path) {
    const std::string ext = LowerExtension(path);
    if (ext == "bhx") return FileKind::SurveyFile;
    if (ext == "xlsx" || ext == "xls") return FileKind::Excel;
    if (ext == "json") return FileKind::Json;
    return FileKind::Other;
}

}  // namespace sondara
