#include <gtest/gtest.h>

#include "core/time_seam.h"
#include "io/open_any.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

const char kOneHoleJson[] = R"({"gi": 0, "sampler": [{"name":"J","pbLen":1,"dDip":0,"dPos":0,"x0":0,"y0":0,"z0":0,
  "e0":0,"n0":0,"d0":0}]})";

TEST(OpenAnySurvey, JsonAlone_IsImportedButNotMergedWithSurveyFiles) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.bhx", SurveyFileBytes(test::RawTwoHoleSurvey()));
    test::WriteBytes(dir / "s.JSON", kOneHoleJson);
    ScopedTimeSeam utc(FixedTimeSeam(0, 0));
    RecordedMessages messages;
    SurveyStore store;
    const OpenAnyResult json = OpenAnySurvey(store, {dir / "s.JSON"});
    EXPECT_TRUE(ShowFileResult(json));
    EXPECT_EQ(json.opened.mode, kFileModeJson);
    const OpenAnyResult merged = OpenAnySurvey(store, {dir / "a.bhx", dir / "a.bhx"});
    EXPECT_TRUE(ShowFileResult(merged));
    EXPECT_EQ(merged.opened.mode, kFileModeSurvey);
    EXPECT_EQ(merged.opened.openCount, 2);
    EXPECT_EQ(store.m_holeParams.size(), 4u);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(ShowFileResult(OpenAnySurvey(store, {dir / "a.bhx", dir / "s.JSON"})));
    EXPECT_EQ(messages.messages().size(), 1u);
}

// A file from the recent-file list is read the way the last open command read,
// appended to what the store holds.
TEST(LoadByFileMode, RecentFile_IsReadAsTheLastOpenCommandSetAndAppended) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.bhx", SurveyFileBytes(test::RawTwoHoleSurvey()));
    test::WriteBytes(dir / "s.json", kOneHoleJson);
    ScopedTimeSeam utc(FixedTimeSeam(0, 0));
    SurveyStore store = test::RawTwoHoleSurvey();
    EXPECT_TRUE(ShowFileResult(LoadByFileMode(store, dir / "s.json", {kFileModeJson, 0})));
    ASSERT_EQ(store.m_holeParams.size(), 3u);
    EXPECT_EQ(store.m_holeParams[2].name, u"J");
    EXPECT_TRUE(ShowFileResult(LoadByFileMode(store, dir / "a.bhx", {kFileModeSurvey, 0})));
    EXPECT_EQ(store.m_holeParams.size(), 5u);
}

}  // namespace
}  // namespace sondara
