#include <gtest/gtest.h>

#include "device/instrument_session.h"
#include "fake_host.h"
#include "sim_survey.h"
#include "tests/support/recorded_messages.h"

namespace sondara {
namespace {

using test::FakeHost;

SyncRecord Record(int hole, int idx) {
    SyncRecord r;
    r.hole = hole;
    r.idx = idx;
    r.time = OleTimeFromCalendar(2019, 4, 28, 9, 5, 7);
    return r;
}

struct SyncFixture : ::testing::Test {
    FakeHost host;
    InstrumentSession session{host};
    RecordedMessages messages;
    void Feed(const Bytes& b) { session.OnSerialData(b); }
};

TEST_F(SyncFixture, Record_IsDecodedFromItsBytes) {
    Bytes d(16, 0);
    d[4] = 0x02;  // hole at frame bytes 13, 14
    d[6] = 0x07;  // idx at frame bytes 15, 16
    const std::uint8_t stamp[] = {0x07, 0x05, 0x09, 0x28, 0x00, 0x04, 0x19, 0xFF};
    std::copy(std::begin(stamp), std::end(stamp), d.begin() + 8);
    Feed(sim::HistoryHeader(kReplyFromSync, 9));
    Feed(BuildReply(kReplyFromSync, DeviceCommand::ReadHistory, d));
    ASSERT_EQ(host.store.m_syncRecords.size(), 1u);
    const SyncRecord& r = host.store.m_syncRecords[0];
    EXPECT_EQ(r.hole, 2);
    EXPECT_EQ(r.idx, 7);
    EXPECT_EQ(r.flag, 3);
    EXPECT_EQ(r.mark, 0);
    EXPECT_EQ(FormatOleTime(r.time), "2019-04-28  09:05:07");
}

TEST_F(SyncFixture, Download_ShowsProgressByIndexAndCompletesAtTheLastPosition) {
    session.sync().StartHistoryDownload();
    EXPECT_EQ(test::Hex(host.written.back()), "FF FF FF FF FF FF 01 47 03 00 45");
    Feed(sim::HistoryHeader(kReplyFromSync, 4));
    for (int p = 0; p < 3; ++p) Feed(sim::SyncRecordFrame(Record(0, p + 1), static_cast<std::uint16_t>(p)));
    Feed(sim::SyncRecordFrame(Record(0, 4), 3, false));  // last position, not stored: still completes
    EXPECT_EQ(host.progress, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(host.store.m_syncRecords.size(), 3u);
    EXPECT_EQ(host.status.back(), "数据读取完成");
    EXPECT_EQ(host.rows.size(), 3u);  // no probe records: the table lists the records
}

TEST_F(SyncFixture, PositionsAbove32767_CompleteTheDownload) {
    const std::uint32_t total = 40000;
    Feed(sim::HistoryHeader(kReplyFromSync, total));
    Bytes all;
    for (std::uint32_t p = 0; p < total; ++p) {
        const Bytes f = sim::SyncRecordFrame(Record(0, static_cast<int>(p)), static_cast<std::uint16_t>(p));
        all.insert(all.end(), f.begin(), f.end());
    }
    Feed(all);
    EXPECT_EQ(host.store.m_syncRecords.size(), total);
    EXPECT_EQ(host.Count<DownloadFinished>(), 1);
}

TEST_F(SyncFixture, Clearing_AnimatesUntilTheReply) {
    messages.Answer(MessageAnswer::Ok);
    if (ConfirmClearMemory(Instrument::Sync)) session.sync().ClearMemory();
    EXPECT_EQ(messages.messages()[0].text, "将会清空同步器中所有数据，是否继续?");
    EXPECT_EQ(test::Hex(host.written.back()), "FF FF FF FF FF FF 01 47 02 00 44");
    EXPECT_EQ(host.Period(DeviceTimer::Reply), 25000);
    EXPECT_EQ(host.Period(DeviceTimer::Progress), 1000);
    EXPECT_EQ(host.status.back(), "清空中，稍候....");
    for (int i = 0; i < 3; ++i) session.OnTimer(DeviceTimer::Progress);
    EXPECT_EQ(host.progress, (std::vector<int>{0, 0, 4, 8}));

    Feed(sim::ClearReply(kReplyFromSync));
    EXPECT_FALSE(host.Running(DeviceTimer::Progress));
    EXPECT_FALSE(host.Running(DeviceTimer::Reply));
    EXPECT_EQ(host.status.back(), "任务完成");
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(messages.messages().back().text, "数据已清空");
}

TEST_F(SyncFixture, ClearingTimeOut_StopsTheAnimationAndFails) {
    messages.Answer(MessageAnswer::Ok);
    if (ConfirmClearMemory(Instrument::Sync)) session.sync().ClearMemory();
    session.OnTimer(DeviceTimer::Progress);
    session.OnTimer(DeviceTimer::Reply);
    EXPECT_FALSE(host.Running(DeviceTimer::Progress));
    EXPECT_EQ(host.status.back(), "任务失败");
    EXPECT_EQ(host.progress.back(), 0);
    EXPECT_EQ(messages.messages().back().text, "超时，无返回数据");
}

TEST_F(SyncFixture, ClearingWithTheLinkClosed_StillArmsTheLongTimeOut) {
    host.linkOpen = false;
    messages.Answer(MessageAnswer::Ok);
    if (ConfirmClearMemory(Instrument::Sync)) session.sync().ClearMemory();
    EXPECT_TRUE(host.written.empty());
    EXPECT_EQ(messages.messages()[1].text, "串口没有打开");
    EXPECT_EQ(host.Period(DeviceTimer::Reply), 25000);
    EXPECT_EQ(host.status.back(), "清空中，稍候....");
}

TEST_F(SyncFixture, EmptyHistory_SaysSo) {
    Feed(sim::HistoryHeader(kReplyFromSync, 0));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "同步器中没有存储数据");
}

}  // namespace
}  // namespace sondara
