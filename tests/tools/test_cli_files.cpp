// sondara-cli's file commands, run as a user would run them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "core/text.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"

namespace sondara {
namespace {

using nlohmann::json;

struct Result {
    int status;
    std::string out, err;
};

Result Cli(const test::TempDir& dir, const std::string& args) {
    const std::string command =
        "cd " + dir.path() + " && TZ=UTC " SONDARA_CLI " " + args + " > stdout.txt 2> stderr.txt";
    const int raw = std::system(command.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(dir / "stdout.txt"),
             test::ReadBytes(dir / "stderr.txt")};
    std::filesystem::remove(dir / "stdout.txt");
    std::filesystem::remove(dir / "stderr.txt");
    return r;
}

const char kSurveyJson[] = R"({"gi": 2, "probe": [
 {"idx":0,"flag":0,"inc":10,"azi":95,"tmp":20,"GTF":0,"MTF":0,"DIP":45,"GT":1,"MT":0.5,"volt":3.6,"depth":0,"time":1709251205,
  "x":0,"y":0,"z":0,"dx":0,"dy":0,"dz":0},
 {"idx":1,"flag":0,"inc":11,"azi":96,"tmp":20,"GTF":0,"MTF":0,"DIP":45,"GT":1,"MT":0.5,"volt":3.6,"depth":0,"time":1709251305,
  "x":0,"y":0,"z":0,"dx":0,"dy":0,"dz":0}],
 "sampler": [{"name":"孔1","pbLen":1.5,"dDip":10,"dPos":97,"x0":1,"y0":0,"z0":0,"e0":100,"n0":200,"d0":-50,
   "samples":[{"t":1709251200,"i":1},{"t":1709251300}]}]})";

TEST(Cli, EveryCommand_RunsOnASurvey) {
    test::TempDir dir;
    test::WriteBytes(dir / "s.json", kSurveyJson);
    ASSERT_EQ(Cli(dir, "import-json s.json -o a.bhx").status, 0);
    ASSERT_EQ(Cli(dir, "open a.bhx a.bhx -o m.bhx").status, 0);
    const SurveyImage merged = ParseSurveyImage(test::ReadBytes(dir / "m.bhx"));
    EXPECT_EQ(merged.probeRecords.size(), 4u);
    EXPECT_EQ(merged.holes.size(), 2u);  // each file brings its hole; nothing is rebuilt
    EXPECT_EQ(Cli(dir, "export a.bhx -o a.xlsx").status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "a.xlsx").substr(0, 2), "PK");
    EXPECT_EQ(Cli(dir, "gpv s.json -o g.txt").status, 0);
    const std::string head = "1\r\n孔1 2\r\n\r\n";
    EXPECT_EQ(test::ReadBytes(dir / "g.txt").substr(0, head.size()), head);

    const Result dump = Cli(dir, "dump a.bhx");
    ASSERT_EQ(dump.status, 0) << dump.err;
    const json store = json::parse(dump.out);
    EXPECT_EQ(store["fileMode"], 1);
    EXPECT_EQ(store["holes"][0]["name"], "孔1");
    EXPECT_EQ(store["holes"][0]["error"], "");
    const json& station = store["holes"][0]["records"][1];
    EXPECT_EQ(station["depth"], 2.5);
    EXPECT_EQ(station["time"]["status"], 0);
    EXPECT_EQ(station["volt"].get<float>(), 3.6f);  // floats read back to the same float
    EXPECT_EQ(station["x"].get<float>(), ParseSurveyImage(test::ReadBytes(dir / "a.bhx")).holes[0].records[1].x);
    EXPECT_EQ(json::parse(Cli(dir, "dump s.json").out)["fileMode"], 2);
}

TEST(Cli, NonFiniteValuesAndErrorTexts_AreDumped) {
    test::TempDir dir;
    SurveyStore s;
    s.m_probeRecords.resize(1);
    s.m_probeRecords[0].inc = NAN;
    s.m_probeRecords[0].azi = INFINITY;
    s.m_probeRecords[0].tmp = -INFINITY;
    s.m_probeRecords[0].time.status = kTimeInvalid;
    test::WriteBytes(dir / "n.bhx", SurveyFileBytes(s));
    const Result dump = Cli(dir, "dump n.bhx");
    ASSERT_EQ(dump.status, 0);
    const json store = json::parse(dump.out);
    EXPECT_EQ(store["probeRecords"][0]["inc"], "nan");
    EXPECT_EQ(store["probeRecords"][0]["azi"], "inf");
    EXPECT_EQ(store["probeRecords"][0]["tmp"], "-inf");
    EXPECT_EQ(store["probeRecords"][0]["time"]["status"], 1);
    EXPECT_EQ(store["holes"][0]["error"], "无该孔初始参数！");  // rebuilt on load: one unnamed hole
}

TEST(Cli, Failures_ExitWithOneAndWriteNothing) {
    test::TempDir dir;
    test::WriteBytes(dir / "good.bhx", SurveyFileBytes(test::RawTwoHoleSurvey()));
    test::WriteBytes(dir / "bad.bhx", "QRVTMWLN\x05");
    test::WriteBytes(dir / "bad.json", "{\"gi\": }");
    struct Case {
        std::string args;
        const char* stderrHas;
    };
    const Case cases[] = {
        {"open good.bhx bad.bhx -o out.bhx", "数据文件已损坏"},
        {"open good.bhx missing.bhx -o out.bhx", "打开文档失败。"},
        {"import-json bad.json -o out.bhx", "JSON 文件解析失败"},
        {"export good.bhx -o out.doc", "不支持的文件类型"},
        {"gpv bad.bhx -o out.txt", "数据文件已损坏"},
        {"open good.bhx", "usage"},
        {"dump good.bhx extra.bhx", "usage"},
        {"export good.bhx -x -o out.xlsx", "unknown option"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Cli(dir, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.stderrHas), std::string::npos) << r.err;
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad.bhx", "bad.json", "good.bhx"}));
    }
    EXPECT_EQ(Cli(dir, "export --help").status, 0);
}

// Nobody is asked on the command line: names the file cannot keep whole are listed
// on stderr and shortened, names that would merge and read-only targets fail.
TEST(Cli, LongNamesAndReadOnlyTargets_AreNamedOnStderr) {
    test::TempDir dir;
    std::string longName = kSurveyJson;
    longName.replace(longName.find("孔1"), std::string("孔1").size(), "North-Panel-001");
    test::WriteBytes(dir / "long.json", longName);
    std::string twoLong = longName;
    twoLong.replace(
        twoLong.find("]}]}"), 4,
        R"(]}, {"name":"North-Panel-002","pbLen":1,"dDip":0,"dPos":0,"x0":0,"y0":0,"z0":0,"e0":0,"n0":0,"d0":0}]})");
    test::WriteBytes(dir / "two.json", twoLong);

    Result r = Cli(dir, "import-json long.json -o long.bhx");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("“North-Panel-001” → “North-Panel-”"), std::string::npos) << r.err;
    EXPECT_EQ(Utf16ToUtf8(ParseSurveyImage(test::ReadBytes(dir / "long.bhx")).holes[0].name), "North-Panel-");

    r = Cli(dir, "import-json two.json -o two.bhx");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("重名"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("“North-Panel-002” → “North-Panel-”"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "two.bhx"));

    test::WriteBytes(dir / "ro.bhx", "old");
    ::chmod((dir / "ro.bhx").c_str(), 0444);
    r = Cli(dir, "open long.bhx -o ro.bhx");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("只读"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadBytes(dir / "ro.bhx"), "old");
}

}  // namespace
}  // namespace sondara
