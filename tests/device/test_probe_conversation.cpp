#include <gtest/gtest.h>

#include <cstring>

#include "device/instrument_session.h"
#include "fake_host.h"
#include "sim_survey.h"
#include "tests/support/recorded_messages.h"

namespace sondara {
namespace {

using test::FakeHost;
using test::Hex;

void PutF32(Bytes& b, std::size_t pos, float f) { std::memcpy(b.data() + pos, &f, 4); }

// A processed history record laid out by hand: data byte k is frame byte 9 + k.
Bytes ProcessedRecord(std::uint32_t idx, float incWire, float tmpWire) {
    Bytes d(43, 0);
    std::memcpy(d.data(), &idx, 4);
    PutF32(d, 4, incWire);
    PutF32(d, 8, 181.5f);  // azi
    PutF32(d, 12, tmpWire);
    PutF32(d, 16, 0.998f);  // GT
    PutF32(d, 20, 0.51f);   // MT
    PutF32(d, 24, 12.5f);   // GTF
    PutF32(d, 28, 200.0f);  // MTF
    PutF32(d, 32, 47.0f);   // DIP
    const std::uint8_t stamp[] = {0x07, 0x05, 0x09, 0x28, 0xAA, 0x04, 0x19};
    std::memcpy(d.data() + 36, stamp, sizeof stamp);
    return BuildReply(kReplyFromProbe, DeviceCommand::ReadHistory, d);
}

Bytes Header(std::uint8_t device, std::uint32_t count) { return sim::HistoryHeader(device, count); }

struct ProbeFixture : ::testing::Test {
    FakeHost host;
    InstrumentSession session{host};
    RecordedMessages messages;
    void Feed(const Bytes& b) { session.OnSerialData(b); }
};

TEST_F(ProbeFixture, ProcessedRecord_IsDecodedFieldByField) {
    Feed(Header(kReplyFromProbe, 5));
    Feed(ProcessedRecord(0, 95.5f, 235.0f));
    ASSERT_EQ(host.store.m_probeRecords.size(), 1u);
    const ProbeRecord& r = host.store.m_probeRecords[0];
    EXPECT_FLOAT_EQ(r.inc, 5.5f);
    EXPECT_FLOAT_EQ(r.tmp, 23.5f);
    EXPECT_FLOAT_EQ(r.azi, 181.5f);
    EXPECT_FLOAT_EQ(r.GT, 0.998f);
    EXPECT_FLOAT_EQ(r.MT, 0.51f);
    EXPECT_FLOAT_EQ(r.GTF, 12.5f);
    EXPECT_FLOAT_EQ(r.MTF, 200.0f);
    EXPECT_FLOAT_EQ(r.DIP, 47.0f);
    EXPECT_EQ(FormatOleTime(r.time), "2019-04-28  09:05:07");
    EXPECT_EQ(r.flag, 0);
    EXPECT_EQ(r.volt, 0.0f);
}

TEST_F(ProbeFixture, RawRecord_GoesThroughTheCalibration) {
    Bytes d(32, 0);
    d[4] = 0xEB;  // temperature 235 -> 23.5
    const std::int16_t raw[6] = {1350, -1800, -3897, 900, 1350, 1800};
    std::memcpy(d.data() + 6, raw, sizeof raw);
    const std::uint8_t stamp[] = {0x07, 0x05, 0x09, 0x28, 0x00, 0x04, 0x19};
    std::memcpy(d.data() + 18, stamp, sizeof stamp);
    d[26] = 36;  // volt 3.6 at frame bytes 35, 36
    Feed(Header(kReplyFromProbe, 1));
    Feed(BuildReply(kReplyFromProbe, DeviceCommand::ReadHistory, d));

    LiveValues expected;
    expected.tmp = 23.5f;
    for (int i = 0; i < 6; ++i) expected.raw[i] = raw[i];
    ComputeAttitude(DefaultCalibration(), expected);  // no table has arrived yet
    ASSERT_EQ(host.store.m_probeRecords.size(), 1u);
    const ProbeRecord& r = host.store.m_probeRecords[0];
    EXPECT_FLOAT_EQ(r.tmp, 23.5f);
    EXPECT_FLOAT_EQ(r.volt, 3.6f);
    EXPECT_FLOAT_EQ(r.inc, expected.inc - 90);
    EXPECT_FLOAT_EQ(r.azi, expected.azi);
    EXPECT_FLOAT_EQ(r.DIP, expected.DIP);
    EXPECT_EQ(FormatOleTime(r.time), "2019-04-28  09:05:07");
}

TEST_F(ProbeFixture, HistoryDownload_RunsCalibrationThenHistoryToCompletion) {
    session.probe().StartHistoryDownload();
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 31 00 76");
    EXPECT_EQ(host.Period(DeviceTimer::Reply), 6000);
    const ProbeCalibration table = sim::SimulatorCalibration();
    for (int b = 0; b < 31; ++b) Feed(sim::CalibrationBlockReply(kReplyFromProbe, table, b));
    EXPECT_EQ(host.written.size(), 1u);                            // blocks 0 to 30 move nothing on
    Feed(sim::CalibrationBlockReply(kReplyFromProbe, table, 40));  // out of range: ignored
    Feed(sim::CalibrationBlockReply(kReplyFromProbe, table, 31));
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 03 00 44");
    EXPECT_EQ(std::memcmp(&session.probe().calibration(), &table, sizeof table), 0);

    Feed(Header(kReplyFromProbe, 3));
    EXPECT_EQ(host.status.back(), "数据读取中....");
    for (std::uint32_t idx : {0u, 1u, 3u, 2u}) Feed(ProcessedRecord(idx, 90, 200));
    EXPECT_EQ(host.store.m_probeRecords.size(), 3u);  // idx 3 is beyond the total
    EXPECT_EQ(host.progress, (std::vector<int>{0, 0, 33, 66, 100}));
    EXPECT_EQ(host.status.back(), "数据读取完成");
    EXPECT_EQ(host.rows, (std::vector<std::string>{"P0", "P1", "P2"}));  // no synchronizer records: no assembly
    EXPECT_EQ(host.Count<DownloadFinished>(), 1);
}

// Bytes that arrive before a download's header is in keep its time-out running: a lost
// last calibration block, or a header damaged on the line, ends in a time-out rather
// than a download that waits for good.
TEST(ProbeDownload, HeaderThatNeverArrives_TimesOut) {
    const ProbeCalibration table = sim::SimulatorCalibration();
    const auto block = [&](int b) { return sim::CalibrationBlockReply(kReplyFromProbe, table, b); };
    Bytes damagedHeader = Header(kReplyFromProbe, 3);
    damagedHeader.back() ^= 0x01;  // its check byte
    std::vector<Bytes> wholeTableThenDamagedHeader;
    for (int b = 0; b < 32; ++b) wholeTableThenDamagedHeader.push_back(block(b));
    wholeTableThenDamagedHeader.push_back(damagedHeader);
    const std::vector<std::vector<Bytes>> lines = {{block(0)}, wholeTableThenDamagedHeader};  // blocks 1 to 31 lost
    for (const std::vector<Bytes>& line : lines) {
        SCOPED_TRACE(line.size());
        FakeHost host;
        InstrumentSession session{host};
        session.probe().StartHistoryDownload();
        for (const Bytes& bytes : line) session.OnSerialData(bytes);
        ASSERT_TRUE(session.DownloadPending());
        EXPECT_EQ(host.Period(DeviceTimer::Reply), 6000);
        session.OnTimer(DeviceTimer::Reply);
        EXPECT_FALSE(session.DownloadPending());
        EXPECT_EQ(host.Count<Failed>(), 1);
    }
}

TEST_F(ProbeFixture, CompletionWithSyncRecords_AssemblesAndRefillsTheTable) {
    const sim::SimSurvey survey = sim::GenerateSurvey(4, 4, 2);
    host.store.m_syncRecords = survey.sync;
    Feed(Header(kReplyFromProbe, 4));
    for (std::uint32_t i = 0; i < 4; ++i) Feed(sim::ProcessedProbeRecordFrame(survey.probe[i], i));
    EXPECT_EQ(host.store.m_holes.size(), 2u);
    EXPECT_EQ(host.rows, (std::vector<std::string>{"H2", "H2"}));
}

TEST_F(ProbeFixture, HeaderOfNoRecords_SaysSo) {
    Feed(Header(kReplyFromProbe, 0));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "探管中没有存储数据");
    EXPECT_EQ(messages.messages()[0].caption, "设备回复信息");
    Feed(ProcessedRecord(0xFFFFFFFF, 90, 200));  // nothing announced: nothing completes
    EXPECT_EQ(host.Count<DownloadFinished>(), 0);
}

TEST_F(ProbeFixture, RealTimeOutput_PollsAfterTheTableAndStopsWithTheDisplay) {
    session.probe().StartRealTime();
    session.probe().StartRealTime();  // the display is open: nothing more is sent
    EXPECT_EQ(host.written.size(), 1u);
    EXPECT_EQ(host.liveDisplays, 1);
    const ProbeCalibration table = sim::SimulatorCalibration();
    for (int b = 0; b < 32; ++b) Feed(sim::CalibrationBlockReply(kReplyFromProbe, table, b));
    EXPECT_EQ(host.Period(DeviceTimer::RealTime), 1000);
    session.OnTimer(DeviceTimer::RealTime);
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 19 00 5E");

    const ProbeRecord reading = sim::LiveReadingAt(2);
    Feed(sim::ProcessedLiveFrame(reading, table));
    ASSERT_EQ(host.live.size(), 1u);
    EXPECT_FLOAT_EQ(host.live[0].inc, reading.inc);
    EXPECT_FLOAT_EQ(host.live[0].tmp, reading.tmp);
    EXPECT_FLOAT_EQ(host.live[0].MT, reading.MT);

    Feed(sim::RawLiveFrame(reading));
    ASSERT_EQ(host.live.size(), 2u);
    LiveValues expected;
    const sim::RawReadings raw = sim::RawReadingsFor(reading);
    expected.tmp = static_cast<float>(raw.tmp10 * 0.1);
    for (int i = 0; i < 6; ++i) expected.raw[i] = raw.raw[i];
    ComputeAttitude(table, expected);
    EXPECT_FLOAT_EQ(host.live[1].inc, expected.inc - 90);
    EXPECT_FLOAT_EQ(host.live[1].azi, expected.azi);
    EXPECT_FLOAT_EQ(host.live[1].volt, 3.6f);

    session.probe().StopRealTime();
    EXPECT_FALSE(host.Running(DeviceTimer::RealTime));
    EXPECT_FALSE(host.Running(DeviceTimer::Reply));
    session.probe().StartRealTime();  // reopening reads the table again
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 31 00 76");
}

TEST_F(ProbeFixture, RealTimeDuringADownload_TakesOverTheLastCalibrationBlock) {
    session.probe().StartHistoryDownload();
    session.probe().StartRealTime();
    Feed(sim::CalibrationBlockReply(kReplyFromSync, DefaultCalibration(), 31));  // synchronizer block: same handling
    EXPECT_TRUE(host.Running(DeviceTimer::RealTime));
    EXPECT_EQ(host.written.size(), 2u);  // no ReadHistory
}

TEST_F(ProbeFixture, Clearing_AsksFirstAndItsReplyLeavesTheRecords) {
    // The window asks before it sends.
    auto clear = [&] {
        if (ConfirmClearMemory(Instrument::Probe)) session.probe().ClearMemory();
    };
    messages.Answer(MessageAnswer::Cancel);
    clear();
    EXPECT_TRUE(host.written.empty());
    messages.Answer(MessageAnswer::Ok);
    clear();
    EXPECT_EQ(messages.messages()[0].text, "将会清空探管中所有数据，是否继续?");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 02 00 45");

    host.store.m_probeRecords.resize(2);
    host.rows = {"P0", "P1"};
    Feed(sim::ClearReply(kReplyFromProbe));
    EXPECT_TRUE(host.rows.empty());
    EXPECT_EQ(host.store.m_probeRecords.size(), 2u);
    EXPECT_EQ(host.status.back(), "任务完成");
    EXPECT_EQ(messages.messages().back().text, "数据已清空");
}

TEST_F(ProbeFixture, TestAndClockReplies_ReachTheirDisplays) {
    const int hw[3] = {2, 1, 0}, sw[3] = {3, 4, 1};
    Feed(sim::TestReply(kReplyFromProbe, hw, sw));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "设备连接正常!\n硬件版本：2.1.0; 软件版本：3.4.1");
    EXPECT_EQ(messages.messages()[0].caption, "设备回复信息");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Information);

    Feed(sim::ClockReply(kReplyFromSync, DeviceCommand::ReadClock, {2019, 4, 28, 9, 5, 7}));
    Feed(sim::ClockReply(kReplyFromProbe, DeviceCommand::SetClock, {2024, 12, 31, 23, 59, 58}));
    ASSERT_EQ(host.clocks.size(), 2u);
    EXPECT_EQ(FormatInstrumentClock(host.clocks[0]), "2019-04-28  09:05:07");
    EXPECT_EQ(host.clocks[1], (CalendarTime{2024, 12, 31, 23, 59, 58}));
}

