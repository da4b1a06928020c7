#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "io/excel_export.h"
#include "io/save_as.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

using nlohmann::json;
using Rows = std::vector<std::vector<std::string>>;

// Reads a workbook back with an independent reader: Debian's openpyxl. Gives the
// sheet names in order, every sheet's cells as the texts they show (a number in its
// number format), and every cell's kind ("n" number, "s" text, "" blank) with its
// number format.
json ReadWorkbook(const std::string& path) {
    test::TempDir dir;
    const std::string copy = dir / "copy.xlsx";  // openpyxl goes by the extension
    test::WriteBytes(copy, test::ReadBytes(path));
    test::WriteBytes(dir / "read.py", R"(
import json, sys, openpyxl
def shown(cell):
    v = cell.value
    if v is None:
        return ""
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        f = cell.number_format
        return "%.*f" % (len(f) - 2, v) if f.startswith("0.") else "%d" % v if f == "0" else repr(v)
    return v
def kind(cell):
    v = cell.value
    return ["" if v is None else "s" if isinstance(v, str) else "n", cell.number_format]
book = openpyxl.load_workbook(sys.argv[1])
print(json.dumps({"names": book.sheetnames,
                  "sheets": {ws.title: [[shown(c) for c in row] for row in ws.iter_rows()] for ws in book.worksheets},
                  "kinds": {ws.title: [[kind(c) for c in row] for row in ws.iter_rows()] for ws in book.worksheets}}))
)");
    const std::string command = "/usr/bin/python3 " + dir / "read.py" + " " + copy + " > " + dir / "out.json";
    if (std::system(command.c_str()) != 0) return nullptr;
    return json::parse(test::ReadBytes(dir / "out.json"));
}

ProbeRecord StationAt(float x, float y, float azi, int flag = kSampled | kStation) {
    ProbeRecord r;
    r.flag = flag;
    r.x = x;
    r.y = y;
    r.azi = azi;
    return r;
}

HoleSurvey Hole(std::u16string name, std::vector<ProbeRecord> records) {
    HoleSurvey h;
    h.params() = test::ParamsNamed(std::move(name), 0.0f);
    h.records = std::move(records);
    return h;
}

TEST(ExcelExport, Workbook_HoldsOneSheetPerNamedHoleThenTheParameters) {
    SurveyStore s;
    ProbeRecord first;
    first.flag = kStation;
    first.depth = 1.25f;
    first.azi = 97.5f;
    first.inc = 12.345f;
    first.DIP = 45.06f;
    first.GT = 1.00004f;
    first.MT = 0.48f;
    first.tmp = 21.55f;  // just under 21.55 as a float: "21.5", as printf has it
    first.time = test::TimeAt(3661);
    first.dy = -0.25f;
    first.dz = 0.1f;
    first.x = 3;
    first.y = -3;
    first.z = -1.5f;
    HoleSurvey k1 = Hole(u"K1", {first, StationAt(1, 1, 0, kSampled), StationAt(0, 0, 10)});
    k1.gi = 2.5f;
    s.m_holes = {k1, Hole(u"", {StationAt(1, 1, 0)}), Hole(u"孔二", {})};
    test::TempDir dir;
    RecordedMessages messages;
    ASSERT_TRUE(ShowFileResult(ExportExcel(s, dir / "out.xlsx")));
    EXPECT_TRUE(messages.messages().empty());
    const json book = ReadWorkbook(dir / "out.xlsx");
    ASSERT_FALSE(book.is_null());
    EXPECT_EQ(book["names"], json({"K1", "孔二", "初始参数"}));
    const Rows k1Rows = book["sheets"]["K1"];
    ASSERT_EQ(k1Rows.size(), 3u);  // header and the two stations: the sampled-only record is skipped
    EXPECT_EQ(k1Rows[0], (std::vector<std::string>{"有效", "序号", "孔深", "真方位角", "倾角", "地磁倾角", "总加速度",
                                                   "总磁场", "温度", "时间", "左右偏差", "上下偏差", "东坐标", "北坐标",
                                                   "垂深", "水平位移", "平移方位角", "视平移"}));
    EXPECT_EQ(k1Rows[1], (std::vector<std::string>{"是", "0", "1.2", "95.0", "12.35", "45.1", "1.0000", "0.4800",
                                                   "21.5", "2024-03-01  01:01:01", "-0.250", "0.100", "3.000", "-3.000",
                                                   "-1.500", "4.243", "135.000", "3.250"}));
    // The second exported station counts 1, not its record position 2; at the origin
    // the direction and the apparent displacement have no value and stay blank.
    EXPECT_EQ(k1Rows[2][1], "1");
    EXPECT_EQ(k1Rows[2][15], "0.000");
    EXPECT_EQ(k1Rows[2][16], "");
    EXPECT_EQ(k1Rows[2][17], "");
    EXPECT_EQ(book["sheets"]["孔二"].size(), 1u);  // header only
    const Rows params = book["sheets"]["初始参数"];
    ASSERT_EQ(params.size(), 4u);  // every hole, the unnamed one too
    EXPECT_EQ(params[0],
              (std::vector<std::string>{"钻孔名称", "钻杆长度", "西磁偏角", "设计倾角", "设计真方位", "初始孔深"}));
    // "设计真方位" is the design true azimuth the editor shows: stored 92 less the declination 2.5.
    EXPECT_EQ(params[1], (std::vector<std::string>{"K1", "1.500", "2.500", "10.000", "89.500", "1.000"}));
    EXPECT_EQ(params[2][0], "");
}

