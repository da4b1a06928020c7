#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "core/trajectory.h"
#include "io/atomic_file.h"
#include "io/file_kind.h"
#include "io/survey_file.h"
#include "tests/io/io_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/file_messages.h"
#include "ui/common/file_texts.h"

namespace sondara {
namespace {

using test::TempDir;

std::uint32_t U32At(const std::string& b, std::size_t off) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
}

SurveyStore Assembled() {
    SurveyStore s = test::RawTwoHoleSurvey();
    TempDir dir;
    // Assembly and both passes, the way a load without holes runs them.
    test::WriteBytes(dir / "raw.bhx", SurveyFileBytes(s));
    SurveyStore loaded;
    EXPECT_TRUE(OpenSurveyFiles(loaded, {dir / "raw.bhx"}).ok());
    return loaded;
}

TEST(SurveyFile, EmptyStore_IsMagicAndFourZeroCounts) {
    EXPECT_EQ(SurveyFileBytes(SurveyStore{}), std::string("QRVTMWLN") + std::string(16, '\0'));
}

TEST(SurveyFile, OneOfEach_Is448BytesInTheFileOrder) {
    SurveyStore s;
    s.m_probeRecords.resize(1);
    s.m_probeRecords[0].idx = 7;
    s.m_syncRecords.resize(1);
    s.m_syncRecords[0].hole = 9;
    s.m_holeParams = {test::ParamsNamed(u"AB")};
    s.m_holes.resize(1);
    s.m_holes[0].records.resize(2);
    s.m_holes[0].params() = test::ParamsNamed(u"C");
    s.m_holes[0].pbLen = 2.5f;
    const std::string b = SurveyFileBytes(s);
    ASSERT_EQ(b.size(), 448u);
    EXPECT_EQ(U32At(b, 8), 1u);
    EXPECT_EQ(U32At(b, 12), 7u);       // first probe record's idx
    EXPECT_EQ(U32At(b, 100), 1u);      // synchronizer count
    EXPECT_EQ(U32At(b, 104 + 8), 9u);  // its hole
    EXPECT_EQ(U32At(b, 132), 1u);      // parameter count
    EXPECT_EQ(b.substr(136 + 40, 6), std::string("A\0B\0\0\0", 6));
    EXPECT_EQ(U32At(b, 200), 1u);  // hole count
    EXPECT_EQ(U32At(b, 204), 2u);  // its record count
    float pbLen;
    std::memcpy(&pbLen, b.data() + 208 + 176, 4);
    EXPECT_EQ(pbLen, 2.5f);
    EXPECT_EQ(b.substr(208 + 176 + 40, 4), std::string("C\0\0\0", 4));
}

TEST(SurveyFile, Names_KeepTwelveUnitsZeroPadded) {
    struct Case {
        std::u16string name, readBack;
    };
    const Case cases[] = {
        {u"ABCDEFGHIJKL", u"ABCDEFGHIJKL"},    // exactly 12: no terminator, read whole
        {u"ABCDEFGHIJKLMN", u"ABCDEFGHIJKL"},  // longer: cut to 12
        {u"钻孔一号", u"钻孔一号"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        SurveyStore s;
        s.m_holeParams = {test::ParamsNamed(u"0123456789"), test::ParamsNamed(c.name)};
        const SurveyImage image = ParseSurveyImage(SurveyFileBytes(s));
        ASSERT_EQ(image.status, ImageStatus::Ok);
        EXPECT_EQ(image.holeParams[1].name, c.readBack);
        const std::string b = SurveyFileBytes(s);
        const std::string name = b.substr(8 + 12 + 64 + 40, 24);
        EXPECT_EQ(name.substr(2 * c.readBack.size()), std::string(24 - 2 * c.readBack.size(), '\0'));
    }
}

TEST(SurveyFile, SavedAndLoaded_SavesToTheSameBytes) {
    TempDir dir;
    SurveyStore s = Assembled();
    ASSERT_EQ(s.m_holes.size(), 2u);
    s.m_holes[0].error = "never stored";
    s.m_probeRecords[0].time.status = kTimeInvalid;
    ASSERT_TRUE(ShowFileResult(SaveSurveyFile(s, dir / "a.bhx")));
    const std::string first = test::ReadBytes(dir / "a.bhx");
    SurveyStore loaded;
    ASSERT_TRUE(OpenSurveyFiles(loaded, {dir / "a.bhx"}).ok());
    EXPECT_EQ(SavedSurveyFileBytes(loaded), first);
    EXPECT_TRUE(loaded.m_holes[0].error.empty());
}

TEST(SurveyFile, StoredHoles_AreTakenAsTheyAreWithoutRecomputing) {
    TempDir dir;
    SurveyStore s = Assembled();
    s.m_holes[0].records[1].x = 12345.0f;  // no longer what the parameters give
    s.m_holes[0].pbLen = 99.0f;
    ASSERT_TRUE(ShowFileResult(SaveSurveyFile(s, dir / "a.bhx")));
    SurveyStore loaded;
    ASSERT_TRUE(OpenSurveyFiles(loaded, {dir / "a.bhx"}));
    EXPECT_EQ(loaded.m_holes[0].records[1].x, 12345.0f);
    EXPECT_EQ(loaded.m_holes[0].pbLen, 99.0f);
}

TEST(SurveyFile, FileWithoutHoles_IsAssembledAndComputed) {
    SurveyStore loaded = Assembled();
    ASSERT_EQ(loaded.m_holes.size(), 2u);
    EXPECT_EQ(loaded.m_holes[0].name, u"K1");
    EXPECT_EQ(loaded.m_holes[1].name, u"孔2");
    ASSERT_EQ(loaded.m_holes[0].records.size(), 3u);
    EXPECT_TRUE(loaded.m_holes[0].error.empty());
    EXPECT_EQ(loaded.m_holes[0].records[2].depth, 4.0f);  // 2 × 1.5 + 1
    EXPECT_EQ(loaded.m_holes[0].records[0].x, 100.0f);    // first station sits at the start point
    EXPECT_NE(loaded.m_holes[0].records[2].x, 0.0f);
}

TEST(SurveyFile, SecondFileOn_RenumbersSynchronizerHoles) {
    struct Case {
        std::vector<std::vector<int>> files;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{{0, 0, 1}, {0, 1, 1}}, {0, 0, 1, 2, 3, 3}},
        {{{0, 0, 1}, {1, 1, 2}}, {0, 0, 1, 1, 1, 2}},  // equal numbers at the seam merge
        {{{5, 5, 7}}, {5, 5, 7}},                      // a single file stays as stored
        {{{5, 5, 7}, {}}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> paths;
        for (std::size_t f = 0; f < c.files.size(); ++f) {
            SurveyStore s;
            for (int hole : c.files[f]) s.m_syncRecords.push_back(test::SyncAt(0, hole));
            paths.push_back(dir / ("f" + std::to_string(f) + ".bhx"));
            test::WriteBytes(paths.back(), SurveyFileBytes(s));
        }
        SurveyStore loaded;
        ASSERT_TRUE(OpenSurveyFiles(loaded, paths).ok());
        std::vector<int> holes;
        for (const SyncRecord& r : loaded.m_syncRecords) holes.push_back(r.hole);
        EXPECT_EQ(holes, c.expected);
    }
}

TEST(SurveyFile, MergedFiles_AppendInOrderAndApplyParamsByPosition) {
    TempDir dir;
    SurveyStore a = Assembled();
    SurveyStore b;
    b.m_holeParams = {test::ParamsNamed(u"X1"), test::ParamsNamed(u"X2"), test::ParamsNamed(u"X3")};
    b.m_holeParams[0].pbLen = 3.0f;
    ShowFileResult(SaveSurveyFile(a, dir / "a.bhx"));
    ShowFileResult(SaveSurveyFile(b, dir / "b.bhx"));
    SurveyStore loaded;
    ASSERT_TRUE(ShowFileResult(OpenSurveyFiles(loaded, {dir / "a.bhx", dir / "b.bhx"})));
    EXPECT_EQ(loaded.m_probeRecords.size(), a.m_probeRecords.size());
    ASSERT_EQ(loaded.m_holeParams.size(), 5u);
    // The holes keep position 0 and 1 of the merged parameters: those of file a.
    EXPECT_EQ(loaded.m_holes[0].name, u"K1");
    EXPECT_EQ(loaded.m_holeParams[2].name, u"X1");
}

TEST(SurveyFile, Open_ReplacesTheStoreWhileCancelChangesNothing) {
    SurveyStore s = Assembled();
    const std::string before = SurveyFileBytes(s);
    const OpenResult cancelled = OpenSurveyFiles(s, {});
    EXPECT_FALSE(cancelled.storeChanged);
    EXPECT_EQ(SurveyFileBytes(s), before);
    TempDir dir;
    test::WriteBytes(dir / "empty.bhx", SurveyFileBytes(SurveyStore{}));
    const OpenResult opened = OpenSurveyFiles(s, {dir / "empty.bhx"});
    EXPECT_TRUE(opened.storeChanged);
    EXPECT_EQ(SurveyFileBytes(s), SurveyFileBytes(SurveyStore{}));
}

// Every way a file can be bad, chosen between two good files: the bad one is
// reported and adds nothing, the good ones load.
TEST(SurveyFile, BadFileAmongGoodOnes_IsReportedAndAddsNothing) {
    SurveyStore good = test::RawTwoHoleSurvey();
    const std::string goodBytes = SurveyFileBytes(good);  // as other writers write it: no trailer
    const std::string savedBytes = SavedSurveyFileBytes(good);
    std::string shortCount = goodBytes;  // one probe record fewer than the file holds
    shortCount[8] = static_cast<char>(shortCount[8] - 1);
    std::string flipped = savedBytes;
    flipped[12 + 20] ^= 0x04;  // inside the first probe record: every count still fits
    std::string badTrailer = savedBytes;
    badTrailer.back() ^= 0x01;
    std::string badTrailerCount = savedBytes;
    badTrailerCount[savedBytes.size() - 8] ^= 0x01;
    std::string negativeHole = SurveyFileBytes(Assembled());
    const std::size_t holeCountAt = 8 + 4 + 6 * 88 + 4 + 6 * 28 + 4 + 2 * 64;
    ASSERT_EQ(U32At(negativeHole, holeCountAt), 2u);
    std::memcpy(negativeHole.data() + holeCountAt + 4, "\xff\xff\xff\xff", 4);

    struct Case {
        const char* what;
        std::string bytes;
        const char* expectedText;
    };
    const Case cases[] = {
        {"wrong magic", "QRVTMWLX" + std::string(16, '\0'), kWrongFormatText},
        {"text file", "hello, world\n", kWrongFormatText},
        {"short header", "QRVTM", kDamagedFileText},
        {"truncated", goodBytes.substr(0, goodBytes.size() - 1), kDamagedFileText},
        {"huge probe count", "QRVTMWLN\xff\xff\xff\xff" + std::string(12, '\0'), kDamagedFileText},
        {"count past the end", "QRVTMWLN\x02\0\0\0" + std::string(88, '\0') + std::string(12, '\0'), kDamagedFileText},
        {"huge hole count", "QRVTMWLN" + std::string(12, '\0') + "\xff\xff\xff\x7f", kDamagedFileText},
        {"negative hole record count", negativeHole, kDamagedFileText},
        {"empty", "", kDamagedFileText},
        {"short count", shortCount, kDamagedFileText},
        {"trailing bytes", goodBytes + "x", kDamagedFileText},
        {"trailer cut short", savedBytes.substr(0, savedBytes.size() - 1), kDamagedFileText},
        {"flipped byte", flipped, kDamagedFileText},
        {"checksum that does not match", badTrailer, kDamagedFileText},
        {"trailer counting other bytes", badTrailerCount, kDamagedFileText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        test::WriteBytes(dir / "1.bhx", goodBytes);
        test::WriteBytes(dir / "2-bad.bhx", c.bytes);
        test::WriteBytes(dir / "3.bhx", savedBytes);
        RecordedMessages messages;
        SurveyStore s;
        const OpenResult r = OpenSurveyFiles(s, {dir / "1.bhx", dir / "2-bad.bhx", dir / "3.bhx"});
        ShowFileResult(r);
        EXPECT_EQ(r.filesFailed, 1);
        ASSERT_EQ(messages.messages().size(), 1u);
        const Message& m = messages.messages()[0];
        EXPECT_EQ(m.text.find(c.expectedText), 0u) << m.text;
        EXPECT_EQ(m.icon, MessageIcon::Warning);
        if (c.expectedText == kWrongFormatText) {
            EXPECT_EQ(m.text, kWrongFormatText);
            EXPECT_EQ(m.caption, "警告");
        } else {
            EXPECT_NE(m.text.find("2-bad.bhx"), std::string::npos) << m.text;
        }
        EXPECT_EQ(s.m_probeRecords.size(), 2 * good.m_probeRecords.size());
        EXPECT_EQ(s.m_holeParams.size(), 2 * good.m_holeParams.size());
    }
}

TEST(SurveyFile, EveryTruncation_IsDamagedAndYieldsNothing) {
    const std::string bytes = SurveyFileBytes(Assembled());
    for (std::size_t n = 8; n < bytes.size(); ++n) {
        const SurveyImage image = ParseSurveyImage(std::string_view(bytes).substr(0, n));
        ASSERT_EQ(image.status, ImageStatus::Damaged) << n;
        EXPECT_TRUE(image.probeRecords.empty() && image.syncRecords.empty() && image.holeParams.empty() &&
                    image.holes.empty());
        EXPECT_TRUE(image.damage);
        EXPECT_FALSE(SurveyDamageText(image.damage).empty());
    }
    EXPECT_EQ(ParseSurveyImage(bytes + "trailing").status, ImageStatus::Damaged);
}

// The reason the user reads says what the reader found and where.
TEST(SurveyFile, DamageIsToldWhereItWasFound) {
    const std::string bytes = SurveyFileBytes(Assembled());
    const std::string saved = SavedSurveyFileBytes(Assembled());
    std::string flipped = saved;
    flipped[20] ^= 0x01;
    const std::pair<std::string, std::string> cases[] = {
        {"", "文件为空（0 字节）"},
        {bytes.substr(0, 10), "文件在探管记录处提前结束"},
        {bytes + "trailing", "最后一个钻孔之后多出 8 字节"},
        {flipped, "完整性校验不符：文件内容在保存后被改动或已损坏"},
    };
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_EQ(SurveyDamageText(ParseSurveyImage(file).damage), reason);
    }
}

// A saved file carries its checksum: no single changed byte, wherever it sits and
// whatever it does to the counts, loads as data.
TEST(SurveyFile, AnyFlippedByteOfASavedFile_IsRefused) {
    const std::string saved = SavedSurveyFileBytes(Assembled());
    ASSERT_EQ(ParseSurveyImage(saved).status, ImageStatus::Ok);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        for (const unsigned char bit : {0x01, 0x80}) {
            std::string bytes = saved;
            bytes[i] = static_cast<char>(bytes[i] ^ bit);
            const SurveyImage image = ParseSurveyImage(bytes);
            ASSERT_NE(image.status, ImageStatus::Ok) << "byte " << i;
            EXPECT_TRUE(image.probeRecords.empty() && image.holes.empty());
        }
    }
}

TEST(SurveyFile, Trailer_IsMagicByteCountAndZlibCrc32) {
    const std::string image = SurveyFileBytes(test::RawTwoHoleSurvey());
    const std::string trailer = IntegrityTrailer(image);
    ASSERT_EQ(trailer.size(), kTrailerSize);
    EXPECT_EQ(trailer.substr(0, 8), "SNDRCRC1");
    EXPECT_EQ(U32At(trailer, 8), image.size());
    EXPECT_EQ(U32At(IntegrityTrailer("123456789"), 12), 0xCBF43926u);  // the CRC-32 check value
    EXPECT_EQ(SavedSurveyFileBytes(test::RawTwoHoleSurvey()), image + trailer);
}

TEST(SurveyFile, EmptyMissingOrSpecialFile_AddsNothing) {
    TempDir dir;
    test::WriteBytes(dir / "good.bhx", SurveyFileBytes(test::RawTwoHoleSurvey()));
    ASSERT_EQ(::mkfifo((dir / "fifo.bhx").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.bhx");
    RecordedMessages messages;
    SurveyStore s;
    const OpenResult r =
        OpenSurveyFiles(s, {dir / "good.bhx", dir / "missing.bhx", dir / "fifo.bhx", dir / "folder.bhx"});
    ShowFileResult(r);
    EXPECT_EQ(r.filesFailed, 3);  // a FIFO is not waited on
    ASSERT_EQ(messages.messages().size(), 3u);
    for (const Message& m : messages.messages()) EXPECT_EQ(m.text.find(kOpenFailedText), 0u);
    EXPECT_NE(messages.messages()[0].text.find("missing.bhx"), std::string::npos);
    EXPECT_EQ(s.m_holes.size(), 2u);
}

TEST(SurveyFile, Save_ReplacesTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    test::WriteBytes(dir / "a.bhx", "old");
    const SurveyStore s = test::RawTwoHoleSurvey();
    ASSERT_TRUE(ShowFileResult(SaveSurveyFile(s, dir / "a.bhx")));
    EXPECT_EQ(test::ReadBytes(dir / "a.bhx"), SavedSurveyFileBytes(s));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.bhx"});
}

TEST(SurveyFile, FailedSave_IsReportedAndKeepsTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.bhx");
    test::WriteBytes(dir / "old.bhx", "old content");
    SurveyStore big;
    big.m_probeRecords.resize(200);

    // A write that fails half way: the file size limit stops it (root ignores permissions).
    RecordedMessages messages;
    const bool savedBig =
        test::WithFileSizeLimit(4096, [&] { return ShowFileResult(SaveSurveyFile(big, dir / "old.bhx")); });
    EXPECT_FALSE(savedBig);
    EXPECT_EQ(test::ReadBytes(dir / "old.bhx"), "old content");

    EXPECT_FALSE(ShowFileResult(SaveSurveyFile(big, dir / "folder.bhx")));
    EXPECT_FALSE(ShowFileResult(SaveSurveyFile(big, dir / "no-such-folder/x.bhx")));
    ASSERT_EQ(messages.messages().size(), 3u);
    for (const Message& m : messages.messages()) {
        EXPECT_EQ(m.text.find(kSaveFailedText), 0u) << m.text;
        EXPECT_EQ(m.icon, MessageIcon::Warning);
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder.bhx", "old.bhx"}));
}

TEST(AtomicFile, WriterThatFails_LeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    test::WriteBytes(dir / "t.txt", "old");
    const std::string problem = ReplaceFileAtomically(dir / "t.txt", [](const std::string& temp) {
        test::WriteBytes(temp, "half");
        return std::string("disk full");
    });
    EXPECT_EQ(problem, "disk full");
    EXPECT_EQ(test::ReadBytes(dir / "t.txt"), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"t.txt"});
}

TEST(AtomicFile, Replacement_KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    test::WriteBytes(dir / "real.bhx", "old");
    std::filesystem::permissions(dir / "real.bhx", std::filesystem::perms(0640));
    std::filesystem::create_symlink("real.bhx", dir / "link.bhx");
    EXPECT_EQ(WriteFileAtomically(dir / "link.bhx", "new"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.bhx"));
    EXPECT_EQ(test::ReadBytes(dir / "real.bhx"), "new");
    EXPECT_EQ(std::filesystem::status(dir / "real.bhx").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.bhx", "real.bhx"}));
}

TEST(AtomicFile, LongestFileNames_CanBeReplaced) {
    TempDir dir;
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "孔";
    for (const std::string& name : {std::string(251, 'a') + ".bhx", chinese + ".bhx"}) {
        SCOPED_TRACE(name.size());
        EXPECT_EQ(WriteFileAtomically(dir / name, "new"), "");
        EXPECT_EQ(test::ReadBytes(dir / name), "new");
        std::filesystem::remove(dir / name);
    }
    EXPECT_TRUE(dir.Names().empty());
}

TEST(AtomicFile, Extensions_CompareWithoutCase) {
    EXPECT_EQ(LowerExtension("/a/b/Survey.BhX"), "bhx");
    EXPECT_EQ(LowerExtension("x.tar.XLSX"), "xlsx");
    EXPECT_EQ(LowerExtension("dir.d/name"), "");
}

}  // namespace
}  // namespace sondara
