// What a bad line can do to a download, fed frame by frame: frames whose check byte
// passes but whose contents are impossible, repeats, stray headers, lost records,
// a quiet line, a hang-up. Nothing impossible or doubled is stored, and every
// announced number ends up stored, skipped or named missing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "device/download_ledger.h"
#include "device/instrument_session.h"
#include "device/send.h"
#include "fake_host.h"
#include "sim_survey.h"
#include "tests/support/recorded_messages.h"

namespace sondara {
namespace {

using test::FakeHost;

const ProbeRecord& Good(std::size_t i) {
    static const std::vector<ProbeRecord> records = sim::GenerateSurvey(8, 8, 2).probe;
    return records.at(i);
}
const SyncRecord& GoodSync(std::size_t i) {
    static const std::vector<SyncRecord> records = sim::GenerateSurvey(8, 8, 2).sync;
    return records.at(i);
}

Bytes Probe(std::uint32_t idx) { return sim::ProcessedProbeRecordFrame(Good(idx), idx); }

// Rewrites data bytes of a frame and puts its check byte right again.
Bytes Patched(Bytes frame, std::size_t pos, const void* bytes, std::size_t n) {
    std::memcpy(frame.data() + pos, bytes, n);
    frame.back() = XorCheck(frame.data() + 5, frame.size() - 6);
    return frame;
}
Bytes WithFloat(Bytes frame, std::size_t pos, float v) { return Patched(std::move(frame), pos, &v, 4); }
Bytes WithByte(Bytes frame, std::size_t pos, std::uint8_t b) { return Patched(std::move(frame), pos, &b, 1); }

struct Integrity : ::testing::Test {
    FakeHost host;
    InstrumentSession session{host};
    RecordedMessages messages;
    void Feed(const Bytes& b) { session.OnSerialData(b); }
    const DownloadFinished* Finished() const { return host.Last<DownloadFinished>(); }
    int Refused(RefusedBecause why) const {
        int n = 0;
        for (const DeviceEvent& e : host.events) {
            const auto* r = std::get_if<FrameRefused>(&e);
            n += r && r->reason == why;
        }
        return n;
    }
};

TEST_F(Integrity, ImpossibleContents_AreRefusedAndCountAsMissing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Bytes frame;
    };
    const Case cases[] = {
        {"inclination 2.06e11", WithFloat(Probe(1), 13, 2.06e11f + 90)},
        {"inclination 395.6", WithFloat(Probe(1), 13, 395.6f + 90)},
        {"azimuth beyond a turn", WithFloat(Probe(1), 17, 424.0f)},
        {"negative tool face", WithFloat(Probe(1), 33, -0.5f)},
        {"undefined dip", WithFloat(Probe(1), 41, nan)},
        {"infinite temperature", WithFloat(Probe(1), 21, std::numeric_limits<float>::infinity())},
        {"temperature no encoding carries", WithFloat(Probe(1), 21, 40000.0f)},
        {"negative total gravity", WithFloat(Probe(1), 25, -1.0f)},
        {"minute not BCD", WithByte(Probe(1), 46, 0x1A)},
        {"month 13", WithByte(Probe(1), 50, 0x13)},
        {"30 February", WithByte(WithByte(Probe(1), 50, 0x02), 48, 0x30)},
        {"hour 24", WithByte(Probe(1), 47, 0x24)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost h;
        InstrumentSession s{h};
        s.OnSerialData(sim::HistoryHeader(kReplyFromProbe, 3));
        for (const Bytes& f : {Probe(0), c.frame, Probe(2)}) s.OnSerialData(f);
        ASSERT_EQ(h.store.m_probeRecords.size(), 2u);
        EXPECT_EQ(h.store.m_probeRecords[1].idx, 2);
        const DownloadFinished* done = h.Last<DownloadFinished>();
        ASSERT_NE(done, nullptr);
        EXPECT_EQ(done->missing, std::vector<std::uint32_t>{1});
    }
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_NE(messages.messages().back().text.find("拒收内容不可能的数据帧1个"), std::string::npos);
}

TEST_F(Integrity, UndefinedInclinationFromRawChannels_IsKept) {
    // All channels at zero: the gravity vector has no length and the attitude
    // formulas give undefined values. That is what the formulas say, not an error.
    Bytes data(32, 0);
    const std::uint8_t stamp[] = {0x07, 0x05, 0x09, 0x28, 0x00, 0x04, 0x19};
    std::memcpy(data.data() + 18, stamp, sizeof stamp);
    Feed(sim::HistoryHeader(kReplyFromProbe, 1));
    Feed(BuildReply(kReplyFromProbe, DeviceCommand::ReadHistory, data));
    ASSERT_EQ(host.store.m_probeRecords.size(), 1u);
    EXPECT_FALSE(std::isfinite(host.store.m_probeRecords[0].DIP));
    EXPECT_TRUE(Finished()->complete());
}

TEST_F(Integrity, ImpossibleSynchronizerRecords_AreRefused) {
    SyncRecord negativeHole = GoodSync(1);
    negativeHole.hole = -32767;
    Feed(sim::HistoryHeader(kReplyFromSync, 4));
    Feed(sim::SyncRecordFrame(GoodSync(0), 0));
    Feed(sim::SyncRecordFrame(negativeHole, 1));
    Feed(WithByte(sim::SyncRecordFrame(GoodSync(2), 2), 22, 0x00));  // month 0
    Feed(sim::SyncRecordFrame(GoodSync(3), 3));
    EXPECT_EQ(host.store.m_syncRecords.size(), 2u);
    EXPECT_EQ(Finished()->missing, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(Refused(RefusedBecause::Impossible), 2);
}

TEST_F(Integrity, NumbersOutsideTheCountRepeatsAndStrayHeaders_NeverDoubleOrEndTheDownload) {
    Feed(sim::HistoryHeader(kReplyFromProbe, 4));
    Feed(Probe(0));
    Feed(Probe(0));                                // the same record again: dropped without a word
    Feed(Probe(7));                                // beyond the count
    Feed(sim::HistoryHeader(kReplyFromProbe, 4));  // stray: neither restarts nor ends
    Feed(WithFloat(Probe(1), 17, 200.0f));
    Feed(Probe(1));  // a different record under a stored number: reported, the first kept
    Feed(Probe(2));
    Feed(Probe(3));
    EXPECT_EQ(host.store.m_probeRecords.size(), 4u);
    EXPECT_EQ(host.store.m_probeRecords[1].azi, 200.0f);
    EXPECT_EQ(host.Count<DownloadStarted>(), 1);
    EXPECT_EQ(Refused(RefusedBecause::Impossible), 1);
    EXPECT_EQ(Refused(RefusedBecause::ConflictingRepeat), 1);
    EXPECT_EQ(Refused(RefusedBecause::StrayHeader), 1);
    EXPECT_EQ(host.rows, (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
    ASSERT_TRUE(Finished()->complete());
    EXPECT_EQ(host.status.back(), "数据读取完成");
    ASSERT_EQ(messages.messages().size(), 1u);  // complete, but the line's faults are told
    EXPECT_NE(messages.messages()[0].text.find("同一编号内容不同的记录1条，多余的数据头1个"), std::string::npos);
}

TEST_F(Integrity, LostRecords_AreNamedAndASecondDownloadFillsThemInPlace) {
    session.probe().StartHistoryDownload();
    Feed(sim::HistoryHeader(kReplyFromProbe, 6));
    for (std::uint32_t i : {0u, 2u, 3u, 5u}) Feed(Probe(i));
    const DownloadFinished done = *Finished();
    EXPECT_EQ(done.end, DownloadEnd::LastNumber);
    EXPECT_EQ(done.stored, 4u);
    EXPECT_EQ(done.missing, (std::vector<std::uint32_t>{1, 4}));
    EXPECT_EQ(host.status.back(), kIncompleteStatus);
    EXPECT_EQ(host.progress.back(), 100);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].caption, "警告");
    EXPECT_NE(messages.messages()[0].text.find("缺少2条（编号 1, 4）"), std::string::npos);
    EXPECT_TRUE(session.probe().download().canFill());

    session.probe().StartHistoryDownload(true);
    EXPECT_EQ(host.store.m_probeRecords.size(), 4u);  // nothing that arrived is dropped
    Feed(sim::HistoryHeader(kReplyFromProbe, 6));
    EXPECT_EQ(host.rows, (std::vector<std::string>{"P0", "P2", "P3", "P5"}));
    for (std::uint32_t i = 0; i < 6; ++i) Feed(Probe(i));
    ASSERT_TRUE(Finished()->complete());
    ASSERT_EQ(host.store.m_probeRecords.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(host.store.m_probeRecords[i].idx, int(i));
        EXPECT_EQ(host.store.m_probeRecords[i].inc, Good(i).inc) << i;
    }
    EXPECT_EQ(host.rows, (std::vector<std::string>{"P0", "P1", "P2", "P3", "P4", "P5"}));
    EXPECT_EQ(host.status.back(), "数据读取完成");
    EXPECT_FALSE(session.probe().download().canFill());
}

TEST_F(Integrity, FillingInAfterTheInstrumentChanged_ReadsEverythingAgain) {
    Feed(sim::HistoryHeader(kReplyFromProbe, 3));
    Feed(Probe(2));
    session.probe().StartHistoryDownload(true);
    Feed(sim::HistoryHeader(kReplyFromProbe, 4));  // another count: another memory
    EXPECT_TRUE(host.store.m_probeRecords.empty());
    for (std::uint32_t i = 0; i < 4; ++i) Feed(Probe(i));
    EXPECT_EQ(host.store.m_probeRecords.size(), 4u);
    EXPECT_TRUE(Finished()->complete());
}

TEST_F(Integrity, SkippedSynchronizerRecords_AreAccountedNotMissing) {
    Feed(sim::HistoryHeader(kReplyFromSync, 3));
    Feed(sim::SyncRecordFrame(GoodSync(0), 0));
    Feed(sim::SyncRecordFrame(GoodSync(1), 1, false));
    Feed(sim::SyncRecordFrame(GoodSync(2), 2));
    EXPECT_TRUE(Finished()->complete());
    EXPECT_EQ(Finished()->skipped, 1u);
    EXPECT_EQ(host.store.m_syncRecords.size(), 2u);
}

TEST_F(Integrity, QuietLineHangUpAndCancel_EndTheDownloadWithWhatArrived) {
    struct Case {
        const char* what;
        std::function<void(InstrumentSession&)> end;
        DownloadEnd expected;
    };
    const Case cases[] = {
        {"quiet line", [](InstrumentSession& s) { s.OnTimer(DeviceTimer::Reply); }, DownloadEnd::QuietLine},
        {"hang-up", [](InstrumentSession& s) { s.OnLinkLost(); }, DownloadEnd::LinkLost},
        {"cancel", [](InstrumentSession& s) { s.CancelDownload(); }, DownloadEnd::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost h;
        InstrumentSession s{h};
        RecordedMessages shown;
        s.sync().StartHistoryDownload();
        EXPECT_TRUE(s.DownloadPending());
        s.OnSerialData(sim::HistoryHeader(kReplyFromSync, 5));
        for (std::uint16_t p = 0; p < 3; ++p) s.OnSerialData(sim::SyncRecordFrame(GoodSync(p), p));
        EXPECT_EQ(h.Period(DeviceTimer::Reply), kQuietLineMs);  // the quiet-line watch
        c.end(s);
        const DownloadFinished* done = h.Last<DownloadFinished>();
        ASSERT_NE(done, nullptr);
        EXPECT_EQ(done->end, c.expected);
        EXPECT_EQ(done->missing, (std::vector<std::uint32_t>{3, 4}));
        EXPECT_EQ(h.store.m_syncRecords.size(), 3u);
        EXPECT_FALSE(s.DownloadPending());
        EXPECT_FALSE(h.Running(DeviceTimer::Reply));
        EXPECT_EQ(h.status.back(), kIncompleteStatus);
        ASSERT_EQ(shown.messages().size(), 1u);  // one box: what is missing and why
        EXPECT_EQ(shown.messages()[0].text.find("超时"), std::string::npos);
    }
}

TEST_F(Integrity, HangUpOutsideADownload_SaysTheLinkIsLost) {
    session.OnLinkLost();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, kLinkLostText);
    EXPECT_EQ(host.linkClosings, 1);
    EXPECT_EQ(host.status.back(), "任务失败");
}

TEST(NumberRuns, GapsAreTheNumbersNotInserted) {
    NumberRuns runs;
    for (std::uint32_t n : {5u, 0u, 1u, 3u, 2u, 9u, 4294967294u}) runs.Insert(n);
    EXPECT_TRUE(runs.Contains(3));
    EXPECT_FALSE(runs.Contains(6));
    std::vector<std::uint32_t> first;
    EXPECT_EQ(runs.Gaps(12, 4, first), 6u);
    EXPECT_EQ(first, (std::vector<std::uint32_t>{4, 6, 7, 8}));
    EXPECT_EQ(runs.Gaps(4294967295u, 0, first), 4294967295u - 7);
}

}  // namespace
}  // namespace sondara
