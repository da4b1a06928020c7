#pragma once
// What a file is, judged by its name alone: the one rule that open, save, a dropped
// file, the program's command line and sondara-cli all follow.

#include <string>
#include <string_view>

namespace sondara {

enum class FileKind {
    SurveyFile,  // .bhx
    Excel,       // .xlsx, .xls (both get an Office Open XML workbook)
    Json,        // .json
    Other,
};

// By the extension of the file name, in any letter case.
FileKind FileKindOf(std::string_view path);

// The lower-cased extension of a path's file name, without the dot ("" when none).
std::string LowerExtension(std::string_view path);

}  // namespace sondara
