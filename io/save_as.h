#pragma once
// Save and Save As after the save dialog: the chosen name's extension decides what
// is written, without regard to letter case.

#include <string>

#include "core/records.h"

namespace sondara {

enum class SaveKind { SurveyFile, Excel, Unsupported };

// bhx: the survey data file; xls, xlsx: the Excel export; anything else: unsupported.
SaveKind SaveKindFor(const std::string& path);

// Writes the store as the extension says (SaveSurveyFile or ExportExcel). Any other
// extension writes nothing and says so ("不支持的文件类型，未保存。..."). Changes
// nothing in the store; returns whether a file was written.
bool SaveAs(const SurveyStore& store, const std::string& path);

}  // namespace sondara
