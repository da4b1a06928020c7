#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/text.h"
#include "io/group_plot_file.h"
#include "io/group_plot_reader.h"
#include "tests/io/io_fixtures.h"

namespace sondara {
namespace {

ProbeRecord Station(float depth, float dy, float dz, float x, float y, float z, int mark) {
    return test::StationRow(depth, dy, dz, x, y, z, mark, kSampled | kStation);
}

// Holes as the writer sees them: names with spaces (also at the end), Chinese, a
// hole without stations, mine coordinates, negative values, marks.
SurveyStore Survey() {
    SurveyStore s;
    const std::u16string names[] = {u"3 号 孔", u"B ", u"空孔"};
    for (const std::u16string& name : names) {
        HoleSurvey h;
        h.name = name;
        s.m_holes.push_back(h);
        s.m_holeParams.push_back(h.params());
    }
    s.m_holes[0].records = {Station(1.5f, -0.25f, 0.1f, 39500010.f, 4200020.f, -3.f, 1),
                            Station(3.f, -0.5f, 0.2f, 39500011.f, 4200021.f, -3.5f, 0)};
    s.m_holes[0].records.insert(s.m_holes[0].records.begin() + 1, ProbeRecord{});  // not a station
    s.m_holes[1].records = {Station(2.f, 1.f, -1.f, -10.f, 20.f, 0.f, 2)};
    return s;
}

TEST(GroupPlotReader, ReadsBackWhatTheWriterWrites_InEveryCodeSet) {
    for (const std::string codeSet : {"UTF-8", "GB18030"}) {
        const SurveyStore s = Survey();
        const std::optional<std::string> bytes = GroupPlotFileBytes(s, codeSet);
        ASSERT_TRUE(bytes);
        const GroupPlotRead read = ParseGroupPlotText(*bytes, codeSet);
        ASSERT_TRUE(read.ok()) << codeSet << " fault " << int(read.fault) << " at line " << read.line;
        ASSERT_EQ(read.holes.size(), 3u);
        EXPECT_EQ(read.holes[0].name, "3 号 孔");
        EXPECT_EQ(read.holes[1].name, "B ");
        EXPECT_EQ(read.holes[2].name, "空孔");
        ASSERT_EQ(read.holes[0].stations.size(), 2u);
        EXPECT_TRUE(read.holes[2].stations.empty());
        const GroupPlotStation& a = read.holes[0].stations[0];
        EXPECT_FLOAT_EQ(a.depth, 1.5f);
        EXPECT_FLOAT_EQ(a.dy, -0.25f);
        EXPECT_FLOAT_EQ(a.x, 39500010.f);
        EXPECT_FLOAT_EQ(a.y, 4200020.f);
        EXPECT_FLOAT_EQ(a.z, -3.f);
        EXPECT_EQ(a.mark, 1);
        EXPECT_EQ(read.holes[1].stations[0].mark, 2);
        EXPECT_FLOAT_EQ(read.holes[1].stations[0].x, -10.f);
    }
}

TEST(GroupPlotReader, LineEndsOfEitherKindAndTheWriterEdgeCases) {
    // LF only (a file copied through a Unix tool), and a survey that selects no hole.
    const GroupPlotRead lf = ParseGroupPlotText("1\nA 1\n\n 1.0 2.0 3.0 4.0 5.0 6.0 0 \n\n", "UTF-8");
    ASSERT_TRUE(lf.ok());
    EXPECT_FLOAT_EQ(lf.holes[0].stations[0].z, 6.0f);
    const GroupPlotRead none = ParseGroupPlotText("3\r\n\r\n", "UTF-8");
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.holes.empty());
}

TEST(GroupPlotReader, MalformedFile_IsRefusedWithTheLineThatIsWrong) {
    const std::string station =
        "    1.000000     0.000000     0.000000     1.000000     2.000000     3.000000      0 \r\n";
    struct Case {
        std::string text;
        GroupPlotFault fault;
        int line;
    };
    const Case cases[] = {
        {"", GroupPlotFault::MissingLine, 1},
        {"two\r\n", GroupPlotFault::BadEntryCount, 1},
        {"1\r\nA\r\n\r\n", GroupPlotFault::BadNameLine, 2},                           // no count
        {"1\r\nA x\r\n\r\n", GroupPlotFault::BadNameLine, 2},                         // count not a number
        {"1\r\nA -1\r\n\r\n", GroupPlotFault::BadNameLine, 2},                        // negative count
        {"1\r\nA 1\r\n", GroupPlotFault::MissingLine, 3},                             // no empty line after the names
        {"1\r\nA 2\r\n\r\n" + station, GroupPlotFault::MissingLine, 5},               // cut short
        {"1\r\nA 2\r\n\r\n" + station + "\r\n", GroupPlotFault::BadStationLine, 5},   // fewer stations than said
        {"1\r\nA 1\r\n\r\n 1 2 3 4 5 6\r\n\r\n", GroupPlotFault::BadStationLine, 4},  // no mark
        {"1\r\nA 1\r\n\r\n 1 2 3 4 5 6 0 7\r\n\r\n", GroupPlotFault::BadStationLine, 4},  // one too many
        {"1\r\nA 1\r\n\r\n 1 2 3 4 5,5 6 0\r\n\r\n", GroupPlotFault::BadStationLine, 4},  // decimal comma
        {"1\r\nA 1\r\n\r\n 1 2 3 4 5 6 0.5\r\n\r\n", GroupPlotFault::BadStationLine, 4},  // mark not whole
        {"2\r\nA 1\r\nB 0\r\n\r\n" + station + station + "\r\n", GroupPlotFault::MissingBlankLine, 6},
        {"1\r\nA 1\r\n\r\n" + station, GroupPlotFault::MissingBlankLine, 5},
        {"1\r\nA 1\r\n\r\n" + station + "\r\nB 1\r\n", GroupPlotFault::TrailingText, 6},
        {"1\r\nA\xff 1\r\n\r\n", GroupPlotFault::BadEncoding, 2},
    };
    for (const Case& c : cases) {
        const GroupPlotRead read = ParseGroupPlotText(c.text, "UTF-8");
        EXPECT_EQ(read.fault, c.fault) << c.text;
        EXPECT_EQ(read.line, c.line) << c.text;
        EXPECT_TRUE(read.holes.empty()) << c.text;
    }
}

TEST(GroupPlotReader, AFileThatCannotBeRead_SaysWhy) {
    const auto dir = std::filesystem::temp_directory_path() / "gpv-reader-test";
    std::filesystem::create_directories(dir);
    const GroupPlotRead missing = ReadGroupPlotFile((dir / "absent.txt").string());
    EXPECT_EQ(missing.fault, GroupPlotFault::CannotRead);
    EXPECT_FALSE(missing.detail.empty());
    const GroupPlotRead folder = ReadGroupPlotFile(dir.string());  // never blocks or reads a folder
    EXPECT_EQ(folder.fault, GroupPlotFault::CannotRead);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace sondara
