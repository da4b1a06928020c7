#include "excel_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

#include "atomic_file.h"
#include "core/derived.h"
#include "core/messages.h"
#include "core/ole_time.h"
#include "core/text.h"
#include "file_texts.h"
#include "number_text.h"

namespace sondara {
namespace {

constexpr std::size_t kMaxSheetUnits = 31;  // Excel counts UTF-16 units
constexpr lxw_row_t kMaxRows = 1048576;

const std::vector<std::string> kHoleColumns = {"有效",     "序号",   "孔深", "真方位角", "倾角",       "地磁倾角",
                                               "总加速度", "总磁场", "温度", "时间",     "左右偏差",   "上下偏差",
                                               "东坐标",   "北坐标", "垂深", "水平位移", "平移方位角", "视平移"};
const std::vector<std::string> kParamColumns = {"钻孔名称", "钻杆长度",   "西磁偏角",
                                                "设计倾角", "设计真方位", "初始孔深"};

std::string AsciiLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The first `units` UTF-16 units, never splitting a surrogate pair.
std::u16string CutUnits(std::u16string s, std::size_t units) {
    if (s.size() <= units) return s;
    if (units > 0 && s[units - 1] >= 0xD800 && s[units - 1] <= 0xDBFF) --units;
    s.resize(units);
    return s;
}

// Undefined angles (a station at the origin has no direction) are left blank.
std::string AngleText(float value) { return std::isnan(value) ? std::string() : FixedText(value, 3); }

struct Workbook {
    lxw_workbook* book;
    ~Workbook() {
        if (book != nullptr) lxw_workbook_free(book);
    }
    // Writes the file; the workbook is gone afterwards in every case.
    lxw_error Close() {
        const lxw_error err = workbook_close(book);
        book = nullptr;
        return err;
    }
};

// The writer escapes control characters in cells, but U+FFFE and U+FFFF would make
// the workbook's XML unreadable: they become U+FFFD.
std::string CellText(std::string text) {
    for (std::size_t i = 0; (i = text.find("\xEF\xBF", i)) != std::string::npos; i += 2) {
        if (i + 2 < text.size() && (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) text[i + 2] = '\xBD';
    }
    return text;
}

// Returns how many rows could not be written.
int WriteRow(lxw_worksheet* sheet, lxw_row_t row, const std::vector<std::string>& texts) {
    for (std::size_t col = 0; col < texts.size(); ++col) {
        const std::string text = CellText(texts[col]);
        if (worksheet_write_string(sheet, row, static_cast<lxw_col_t>(col), text.c_str(), nullptr) != LXW_NO_ERROR) {
            return 1;
        }
    }
    return 0;
}

void ReportLostRows(const std::string& sheetName, int lost) {
    ShowMessage(std::string(kRowWriteFailedText) + "\n\n工作表“" + sheetName + "”有 " + std::to_string(lost) +
                    " 行未能写入（超出工作表的行数上限）。",
                kAppCaption, MessageIcon::Warning);
}

std::string WriteHoleSheet(lxw_workbook* book, const HoleSurvey& h, SheetNames& names) {
    const std::string wanted = Utf16ToUtf8(h.name);
    const std::string name = names.Take(h.name);
    if (name != wanted) {
        ShowMessage(std::string(kSheetCreateFailedText) + "\n\n钻孔“" + wanted +
                        "”的名称不能用作工作表名，其数据已写入工作表“" + name + "”。",
                    kAppCaption, MessageIcon::Warning);
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
    if (sheet == nullptr) return "worksheet " + name + " cannot be created";
    WriteRow(sheet, 0, kHoleColumns);
    int row = 0;
    int lost = 0;
    for (const ProbeRecord& r : h.records) {
        if ((r.flag & kStation) == 0) continue;
        if (static_cast<lxw_row_t>(row) + 1 >= kMaxRows)
            ++lost;
        else
            lost += WriteRow(sheet, static_cast<lxw_row_t>(row) + 1, HoleRowTexts(h, r, row));
        ++row;
    }
    if (lost > 0) ReportLostRows(name, lost);
    return {};
}

std::string WriteWorkbook(const SurveyStore& store, const std::string& file) {
    Workbook wb{workbook_new(file.c_str())};
    if (wb.book == nullptr) return "the workbook cannot be created";
    SheetNames names;
    for (const HoleSurvey& h : store.m_holes) {
        if (h.name.empty()) continue;
        std::string problem = WriteHoleSheet(wb.book, h, names);
        if (!problem.empty()) return problem;
    }
    lxw_worksheet* params = workbook_add_worksheet(wb.book, kParamsSheetName);
    if (params == nullptr) return "worksheet 初始参数 cannot be created";
    WriteRow(params, 0, kParamColumns);
    int lost = 0;
    for (std::size_t i = 0; i < store.m_holes.size(); ++i) {
        if (i + 1 >= kMaxRows)
            ++lost;
        else
            lost += WriteRow(params, static_cast<lxw_row_t>(i + 1), ParamsRowTexts(store.m_holes[i]));
    }
    if (lost > 0) ReportLostRows(kParamsSheetName, lost);
    const lxw_error err = wb.Close();
    return err == LXW_NO_ERROR ? std::string() : std::string(lxw_strerror(err));
}

}  // namespace

SheetNames::SheetNames() : taken_{AsciiLower(kParamsSheetName), "history"} {}

bool SheetNames::IsTaken(const std::string& name) const { return taken_.count(AsciiLower(name)) != 0; }

std::string SheetNames::Take(const std::u16string& holeName) {
    std::u16string name = holeName;
    for (char16_t& c : name) {
        // Control characters and U+FFFE, U+FFFF cannot stand in the workbook's XML at all.
        const bool unwritable = c < 0x20 || c == 0xFFFE || c == 0xFFFF;
        if (unwritable || std::u16string_view(u"[]:*?/\\").find(c) != std::u16string_view::npos) c = u'_';
    }
    if (!name.empty() && name.front() == u'\'') name.front() = u'_';
    name = CutUnits(std::move(name), kMaxSheetUnits);
    if (name.empty()) name.push_back(u'_');
    if (name.back() == u'\'') name.back() = u'_';
    std::string candidate = Utf16ToUtf8(name);
    if (IsTaken(candidate)) {
        int& next = nextSuffix_.try_emplace(AsciiLower(candidate), 2).first->second;
        do {
            const std::u16string suffix = Utf8ToUtf16(" (" + std::to_string(next++) + ")");
            candidate = Utf16ToUtf8(CutUnits(name, kMaxSheetUnits - suffix.size()) + suffix);
        } while (IsTaken(candidate));
    }
    taken_.insert(AsciiLower(candidate));
    return candidate;
}

std::vector<std::string> HoleRowTexts(const HoleSurvey& h, const ProbeRecord& r, int row) {
    return {"是",
            std::to_string(row),
            FixedText(r.depth, 1),
            FixedText(TrueAzimuth(r, h.gi), 1),
            FixedText(r.inc, 2),
            FixedText(r.DIP, 1),
            FixedText(r.GT, 4),
            FixedText(r.MT, 4),
            FixedText(r.tmp, 1),
            FormatOleTime(r.time),
            FixedText(LeftRightDeviation(r), 3),
            FixedText(UpDownDeviation(r), 3),
            FixedText(r.x, 3),
            FixedText(r.y, 3),
            FixedText(r.z, 3),
            FixedText(HorizontalDisplacement(r.x, r.y), 3),
            AngleText(DisplacementAzimuth(r.x, r.y)),
            AngleText(ApparentDisplacement(r, h.gi))};
}

std::vector<std::string> ParamsRowTexts(const HoleSurvey& h) {
    return {Utf16ToUtf8(h.name),  FixedText(h.pbLen, 3), FixedText(h.gi, 3),
            FixedText(h.dDip, 3), FixedText(h.dPos, 3),  FixedText(h.x0, 3)};
}

bool ExportExcel(const SurveyStore& store, const std::string& path) {
    const std::string problem =
        ReplaceFileAtomically(path, [&store](const std::string& temp) { return WriteWorkbook(store, temp); });
    if (problem.empty()) return true;
    ShowMessage(std::string(kExportFailedText) + "\n\n" + path + "\n" + problem, kAppCaption, MessageIcon::Warning);
    return false;
}

}  // namespace sondara
