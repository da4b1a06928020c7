#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/time_seam.h"
#include "io/json_import.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

using nlohmann::json;

constexpr std::int64_t kMarch1 = 1709251200;  // 2024-03-01 00:00:00 UTC

json ProbeJson(std::int64_t time, double inc, double azi, int flag = 0) {
    return {{"idx", 4}, {"flag", flag}, {"inc", inc}, {"azi", azi},  {"tmp", 20.5}, {"GTF", 1},     {"MTF", 2},
            {"DIP", 3}, {"GT", 1.001},  {"MT", 0.5},  {"volt", 3.6}, {"depth", 0},  {"time", time}, {"x", 0},
            {"y", 0},   {"z", 0},       {"dx", 0},    {"dy", 0},     {"dz", 0}};
}

json SamplerJson(const std::string& name, std::vector<json> samples) {
    json s = {{"name", name}, {"pbLen", 1.5}, {"dDip", 10}, {"dPos", 97}, {"x0", 1},
              {"y0", 0},      {"z0", 0},      {"e0", 100},  {"n0", 200},  {"d0", -50}};
    if (!samples.empty()) s["samples"] = std::move(samples);
    return s;
}

// Two holes, each with three samples 5 s after their synchronizer records.
json TwoHoleSurvey() {
    json doc = {{"gi", 5}, {"probe", json::array()}};
    std::vector<json> first, second;
    for (int i = 0; i < 6; ++i) {
        const std::int64_t t = kMarch1 + 100 * i;
        doc["probe"].push_back(ProbeJson(t + 5, 10 + i, 95 + i));
        (i < 3 ? first : second).push_back(json{{"t", t}, {"i", i == 1 ? 1 : 0}});
    }
    doc["sampler"] = {SamplerJson("K1", first), SamplerJson("孔二", second)};
    return doc;
}

struct Import {
    bool ok;
    SurveyStore store;
    std::vector<Message> messages;
};

Import ImportText(const std::string& text) {
    ScopedTimeSeam utc8(FixedTimeSeam(8 * 3600, 0));
    RecordedMessages recorded;
    SurveyStore store;
    const bool ok = ShowFileResult(LoadJsonSurvey(store, text));
    return {ok, std::move(store), recorded.messages()};
}

TEST(JsonImport, Survey_LandsInTheRecordsAndIsAssembledAndComputed) {
    const Import r = ImportText(TwoHoleSurvey().dump());
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.messages.empty());
    const SurveyStore& s = r.store;
    ASSERT_EQ(s.m_probeRecords.size(), 6u);
    const ProbeRecord& p = s.m_probeRecords[0];
    EXPECT_EQ(p.idx, 4);
    EXPECT_EQ(p.inc, 10.0f);
    EXPECT_EQ(p.tmp, 20.5f);
    EXPECT_EQ(p.GT, 1.001f);
    EXPECT_EQ(p.volt, 3.6f);
    EXPECT_EQ(p.mark, kMarkNone);
    EXPECT_EQ(p.time.status, kTimeValid);
    EXPECT_EQ(FormatOleTime(p.time), "2024-03-01  08:00:05");  // local time, UTC+8
    ASSERT_EQ(s.m_syncRecords.size(), 6u);
    EXPECT_EQ(s.m_syncRecords[1].mark, kMarkCoal);
    EXPECT_EQ(s.m_syncRecords[4].flag, 3);
    ASSERT_EQ(s.m_holeParams.size(), 2u);
    EXPECT_EQ(s.m_holeParams[1].name, u"孔二");
    EXPECT_EQ(s.m_holeParams[1].gi, 5.0f);
    EXPECT_EQ(s.m_holeParams[1].d0, -50.0f);
    ASSERT_EQ(s.m_holes.size(), 2u);
    EXPECT_EQ(s.m_holes[1].name, u"孔二");
    ASSERT_EQ(s.m_holes[0].records.size(), 3u);
    EXPECT_EQ(s.m_holes[0].records[1].mark, kMarkCoal);
    EXPECT_EQ(s.m_holes[0].records[2].depth, 4.0f);
    EXPECT_EQ(s.m_holes[0].records[0].x, 100.0f);
    EXPECT_TRUE(s.m_holes[0].error.empty());
}

