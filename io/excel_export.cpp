#include "excel_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "atomic_file.h"
#include "core/derived.h"
#include "core/number_text.h"
#include "core/station_columns.h"
#include "core/text.h"

namespace sondara {
namespace {

constexpr std::size_t kMaxSheetUnits = 31;  // Excel counts UTF-16 units
constexpr lxw_row_t kMaxRows = 1048576;

// A hole sheet: "有效" and the row counter "序号", then these station quantities.
std::vector<StationQuantity> HoleSheetQuantities() {
    std::vector<StationQuantity> quantities = {
        StationQuantity::Depth,       StationQuantity::TrueAzimuth,  StationQuantity::Inclination,
        StationQuantity::MagneticDip, StationQuantity::TotalGravity, StationQuantity::TotalField,
        StationQuantity::Temperature, StationQuantity::Time,
    };
    quantities.insert(quantities.end(), std::begin(kComputedQuantities), std::end(kComputedQuantities));
    return quantities;
}

const std::vector<StationQuantity> kHoleSheetQuantities = HoleSheetQuantities();

const std::vector<std::string> kParamColumns = {"钻孔名称", "钻杆长度",   "西磁偏角",
                                                "设计倾角", "设计真方位", "初始孔深"};

// How each column's cells are written: text, or a number shown with that many
// decimals (the decimals of its exported text).
constexpr int kText = kTextQuantity;
const std::vector<int> kParamColumnDecimals = {kText, 3, 3, 3, 3, 3};

std::vector<std::string> MakeHoleColumnTitles() {
    std::vector<std::string> titles = {"有效", "序号"};
    for (StationQuantity q : kHoleSheetQuantities) titles.push_back(ColumnOf(q).title);
    return titles;
}

std::vector<int> MakeHoleColumnDecimals() {
    std::vector<int> decimals = {kText, 0};
    for (StationQuantity q : kHoleSheetQuantities) decimals.push_back(ColumnOf(q).decimals);
    return decimals;
}

const std::vector<std::string> kHoleColumns = MakeHoleColumnTitles();
const std::vector<int> kHoleColumnDecimals = MakeHoleColumnDecimals();

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

// The number formats "0", "0.0" ... "0.0000", made once per workbook.
class NumberFormats {
public:
    explicit NumberFormats(lxw_workbook* book) {
        std::string code = "0";
        for (int decimals = 0; decimals < static_cast<int>(formats_.size()); ++decimals) {
            formats_[decimals] = workbook_add_format(book);
            format_set_num_format(formats_[decimals], code.c_str());
            code += decimals == 0 ? ".0" : "0";
        }
    }
    lxw_format* For(int decimals) const { return formats_.at(static_cast<std::size_t>(decimals)); }

private:
    std::array<lxw_format*, 5> formats_{};
};

// One cell: the number its text shows (so the cell shows that very text), a blank
// for an undefined value, or the text itself where it is no finite number.
lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const std::string& text, int decimals,
                    const NumberFormats& formats) {
    if (decimals != kText) {
        if (text.empty()) return LXW_NO_ERROR;
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && std::isfinite(value)) {
            return worksheet_write_number(sheet, row, col, value, formats.For(decimals));
        }
    }
    return worksheet_write_string(sheet, row, col, CellText(text).c_str(), nullptr);
}

// Returns how many rows could not be written.
int WriteRow(lxw_worksheet* sheet, lxw_row_t row, const std::vector<std::string>& texts,
             const std::vector<int>& decimals, const NumberFormats& formats) {
    for (std::size_t col = 0; col < texts.size(); ++col) {
        if (WriteCell(sheet, row, static_cast<lxw_col_t>(col), texts[col], decimals[col], formats) != LXW_NO_ERROR) {
            return 1;
        }
    }
    return 0;
}

const std::vector<int> kHeaderDecimals(kHoleColumns.size(), kText);

void NoteLostRows(FileResult& result, const std::string& sheetName, int lost) {
    if (lost > 0) result.Note({FileProblemKind::RowsLost, {}, {}, sheetName, static_cast<std::uint64_t>(lost)});
}

