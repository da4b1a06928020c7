#pragma once
// Excel export: one worksheet per named hole with one row per survey station, then
// the worksheet "初始参数" with the parameters of every hole. Numbers are numeric
// cells whose number format shows exactly the decimals of the exported text; names,
// "有效" and times are text; an undefined value is a blank cell. Written with
// libxlsxwriter in its constant-memory mode (rows go to disk as they are written),
// which always writes the Office Open XML format (.xlsx).
//
// Nothing here talks to the user: the outcome is a FileResult. The store is not
// changed.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/records.h"
#include "file_result.h"

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

// The headers of the 18 columns of a hole's sheet and of the 6 of the parameter sheet.
const std::vector<std::string>& HoleColumnTitles();
const std::vector<std::string>& ParamsColumnTitles();

// The 18 texts of a hole row for station `r` of hole `h`, with row counter `row`:
// what the cells show.
std::vector<std::string> HoleRowTexts(const HoleSurvey& h, const ProbeRecord& r, int row);

// The 6 texts of the parameter row of hole `h`.
std::vector<std::string> ParamsRowTexts(const HoleSurvey& h);

// Writes the workbook to `path`, whatever its extension says (a name ending in .xls
// gets an .xlsx workbook under that very name: no other file is touched). The old
// workbook is replaced only once the new one is complete. A hole whose name could
// not be a worksheet name has its rows on the sheet SheetNames gives (SheetRenamed,
// once for it); rows beyond a sheet's limit are RowsLost. A workbook that could not
// be written is ExportFailed (or ReadOnlyTarget, ForeignLink); the old file then
// stays as it was.
FileResult ExportExcel(const SurveyStore& store, const std::string& path);

}  // namespace sondara
