#pragma once
// Excel export: one worksheet per named hole with one row per survey station, then
// the worksheet "初始参数" with the parameters of every hole. Every cell is text.
// Written with libxlsxwriter, which always writes the Office Open XML format (.xlsx).
//
// Messages go through ShowMessage (core/messages.h). The store is not changed.

#include <string>
#include <vector>

#include "core/records.h"

namespace sondara {

inline constexpr char kParamsSheetName[] = "初始参数";

// The worksheet name a hole gets, given the names already taken (compared without
// regard to ASCII case). A name the workbook cannot take keeps its rows on a sheet
// whose name is the hole's name made acceptable: the characters []:*?/\ become "_",
// an apostrophe at either end becomes "_", it is cut to 31 characters, and a name
// already taken (or "History", or "初始参数") gets " (2)", " (3)" ... appended.
std::string SheetNameFor(const std::u16string& holeName, const std::vector<std::string>& taken);

// The 18 texts of a hole row for station `r` of hole `h`, with row counter `row`.
std::vector<std::string> HoleRowTexts(const HoleSurvey& h, const ProbeRecord& r, int row);

// The 6 texts of the parameter row of hole `h`.
std::vector<std::string> ParamsRowTexts(const HoleSurvey& h);

// Writes the workbook to `path`, whatever its extension says (a name ending in .xls
// gets an .xlsx workbook under that very name: no other file is touched). The old
// workbook is replaced only once the new one is complete. A hole whose name could
// not be a worksheet name has its rows on the sheet SheetNameFor gives, and
// "表格创建失败，请确认是否已创建" (with both names) is shown once for it. Returns
// false with a message when the workbook could not be written; the old file then
// stays as it was.
bool ExportExcel(const SurveyStore& store, const std::string& path);

}  // namespace sondara