TEST(JsonImport, Samplers_NumberTheirSamplesAndHoles) {
    json doc = {{"gi", 0},
                {"sampler",
                 {SamplerJson("A", {{{"t", 1}}, {{"t", 2}}, {{"t", 3}}}), SamplerJson("B", {{{"t", 4}}, {{"t", 5}}}),
                  SamplerJson("C", {})}}};
    const Import r = ImportText(doc.dump());
    ASSERT_TRUE(r.ok);
    std::vector<std::pair<int, int>> numbers;
    for (const SyncRecord& s : r.store.m_syncRecords) numbers.emplace_back(s.idx, s.hole);
    EXPECT_EQ(numbers, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(r.store.m_holeParams.size(), 3u);  // a sampler without samples keeps its place
}

// One value in one place, and what it becomes.
TEST(JsonImport, EachValue_BecomesItsFieldByTheConversionRules) {
    struct Case {
        const char* what;
        std::function<void(json&)> edit;
        std::function<void(const SurveyStore&)> check;
    };
    const auto probe = [](const SurveyStore& s) { return s.m_probeRecords.at(0); };
    const auto mark = [](const SurveyStore& s) { return s.m_syncRecords.at(0).mark; };
    const Case cases[] = {
        {"int from true", [](json& d) { d["probe"][0]["idx"] = true; }, [&](auto& s) { EXPECT_EQ(probe(s).idx, 1); }},
        {"int truncates", [](json& d) { d["probe"][0]["idx"] = -2.9; }, [&](auto& s) { EXPECT_EQ(probe(s).idx, -2); }},
        {"float from false", [](json& d) { d["probe"][0]["inc"] = false; },
         [&](auto& s) { EXPECT_EQ(probe(s).inc, 0.0f); }},
        {"flag kept", [](json& d) { d["probe"][0]["flag"] = 7; }, [&](auto& s) { EXPECT_EQ(probe(s).flag, 7); }},
        {"time truncates", [](json& d) { d["probe"][0]["time"] = kMarch1 + 1.9; },
         [&](auto& s) { EXPECT_EQ(FormatOleTime(probe(s).time), "2024-03-01  08:00:01"); }},
        {"negative time invalid", [](json& d) { d["probe"][0]["time"] = -5; },
         [&](auto& s) {
             EXPECT_EQ(probe(s).time.status, kTimeInvalid);
             EXPECT_EQ(double(probe(s).time.dt), 0.0);
         }},
        {"time past year 9999 invalid", [](json& d) { d["probe"][0]["time"] = 400000000000LL; },
         [&](auto& s) { EXPECT_EQ(probe(s).time.status, kTimeInvalid); }},
        {"i 1.0", [](json& d) { d["sampler"][0]["samples"][0]["i"] = 1.0; }, [&](auto& s) { EXPECT_EQ(mark(s), 1); }},
        {"i 2", [](json& d) { d["sampler"][0]["samples"][0]["i"] = 2; }, [&](auto& s) { EXPECT_EQ(mark(s), 2); }},
        {"i 3", [](json& d) { d["sampler"][0]["samples"][0]["i"] = 3; }, [&](auto& s) { EXPECT_EQ(mark(s), 0); }},
        {"i 1.5", [](json& d) { d["sampler"][0]["samples"][0]["i"] = 1.5; }, [&](auto& s) { EXPECT_EQ(mark(s), 0); }},
        {"i string", [](json& d) { d["sampler"][0]["samples"][0]["i"] = "1"; },
         [&](auto& s) { EXPECT_EQ(mark(s), 0); }},
        {"i true", [](json& d) { d["sampler"][0]["samples"][0]["i"] = true; }, [&](auto& s) { EXPECT_EQ(mark(s), 0); }},
        {"i absent", [](json& d) { d["sampler"][0]["samples"][1].erase("i"); },
         [&](auto& s) { EXPECT_EQ(s.m_syncRecords.at(1).mark, 0); }},
        {"long name whole", [](json& d) { d["sampler"][0]["name"] = "ABCDEFGHIJKLMNOP"; },
         [&](auto& s) { EXPECT_EQ(s.m_holeParams[0].name, u"ABCDEFGHIJKLMNOP"); }},
        {"other members ignored",
         [](json& d) {
             d["comment"] = {1, 2};
         },
         [&](auto& s) { EXPECT_EQ(s.m_holes.size(), 2u); }},
        {"null probe none", [](json& d) { d["probe"] = nullptr; },
         [&](auto& s) { EXPECT_TRUE(s.m_probeRecords.empty()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        json doc = TwoHoleSurvey();
        c.edit(doc);
        const Import r = ImportText(doc.dump());
        ASSERT_TRUE(r.ok) << (r.messages.empty() ? "" : r.messages[0].text);
        c.check(r.store);
    }
}

// Every document that parses but is no survey: a message naming the problem, and
// nothing in the store, however far the import had come.
TEST(JsonImport, DocumentNotASurvey_IsReportedAndAddsNothing) {
    struct Case {
        const char* what;
        std::function<std::string()> text;
        const char* mentions;
    };
    const auto edited = [](std::function<void(json&)> edit) {
        return [edit] {
            json d = TwoHoleSurvey();
            edit(d);
            return d.dump();
        };
    };
    const Case cases[] = {
        {"array at top", [] { return std::string("[1, 2]"); }, "array"},
        {"empty object", [] { return std::string("{}"); }, "gi"},
        {"gi as boolean", edited([](json& d) { d["gi"] = true; }), "boolean"},
        {"gi as string", edited([](json& d) { d["gi"] = "5"; }), "string"},
        {"missing probe key", edited([](json& d) { d["probe"][5].erase("inc"); }), "/probe/5"},
        {"probe as object", edited([](json& d) { d["probe"] = json::object(); }), "/probe"},
        {"probe element a number", edited([](json& d) { d["probe"][0] = 3; }), "/probe/0"},
        {"idx as string", edited([](json& d) { d["probe"][2]["idx"] = "3"; }), "/probe/2/idx"},
        {"idx too large", edited([](json& d) { d["probe"][2]["idx"] = 3e10; }), "int32"},
        {"idx too large unsigned", edited([](json& d) { d["probe"][2]["idx"] = 18446744073709551615ull; }), "int32"},
        {"inc beyond float", edited([](json& d) { d["probe"][2]["inc"] = 1e39; }), "float32"},
        {"gi beyond float", edited([](json& d) { d["gi"] = -1e300; }), "float32"},
        {"time as boolean", edited([](json& d) { d["probe"][1]["time"] = true; }), "/probe/1/time"},
        {"time beyond int64", edited([](json& d) { d["probe"][1]["time"] = 1e19; }), "int64"},
        {"missing t", edited([](json& d) { d["sampler"][1]["samples"][2].erase("t"); }), "/sampler/1/samples/2"},
        {"samples as number", edited([](json& d) { d["sampler"][1]["samples"] = 1; }), "/sampler/1/samples"},
        {"name a number", edited([](json& d) { d["sampler"][1]["name"] = 12; }), "/sampler/1/name"},
        {"missing pbLen", edited([](json& d) { d["sampler"][0].erase("pbLen"); }), "pbLen"},
        {"number overflowing double", [] { return std::string(R"({"gi": 1e400})"); }, "1e400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedTimeSeam utc(FixedTimeSeam(0, 0));
        RecordedMessages recorded;
        SurveyStore store = test::RawTwoHoleSurvey();
        const std::string before = SurveyFileBytes(store);
        EXPECT_FALSE(ShowFileResult(LoadJsonSurvey(store, c.text())));
        EXPECT_EQ(SurveyFileBytes(store), before);
        ASSERT_EQ(recorded.messages().size(), 1u);
        const Message& m = recorded.messages()[0];
        EXPECT_EQ(m.text.find(kJsonStructureText), 0u) << m.text;
        EXPECT_NE(m.text.find(c.mentions), std::string::npos) << m.text;
        EXPECT_EQ(m.caption, "错误");
    }
}

// The import reads the text as it comes: where the members stand, what else they
// hold, and a member given twice must not change what a whole parsed document gives.
TEST(JsonImport, MemberOrderNestingAndRepeats_GiveWhatTheWholeDocumentSays) {
    const json doc = TwoHoleSurvey();
    const std::string expected = SurveyFileBytes(ImportText(doc.dump()).store);
    json nested = doc;
    nested["probe"][0]["extra"] = {{"deep", {1, 2, {{"x", 3}}}}};
    nested["sampler"][0]["notes"] = json::array({"a", {{"b", nullptr}}});
    nested["comment"] = {{"probe", {1, 2}}, {"gi", "no"}};
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"gi last", R"({"sampler":)" + doc["sampler"].dump() + R"(,"probe":)" + doc["probe"].dump() + R"(,"gi":5})"},
        {"nested values skipped", nested.dump()},
        {"a repeated member counts as the last", R"({"gi":1,"probe":[3],"sampler":[],)" + doc.dump().substr(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Import r = ImportText(c.text);
        ASSERT_TRUE(r.ok) << (r.messages.empty() ? "" : r.messages[0].text);
        EXPECT_EQ(SurveyFileBytes(r.store), expected);
    }
    // With problems in both, the probe's is told first, wherever it stands.
    json bad = doc;
    bad["probe"][3].erase("azi");
    bad["sampler"][0].erase("dDip");
    const Import r =
        ImportText(R"({"sampler":)" + bad["sampler"].dump() + R"(,"gi":5,"probe":)" + bad["probe"].dump() + "}");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].text.find("/probe/3"), std::string::npos) << r.messages[0].text;
}

TEST(JsonImport, SyntaxError_ShowsTheParserTextAndBytePosition) {
    const Import r = ImportText(R"({"gi": 1,})");
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages.size(), 1u);
    const std::string& text = r.messages[0].text;
    EXPECT_EQ(text.find("JSON 文件解析失败\n\n原因：[json.exception.parse_error.101] parse error at line 1"), 0u)
        << text;
    EXPECT_NE(text.find("\n位置：10\n"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(r.messages[0].caption, "错误");
    EXPECT_EQ(r.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(r.store.m_probeRecords.empty());
}

TEST(JsonImport, LongParserText_IsCutTo510BytesOnACharacterBoundary) {
    const Import r = ImportText("[\"" + std::string(700, 'a') + "\x01");
    ASSERT_EQ(r.messages.size(), 1u);
    const std::string& text = r.messages[0].text;
    EXPECT_LE(text.size(), 510u);
    EXPECT_GE(text.size(), 507u);
    EXPECT_EQ(text.find("JSON 文件解析失败"), 0u);
}

TEST(JsonImport, ZeroByte_EndsTheText) {
    const Import cut = ImportText(std::string(R"({"gi": 3})") + '\0' + "garbage {");
    EXPECT_TRUE(cut.ok);
    EXPECT_TRUE(cut.messages.empty());
    const Import onlyGi = ImportText(R"({"gi": 3})");
    EXPECT_TRUE(onlyGi.ok);
    EXPECT_TRUE(onlyGi.store.m_holes.empty() && onlyGi.store.m_holeParams.empty());
}

TEST(JsonImport, ImportFile_ReplacesTheStore) {
    test::TempDir dir;
    test::WriteBytes(dir / "s.json", TwoHoleSurvey().dump());
    test::WriteBytes(dir / "empty.json", "");
    test::WriteBytes(dir / "bad.json", "{");
    ScopedTimeSeam utc(FixedTimeSeam(0, 0));
    struct Case {
        std::string path;
        bool ok;
        std::size_t holes;
        std::size_t messages;
    };
    const Case cases[] = {
        {dir / "s.json", true, 2, 0},
        {dir / "empty.json", true, 0, 0},
        {dir / "bad.json", false, 0, 1},
        {dir / "missing.json", false, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RecordedMessages recorded;
        SurveyStore store = test::RawTwoHoleSurvey();
        EXPECT_EQ(ShowFileResult(ImportJsonFile(store, c.path)), c.ok);
        EXPECT_EQ(store.m_holes.size(), c.holes);
        EXPECT_EQ(recorded.messages().size(), c.messages);
        if (!c.ok) {
            EXPECT_TRUE(store.m_probeRecords.empty() && store.m_holeParams.empty());
        }
    }
}

}  // namespace
}  // namespace sondara