std::string WriteHoleSheet(lxw_workbook* book, const HoleSurvey& h, SheetNames& names, const NumberFormats& formats,
                           FileResult& result) {
    const std::string wanted = Utf16ToUtf8(h.name);
    const std::string name = names.Take(h.name);
    if (name != wanted) result.Note({FileProblemKind::SheetRenamed, {}, wanted, name});
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
    if (sheet == nullptr) return "worksheet " + name + " cannot be created";
    WriteRow(sheet, 0, kHoleColumns, kHeaderDecimals, formats);
    int row = 0;
    int lost = 0;
    for (const ProbeRecord& r : h.records) {
        if ((r.flag & kStation) == 0) continue;
        if (static_cast<lxw_row_t>(row) + 1 >= kMaxRows)
            ++lost;
        else
            lost +=
                WriteRow(sheet, static_cast<lxw_row_t>(row) + 1, HoleRowTexts(h, r, row), kHoleColumnDecimals, formats);
        ++row;
    }
    NoteLostRows(result, name, lost);
    return {};
}

std::string WriteWorkbook(const SurveyStore& store, const std::string& file, FileResult& result) {
    // Rows go to temporary files beside the workbook (not to a /tmp that may live
    // in memory); the library removes them as it creates them.
    std::string tmpdir = std::filesystem::path(file).parent_path().string();
    if (tmpdir.empty()) tmpdir = ".";
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.data();
    Workbook wb{workbook_new_opt(file.c_str(), &options)};
    if (wb.book == nullptr) return "the workbook cannot be created";
    const NumberFormats formats(wb.book);
    SheetNames names;
    for (const HoleSurvey& h : store.m_holes) {
        if (h.name.empty()) continue;
        std::string problem = WriteHoleSheet(wb.book, h, names, formats, result);
        if (!problem.empty()) return problem;
    }
    lxw_worksheet* params = workbook_add_worksheet(wb.book, kParamsSheetName);
    if (params == nullptr) return "worksheet 初始参数 cannot be created";
    WriteRow(params, 0, kParamColumns, kHeaderDecimals, formats);
    int lost = 0;
    for (std::size_t i = 0; i < store.m_holes.size(); ++i) {
        if (i + 1 >= kMaxRows)
            ++lost;
        else
            lost += WriteRow(params, static_cast<lxw_row_t>(i + 1), ParamsRowTexts(store.m_holes[i]),
                             kParamColumnDecimals, formats);
    }
    NoteLostRows(result, kParamsSheetName, lost);
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

const std::vector<std::string>& HoleColumnTitles() { return kHoleColumns; }
const std::vector<std::string>& ParamsColumnTitles() { return kParamColumns; }

std::vector<std::string> HoleRowTexts(const HoleSurvey& h, const ProbeRecord& r, int row) {
    std::vector<std::string> texts = {"是", std::to_string(row)};
    texts.reserve(kHoleColumns.size());
    for (StationQuantity q : kHoleSheetQuantities) texts.push_back(StationText(q, r, h.gi));
    return texts;
}

std::vector<std::string> ParamsRowTexts(const HoleSurvey& h) {
    return {Utf16ToUtf8(h.name),
            FixedText(h.pbLen, 3),
            FixedText(h.gi, 3),
            FixedText(h.dDip, 3),
            FixedText(DesignTrueAzimuth(h), 3),
            FixedText(h.x0, 3)};
}

FileResult ExportExcel(const SurveyStore& store, const std::string& path) {
    FileResult result;
    if (auto refused = SaveTargetProblem(path)) {
        result.Fail(std::move(*refused));
        return result;
    }
    const std::string problem = ReplaceFileAtomically(
        path, [&store, &result](const std::string& temp) { return WriteWorkbook(store, temp, result); });
    if (!problem.empty()) result.Fail({FileProblemKind::ExportFailed, path, problem});
    return result;
}

}  // namespace sondara
