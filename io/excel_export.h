#pragma once
// Excel export: one worksheet per named hole with one row per survey station, then
// the worksheet "初始参数" with the parameters of every hole. Every cell is text.
// Written with libxlsxwriter, which always writes the Office Open XML format (.xlsx).
//
// Messages go through ShowMessage (core/messages.h). The store is not changed.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/records.h"

namespace sondara {

inline constexpr char kParamsSheetName[] = "初始参数";

// Hands out the worksheet names of one workbook. A hole name the workbook cannot
// take keeps its rows on a sheet whose name is the hole's name made acceptable: the
// characters []:*?/\, control characters and U+FFFE, U+FFFF become "_", an
// apostrophe at either end becomes "_", it is cut to 31 characters, and a name
// already taken (compared without regard to ASCII case; "History" and "初始参数"
// count as taken from the start) gets " (2)", " (3)" ... appended.
class SheetNames {
public:
    SheetNames();
    std::string Take(const std::u16string& holeName);

private:
    bool IsTaken(const std::string& name) const;
    std::unordered_set<std::string> taken_;            // lower-cased
    std::unordered_map<std::string, int> nextSuffix_;  // by lower-cased wanted name
};

// The 18 texts of a hole row for station `r` of hole `h`, with row counter `row`.
std::vector<std::string> HoleRowTexts(const HoleSurvey& h, const ProbeRecord& r, int row);

// The 6 texts of the parameter row of hole `h`.
std::vector<std::string> ParamsRowTexts(const HoleSurvey& h);

// Writes the workbook to `path`, whatever its extension says (a name ending in .xls
// gets an .xlsx workbook under that very name: no other file is touched). The old
// workbook is replaced only once the new one is complete. A hole whose name could
// not be a worksheet name has its rows on the sheet SheetNames gives, and
// "表格创建失败，请确认是否已创建" (with both names) is shown once for it. Returns
// false with a message when the workbook could not be written; the old file then
// stays as it was.
bool ExportExcel(const SurveyStore& store, const std::string& path);

}  // namespace sondara