// A surveyor sums and charts the workbook: numbers are numeric cells whose format
// shows the exported decimals, texts stay texts, and a value without meaning is blank.
TEST(ExcelExport, Cells_AreNumbersInTheirDecimalsTextsStayTextsUndefinedIsBlank) {
    SurveyStore s;
    ProbeRecord station = StationAt(3, -3, 97.5f);
    station.time = test::TimeAt(3661);
    s.m_holes = {Hole(u"K1", {station, StationAt(0, 0, 10)})};
    test::TempDir dir;
    ASSERT_TRUE(ExportExcel(s, dir / "out.xlsx"));
    const json book = ReadWorkbook(dir / "out.xlsx");
    ASSERT_FALSE(book.is_null());
    const auto kinds = [](const json& row) {
        std::vector<std::string> out;
        for (const json& cell : row) out.push_back(cell[0].get<std::string>() + " " + cell[1].get<std::string>());
        return out;
    };
    const json& k1 = book["kinds"]["K1"];
    EXPECT_EQ(kinds(k1[0])[2], "s General");  // the header is text
    EXPECT_EQ(kinds(k1[1]),
              (std::vector<std::string>{"s General", "n 0", "n 0.0", "n 0.0", "n 0.00", "n 0.0", "n 0.0000", "n 0.0000",
                                        "n 0.0", "s General", "n 0.000", "n 0.000", "n 0.000", "n 0.000", "n 0.000",
                                        "n 0.000", "n 0.000", "n 0.000"}));
    EXPECT_EQ(kinds(k1[2])[16], " General");  // no direction at the origin: blank
    EXPECT_EQ(kinds(k1[2])[17], " General");
    EXPECT_EQ(kinds(book["kinds"]["初始参数"][1]),
              (std::vector<std::string>{"s General", "n 0.000", "n 0.000", "n 0.000", "n 0.000", "n 0.000"}));
}

TEST(ExcelExport, EmptyStore_HasOnlyTheParameterSheet) {
    test::TempDir dir;
    ASSERT_TRUE(ShowFileResult(ExportExcel(SurveyStore{}, dir / "e.xlsx")));
    const json book = ReadWorkbook(dir / "e.xlsx");
    EXPECT_EQ(book["names"], json({"初始参数"}));
    EXPECT_EQ(book["sheets"]["初始参数"].size(), 1u);
}

TEST(ExcelExport, DerivedColumns_ComeFromTheSharedFunctions) {
    struct Case {
        float x, y, azi, gi;
        const char* trueAzimuth;
        const char* bearing;
        const char* apparent;
    };
    const Case cases[] = {
        {3, -3, 90, 0, "90.0", "135.000", "3.000"},
        {5, 0, 0, 0, "0.0", "90.000", "0.000"},        // due East
        {-5, 0, 270, 0, "270.0", "270.000", "5.000"},  // due West
        {0, 4, 0, 0, "0.0", "0.000", "4.000"},
        {0, 4, 10, 5, "5.0", "0.000", "3.985"},  // V against the true azimuth, azimuth less declination: cos(-5°)
    };
    for (const Case& c : cases) {
        HoleSurvey h = Hole(u"H", {});
        h.gi = c.gi;
        const std::vector<std::string> row = HoleRowTexts(h, StationAt(c.x, c.y, c.azi), 0);
        EXPECT_EQ(row[3], c.trueAzimuth);
        EXPECT_EQ(row[16], c.bearing) << c.x << "," << c.y;
        EXPECT_EQ(row[17], c.apparent) << c.x << "," << c.y;
    }
}

TEST(ExcelExport, NameTheWorkbookCannotTake_GetsAnAcceptableSheetName) {
    struct Case {
        std::vector<std::u16string> holes;
        std::vector<std::string> sheets;
    };
    const std::u16string forty = u"0123456789012345678901234567890123456789";
    const Case cases[] = {
        {{u"K1", u"K1", u"k1", u"K1 (2)"}, {"K1", "K1 (2)", "k1 (3)", "K1 (2) (2)"}},  // repeats compare without case
        {{u"初始参数", u"History"}, {"初始参数 (2)", "History (2)"}},
        {{u"A/B:C*D?[E]\\"}, {"A_B_C_D__E__"}},
        {{u"'K'"}, {"_K_"}},
        {{u"A\u0001B\nC\uFFFF"}, {"A_B_C_"}},  // characters the workbook's XML cannot hold
        {{forty, forty}, {"0123456789012345678901234567890", "012345678901234567890123456 (2)"}},
        {{u"012345678901234567890123456789😀"}, {"012345678901234567890123456789"}},    // no half surrogate pair
        {{u"01234567890123456789012345678'x"}, {"01234567890123456789012345678'x"}},   // inside is fine
        {{u"012345678901234567890123456789'x"}, {"012345678901234567890123456789_"}},  // the cut ends in an apostrophe
    };
    for (const Case& c : cases) {
        SheetNames names;
        std::vector<std::string> sheets;
        for (const auto& hole : c.holes) sheets.push_back(names.Take(hole));
        EXPECT_EQ(sheets, c.sheets);
    }
}