TEST_F(ProbeFixture, ClosedLink_WarnsAndStopsThePolling) {
    host.linkOpen = false;
    host.running[DeviceTimer::RealTime] = 1000;
    session.OnTimer(DeviceTimer::RealTime);
    EXPECT_TRUE(host.written.empty());
    EXPECT_FALSE(host.Running(DeviceTimer::RealTime));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "串口没有打开");
    EXPECT_EQ(messages.messages()[0].caption, "警告！");
}

TEST_F(ProbeFixture, ReceivedBytes_StopTheTimeOutWhoseExpiryReportsFailure) {
    session.probe().TestConnection();
    session.OnSerialData({});
    EXPECT_FALSE(host.Running(DeviceTimer::Reply));

    session.SendReadClock(Instrument::Probe);
    EXPECT_EQ(host.LastWrittenHex(), "FF FF FF FF FF FF 01 46 21 00 66");
    EXPECT_EQ(host.status.back(), "程序准备就绪");
    session.OnTimer(DeviceTimer::Reply);
    EXPECT_FALSE(host.Running(DeviceTimer::Reply));
    EXPECT_EQ(messages.messages().back().text, "超时，无返回数据");
    EXPECT_EQ(messages.messages().back().caption, "警告");
    EXPECT_EQ(host.status.back(), "任务失败");
    EXPECT_EQ(host.progress.back(), 0);
}

}  // namespace
}  // namespace sondara
