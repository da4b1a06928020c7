#pragma once
// Save and Save As after the save dialog: the chosen name's kind (FileKindOf, any
// letter case) decides what is written.

#include <string>

#include "core/records.h"
#include "file_result.h"
#include "survey_file.h"

namespace sondara {

// A survey data file (SaveSurveyFile, with `longNames`) for .bhx, the Excel export
// for .xlsx and .xls; any other name writes nothing (UnsupportedKind). Changes
// nothing in the store.
FileResult SaveAs(const SurveyStore& store, const std::string& path, LongNames longNames = LongNames::Refuse);

}  // namespace sondara