TEST(ExcelExport, ManyHolesOfOneName_GetNumberedSheetsQuickly) {
    SheetNames names;
    for (int i = 1; i < 20000; ++i) names.Take(u"K");
    EXPECT_EQ(names.Take(u"K"), "K (20000)");
}

TEST(ExcelExport, HoleWithABadSheetName_KeepsItsRowsAndIsReportedOnce) {
    SurveyStore s;
    s.m_holes = {Hole(u"K1", {StationAt(1, 1, 0)}), Hole(u"K1", {StationAt(2, 2, 0), StationAt(3, 3, 0)}),
                 Hole(u"A/B", {StationAt(4, 4, 0)})};
    test::TempDir dir;
    RecordedMessages messages;
    ASSERT_TRUE(ShowFileResult(ExportExcel(s, dir / "out.xlsx")));
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].text.find(kSheetCreateFailedText), 0u);
    EXPECT_NE(messages.messages()[0].text.find("K1 (2)"), std::string::npos);
    EXPECT_NE(messages.messages()[1].text.find("A_B"), std::string::npos);
    const json book = ReadWorkbook(dir / "out.xlsx");
    EXPECT_EQ(book["names"], json({"K1", "K1 (2)", "A_B", "初始参数"}));
    EXPECT_EQ(book["sheets"]["K1"].size(), 2u);
    EXPECT_EQ(book["sheets"]["K1 (2)"].size(), 3u);
    EXPECT_EQ(book["sheets"]["初始参数"][2][0], "K1");  // the parameter rows keep the hole's own name
}

TEST(ExcelExport, NameWithCharactersTheXmlCannotHold_StillGivesAReadableWorkbook) {
    SurveyStore s;
    s.m_holes = {Hole(u"A\u0001B", {StationAt(1, 1, 0)}), Hole(u"C\nD\uFFFF", {StationAt(2, 2, 0)})};
    test::TempDir dir;
    RecordedMessages messages;
    ASSERT_TRUE(ShowFileResult(ExportExcel(s, dir / "out.xlsx")));
    const json book = ReadWorkbook(dir / "out.xlsx");
    ASSERT_FALSE(book.is_null());
    EXPECT_EQ(book["names"], json({"A_B", "C_D_", "初始参数"}));
    EXPECT_EQ(book["sheets"]["初始参数"][2][0], "C\nD\uFFFD");
}

TEST(ExcelExport, FailedExport_KeepsTheOldWorkbook) {
    test::TempDir dir;
    test::WriteBytes(dir / "old.xlsx", "old workbook");
    SurveyStore big;
    big.m_holes = {Hole(u"K1", std::vector<ProbeRecord>(3000, StationAt(1, 2, 3)))};
    RecordedMessages messages;
    const bool exported =
        test::WithFileSizeLimit(2048, [&] { return ShowFileResult(ExportExcel(big, dir / "old.xlsx")); });
    EXPECT_FALSE(exported);
    EXPECT_EQ(test::ReadBytes(dir / "old.xlsx"), "old workbook");
    EXPECT_FALSE(ShowFileResult(ExportExcel(big, dir / "none/x.xlsx")));
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].text.find(kExportFailedText), 0u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.xlsx"});
}

// What each chosen name writes, whatever its letter case.
TEST(SaveAs, Extension_DecidesWhatIsWritten) {
    const SurveyStore s = test::RawTwoHoleSurvey();
    struct Case {
        std::string name;
        const char* starts;
    };
    const Case cases[] = {
        {"a.bhx", "QRVTMWLN"},    {"a.BHX", "QRVTMWLN"},   {"a.Bhx", "QRVTMWLN"},  {"a.xlsx", "PK\x03\x04"},
        {"a.XLSX", "PK\x03\x04"}, {"a.Xls", "PK\x03\x04"},  // an .xls name gets an .xlsx workbook
        {"a.txt", nullptr},       {"a", nullptr},          {"a.bhx.bak", nullptr}, {".bhx", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        RecordedMessages messages;
        const bool written = ShowFileResult(SaveAs(s, dir / c.name));
        EXPECT_EQ(written, c.starts != nullptr);
        if (c.starts != nullptr) {
            EXPECT_TRUE(messages.messages().empty());
            EXPECT_EQ(test::ReadBytes(dir / c.name).substr(0, 4), std::string(c.starts).substr(0, 4));
            EXPECT_EQ(dir.Names(), std::vector<std::string>{c.name});  // no other file touched
        } else {
            ASSERT_EQ(messages.messages().size(), 1u);
            EXPECT_EQ(messages.messages()[0].text.find(kUnsupportedExtensionText), 0u);
            EXPECT_TRUE(dir.Names().empty());
        }
    }
}

}  // namespace
}  // namespace sondara
