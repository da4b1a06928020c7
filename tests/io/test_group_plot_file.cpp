#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "io/group_plot_file.h"
#include "io/narrow_text.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

using test::StationRow;

HoleSurvey Hole(std::u16string name, int stations) {
    HoleSurvey h;
    h.name = std::move(name);
    for (int i = 0; i < stations; ++i) h.records.push_back(StationRow(i, 0, 0, 0, 0, 0, 0));
    return h;
}

std::string Bytes(const SurveyStore& s, const std::string& codeSet = "UTF-8") {
    return GroupPlotFileBytes(s, codeSet).value_or("<none>");
}

TEST(GroupPlotFile, TwoMatchingHoles_GiveNameLinesThenStationBlocks) {
    SurveyStore s;
    s.m_holes = {Hole(u"A", 3), Hole(u"B", 2)};
    s.m_holes[0].records.insert(s.m_holes[0].records.begin() + 1, StationRow(9, 9, 9, 9, 9, 9, 9, kSampled));
    s.m_holeParams = {s.m_holes[0].params(), s.m_holes[1].params()};
    const std::string row0 =
        "    0.000000     0.000000     0.000000     0.000000     0.000000     0.000000      0 \r\n";
    const std::string row1 =
        "    1.000000     0.000000     0.000000     0.000000     0.000000     0.000000      0 \r\n";
    const std::string row2 =
        "    2.000000     0.000000     0.000000     0.000000     0.000000     0.000000      0 \r\n";
    EXPECT_EQ(Bytes(s), "2\r\nA 3\r\nB 2\r\n\r\n" + row0 + row1 + row2 + "\r\n" + row0 + row1 + "\r\n");
}

TEST(GroupPlotFile, Station_IsOneLineOf85Characters) {
    SurveyStore s;
    s.m_holes = {Hole(u"K", 0)};
    s.m_holes[0].records = {StationRow(1.5f, -0.25f, 0.1f, 10, 20, -3, 1)};
    s.m_holeParams = {s.m_holes[0].params()};
    const std::string line = "    1.500000    -0.250000     0.100000    10.000000    20.000000    -3.000000      1 ";
    ASSERT_EQ(line.size(), 85u);
    EXPECT_EQ(Bytes(s), "1\r\nK 1\r\n\r\n" + line + "\r\n\r\n");
}

TEST(GroupPlotFile, HolesNotMatchingTheirEntry_AreLeftOut) {
    struct Case {
        const char* what;
        std::vector<std::u16string> holes, params;
        std::string head;
    };
    const Case cases[] = {
        {"more entries than holes", {u"A", u"B"}, {u"A", u"B", u"C"}, "3\r\nA 1\r\nB 1\r\n\r\n"},
        {"name differs", {u"A", u"B"}, {u"A", u"X"}, "2\r\nA 1\r\n\r\n"},
        {"no entries", {u"A"}, {}, "0\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SurveyStore s;
        for (const auto& n : c.holes) s.m_holes.push_back(Hole(n, 1));
        for (const auto& n : c.params) s.m_holeParams.push_back(test::ParamsNamed(n));
        EXPECT_EQ(Bytes(s).substr(0, c.head.size()), c.head);
        const std::size_t blocks = std::count(c.head.begin(), c.head.end(), ' ');
        EXPECT_EQ(Bytes(s).size(), c.head.size() + blocks * (85 + 4));
    }
}

TEST(GroupPlotFile, HoleWithoutStations_HasZeroAndAnEmptyBlock) {
    SurveyStore s;
    s.m_holes = {Hole(u"A", 0)};
    s.m_holeParams = {test::ParamsNamed(u"A")};
    EXPECT_EQ(Bytes(s), "1\r\nA 0\r\n\r\n\r\n");
}

TEST(GroupPlotFile, LongNameAndNumbers_AreWrittenWhole) {
    SurveyStore s;
    const std::u16string longName(40, u'名');  // 120 bytes of UTF-8
    s.m_holes = {Hole(longName, 0)};
    s.m_holes[0].records = {StationRow(1e30f, 0, 0, -3e38f, 0, 0, -2147483647)};
    s.m_holeParams = {s.m_holes[0].params()};
    const std::string bytes = Bytes(s);
    EXPECT_NE(bytes.find("1000000015047466219876688855040.000000 "), std::string::npos);
    EXPECT_NE(bytes.find("-300000000549775575777803994281145270272.000000 "), std::string::npos);
    EXPECT_NE(bytes.find("-2147483647 \r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n", 3), 3 + 120 + 2);  // the whole name line
}

TEST(GroupPlotFile, Names_AreInTheNarrowCodeSet) {
    SurveyStore s;
    s.m_holes = {Hole(u"孔1", 0)};
    s.m_holeParams = {s.m_holes[0].params()};
    EXPECT_EQ(Bytes(s, "GBK"),
              "1\r\n\xBF\xD7"
              "1 0\r\n\r\n\r\n");
    EXPECT_EQ(Bytes(s, "UTF-8"),
              "1\r\n\xE5\xAD\x94"
              "1 0\r\n\r\n\r\n");
    std::string bad;
    EXPECT_FALSE(GroupPlotFileBytes(s, "ISO-8859-1", &bad).has_value());
    EXPECT_EQ(bad, "孔1");
}

TEST(GroupPlotFile, Write_ReportsNoHolesAndUnwritablePaths) {
    test::TempDir dir;
    SurveyStore s;
    s.m_holes = {Hole(u"孔1", 1)};
    s.m_holeParams = {s.m_holes[0].params()};
    RecordedMessages messages;
    ASSERT_TRUE(ShowFileResult(WriteGroupPlotFile(s, dir / "gpv.txt")));
    EXPECT_EQ(test::ReadBytes(dir / "gpv.txt"), Bytes(s, NarrowCodeSet()));
    EXPECT_FALSE(ShowFileResult(WriteGroupPlotFile(s, dir / "no/gpv.txt")));
    EXPECT_FALSE(ShowFileResult(WriteGroupPlotFile(SurveyStore{}, dir / "empty.txt")));
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].text.find(kGroupPlotFileFailedText), 0u);
    EXPECT_EQ(messages.messages()[1].text, kNoHolesText);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"gpv.txt"});
}

TEST(GroupPlotFile, FixedPath_IsInTheUsersCacheFolder) {
    const char* savedCache = std::getenv("XDG_CACHE_HOME");
    const std::string saved = savedCache ? savedCache : "";
    setenv("XDG_CACHE_HOME", "/x/cache", 1);
    EXPECT_EQ(GroupPlotFilePath(), "/x/cache/sondara/gpv.txt");
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(GroupPlotFilePath(), std::string(std::getenv("HOME")) + "/.cache/sondara/gpv.txt");
    if (savedCache) setenv("XDG_CACHE_HOME", saved.c_str(), 1);
}

}  // namespace
}  // namespace sondara
