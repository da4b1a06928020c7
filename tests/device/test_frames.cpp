#include <gtest/gtest.h>

#include <cstdio>

#include "device/frames.h"
#include "fake_host.h"

namespace sondara {

std::string test::Hex(const Bytes& b) {
    std::string s;
    for (std::uint8_t x : b) {
        char t[4];
        std::snprintf(t, sizeof t, s.empty() ? "%02X" : " %02X", x);
        s += t;
    }
    return s;
}

namespace {

using test::Hex;

TEST(HexText, Texts_ConvertPairsSkipBlanksAndStopAtTheFirstBadDigit) {
    struct Case {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"FF FF FF FF FF FF 01 46 00 00 47", "FF FF FF FF FF FF 01 46 00 00 47"},
        {"ff 0a  1B", "FF 0A 1B"},
        {"01 46 0", "01 46"},  // a lone trailing digit is dropped
        {"01 4G 02", "01"},    // stops at a non-hex character
        {"0146", "01 46"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(HexTextToBytes(c.text)), c.bytes) << c.text;
}

TEST(CommandTable, EveryFixedText_EndsWithTheCheckOfAddressThroughLength) {
    const DeviceCommand commands[] = {DeviceCommand::Test, DeviceCommand::ClearMemory, DeviceCommand::ReadHistory,
                                      DeviceCommand::RealTimeSample, DeviceCommand::ReadCalibration};
    int checked = 0;
    for (Instrument instrument : {Instrument::Probe, Instrument::Sync}) {
        for (DeviceCommand command : commands) {
            const Bytes b = HexTextToBytes(CommandText(instrument, command));
            if (b.empty()) continue;
            ASSERT_EQ(b.size(), 11u);
            EXPECT_EQ(b[7], static_cast<std::uint8_t>(instrument));
            EXPECT_EQ(b[8], static_cast<std::uint8_t>(command));
            EXPECT_EQ(XorCheck(b.data() + 6, 4), b[10]);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 8);  // the synchronizer is never sent RealTimeSample or ReadCalibration
    EXPECT_EQ(XorCheck(HexTextToBytes("FF FF FF FF FF FF 01 46 03 00 44").data() + 6, 4), 0x44);
}

TEST(Bcd, BothWays_KeepOddNibbles) {
    EXPECT_EQ(BcdToInt(0x59), 59);
    EXPECT_EQ(BcdToInt(0x1A), 20);
    EXPECT_EQ(IntToBcd(59), 0x59);
    EXPECT_EQ(IntToBcd(2019) & 0xFF, 0x19);
    EXPECT_EQ(IntToBcd(0), 0);
}

TEST(ClockCommands, ReadAndSet_AreBuiltWithTheirChecks) {
    EXPECT_EQ(Hex(BuildReadClock(Instrument::Probe)), "FF FF FF FF FF FF 01 46 21 00 66");
    EXPECT_EQ(Hex(BuildReadClock(Instrument::Sync)), "FF FF FF FF FF FF 01 47 21 00 67");
    EXPECT_EQ(Hex(BuildSetClock(Instrument::Sync, {2019, 4, 28, 9, 5, 7})),
              "FF FF FF FF FF FF 01 47 0E 09 00 00 00 19 04 28 09 05 07 7F");
    EXPECT_EQ(FormatInstrumentClock({2019, 4, 28, 9, 5, 7}), "2019-04-28  09:05:07");
}

TEST(ReplyFrames, SyncHeaderForFiveRecords_IsTheDocumentedBytes) {
    EXPECT_EQ(Hex(BuildReply(kReplyFromSync, DeviceCommand::ReadHistory, {5, 0, 0, 0})),
              "FF FF FF FF FF C6 02 03 04 05 00 00 00 C6");
}

TEST(ReplyFrames, StampWithAnImpossibleDate_IsInvalid) {
    // 2019-04-28 09:05:07 from BCD; February 30 does not exist.
    const OleTime t = OleTimeFromBcd(0x19, 0x04, 0x28, 0x09, 0x05, 0x07);
    EXPECT_EQ(FormatOleTime(t), "2019-04-28  09:05:07");
    EXPECT_EQ(OleTimeFromBcd(0x19, 0x02, 0x30, 0, 0, 0).status, kTimeInvalid);
}

}  // namespace
}  // namespace sondara
