// Saves that never lose a file: names the survey file cannot keep whole, read-only
// targets, links planted by other users, and saves killed half way.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/text.h"
#include "io/excel_export.h"
#include "io/save_as.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

using test::TempDir;

SurveyStore Named(std::vector<std::u16string> holeNames) {
    SurveyStore s;
    for (auto& name : holeNames) {
        HoleSurvey h;
        h.params() = test::ParamsNamed(name);
        s.m_holeParams.push_back(h.params());
        s.m_holes.push_back(std::move(h));
    }
    return s;
}

std::vector<std::string> Names(const std::vector<NameCut>& cuts) {
    std::vector<std::string> names;
    for (const NameCut& c : cuts) names.push_back(c.name + "->" + c.stored);
    return names;
}

TEST(SafeSave, LongNames_AreShortenedOnlyWhenAllowedAndNeverMerged) {
    struct Case {
        const char* what;
        std::vector<std::u16string> holes;
        LongNames longNames;
        FileProblemKind kind;  // the one problem reported
        bool saved;
        std::vector<std::string> cuts;
    };
    const Case cases[] = {
        {"refused unasked",
         {u"North-Panel-001", u"K2"},
         LongNames::Refuse,
         FileProblemKind::NamesTooLong,
         false,
         {"North-Panel-001->North-Panel-"}},
        {"shortened and told",
         {u"North-Panel-001", u"K2"},
         LongNames::Shorten,
         FileProblemKind::NamesCut,
         true,
         {"North-Panel-001->North-Panel-"}},
        {"two become one",
         {u"North-Panel-001", u"North-Panel-002"},
         LongNames::Shorten,
         FileProblemKind::NamesCollide,
         false,
         {"North-Panel-001->North-Panel-", "North-Panel-002->North-Panel-"}},
        {"meets a short name",
         {u"ABCDEFGHIJKL", u"ABCDEFGHIJKLM"},
         LongNames::Shorten,
         FileProblemKind::NamesCollide,
         false,
         {"ABCDEFGHIJKL->ABCDEFGHIJKL", "ABCDEFGHIJKLM->ABCDEFGHIJKL"}},
        {"never half a character",
         {u"ABCDEFGHIJK😀"},
         LongNames::Shorten,
         FileProblemKind::NamesCut,
         true,
         {"ABCDEFGHIJK😀->ABCDEFGHIJK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const SurveyStore s = Named(c.holes);
        const FileResult r = SaveSurveyFile(s, dir / "a.bhx", c.longNames);
        EXPECT_EQ(r.ok(), c.saved);
        ASSERT_EQ(r.problems.size(), 1u);
        EXPECT_EQ(r.problems[0].kind, c.kind);
        EXPECT_EQ(Names(r.problems[0].cuts), c.cuts);
        EXPECT_EQ(dir.Names().size(), c.saved ? 1u : 0u);
        if (c.saved) {
            const SurveyImage image = ParseSurveyImage(test::ReadBytes(dir / "a.bhx"));
            EXPECT_EQ(Utf16ToUtf8(image.holes[0].name), c.cuts[0].substr(c.cuts[0].find("->") + 2));
        }
        // Every name and what it becomes reaches the user.
        const Message m = FileProblemMessage(r.problems[0]);
        for (const NameCut& cut : r.problems[0].cuts) {
            EXPECT_NE(m.text.find("“" + cut.name + "” → “" + cut.stored + "”"), std::string::npos) << m.text;
        }
    }
}

TEST(SafeSave, ReadOnlyTarget_IsNotReplaced) {
    TempDir dir;
    const SurveyStore s = test::RawTwoHoleSurvey();
    for (const std::string name : {"ro.bhx", "ro.xlsx"}) {
        SCOPED_TRACE(name);
        test::WriteBytes(dir / name, "old");
        ::chmod((dir / name).c_str(), 0444);
        RecordedMessages messages;
        EXPECT_FALSE(ShowFileResult(SaveAs(s, dir / name)));
        EXPECT_EQ(test::ReadBytes(dir / name), "old");
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text.find(kReadOnlyTargetText), 0u);
    }
    // Writable again, it is saved as usual.
    ::chmod((dir / "ro.bhx").c_str(), 0644);
    EXPECT_TRUE(SaveAs(s, dir / "ro.bhx"));
}

// The kernel's protected-symlinks rule, applied by the save itself: in a sticky
// world-writable folder a link is followed only when we or the folder's owner own it.
TEST(SafeSave, LinkOfAnotherUserInASharedFolder_IsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
    constexpr uid_t kOther = 54321;
    struct Case {
        const char* what;
        uid_t linkOwner;
        uid_t folderOwner;
        bool followed;
    };
    const Case cases[] = {
        {"another user's link", kOther, 0, false},
        {"our own link", 0, 0, true},
        {"the folder owner's link", kOther, kOther, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        test::WriteBytes(dir / "victim.bhx", "precious");
        const std::string shared = dir / "shared";
        ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        const std::string link = shared + "/survey.bhx";
        ASSERT_EQ(::symlink((dir / "victim.bhx").c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);

        const FileResult r = SaveSurveyFile(test::RawTwoHoleSurvey(), link);
        EXPECT_EQ(r.ok(), c.followed);
        if (c.followed) {
            EXPECT_EQ(test::ReadBytes(dir / "victim.bhx"), SavedSurveyFileBytes(test::RawTwoHoleSurvey()));
        } else {
            ASSERT_EQ(r.problems.size(), 1u);
            EXPECT_EQ(r.problems[0].kind, FileProblemKind::ForeignLink);
            EXPECT_EQ(test::ReadBytes(dir / "victim.bhx"), "precious");
        }
        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));  // the link itself stays in every case
    }
}

// A process id that no process has any more.
pid_t GonePid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST(SafeSave, TemporaryFilesOfKilledSaves_AreRemovedByTheNextSave) {
    TempDir dir;
    const std::string orphan = ".a.bhx.sondara-" + std::to_string(GonePid()) + "-Ab12Cd";
    const std::string live = ".a.bhx.sondara-1-Ab12Cd";  // a save still running elsewhere
    const std::string other = ".b.bhx.sondara-" + std::to_string(GonePid()) + "-Ab12Cd";  // another target's
    for (const std::string& name : {orphan, live, other}) test::WriteBytes(dir / name, "half");
    ASSERT_TRUE(SaveSurveyFile(test::RawTwoHoleSurvey(), dir / "a.bhx"));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{live, other, "a.bhx"}));
}

// kill -9 at a few random moments of a large save: the target is always the whole
// old or the whole new file, and the next save leaves no temporary file behind.
TEST(SafeSave, KilledAtAnyMoment_LeavesOldOrNewAndNoOrphanAfterTheNextSave) {
    TempDir dir;
    SurveyStore big;
    big.m_probeRecords.resize(150000);
    for (std::size_t i = 0; i < big.m_probeRecords.size(); ++i) big.m_probeRecords[i].idx = static_cast<int>(i);
    const std::string oldBytes = SavedSurveyFileBytes(test::RawTwoHoleSurvey());
    const std::string newBytes = SavedSurveyFileBytes(big);
    std::mt19937 random(12345);
    for (int round = 0; round < 5; ++round) {
        test::WriteBytes(dir / "a.bhx", oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            (void)SaveSurveyFile(big, dir / "a.bhx");  // killed before it can tell
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = test::ReadBytes(dir / "a.bhx");
        EXPECT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
    }
    ASSERT_TRUE(SaveSurveyFile(test::RawTwoHoleSurvey(), dir / "a.bhx"));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.bhx"});
}

}  // namespace
}  // namespace sondara
