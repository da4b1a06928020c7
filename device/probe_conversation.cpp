#include "device/probe_conversation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/common_replies.h"
#include "device/frames.h"
#include "device/record_checks.h"
#include "device/send.h"

namespace sondara {

namespace {

constexpr std::size_t kHeaderLength = 14;
constexpr std::size_t kProcessedRecordLength = 53;
constexpr std::size_t kRawRecordLength = 42;
constexpr std::size_t kProcessedLiveLength = 106;
constexpr std::size_t kRawLiveLength = 34;
constexpr std::size_t kCalibrationBlockLength = 44;  // bytes 11 to 42 are the block
constexpr int kCalibrationBlocks = 32;
constexpr int kCalibrationBlockSize = 32;

void CopyAttitude(const LiveValues& live, ProbeRecord& r) {
    r.inc = live.inc;
    r.azi = live.azi;
    r.tmp = live.tmp;
    r.GTF = live.GTF;
    r.MTF = live.MTF;
    r.DIP = live.DIP;
    r.GT = live.GT;
    r.MT = live.MT;
    r.volt = live.volt;
}

void ReadRawChannels(const std::uint8_t* f, std::size_t pos, LiveValues& live) {
    for (int i = 0; i < 6; ++i) live.raw[i] = ReadI16(f, pos + 2 * i);
}

}  // namespace

ProbeRecord DecodeProcessedProbeRecord(std::span<const std::uint8_t> frame) {
    const std::uint8_t* f = frame.data();
    ProbeRecord r;
    r.idx = static_cast<std::int32_t>(ReadU32(f, 9));
    r.inc = ReadF32(f, 13) - 90;
    r.azi = ReadF32(f, 17);
    r.tmp = ReadF32(f, 21) / 10;
    r.GT = ReadF32(f, 25);
    r.MT = ReadF32(f, 29);
    r.GTF = ReadF32(f, 33);
    r.MTF = ReadF32(f, 37);
    r.DIP = ReadF32(f, 41);
    r.time = OleTimeFromBcd(f[51], f[50], f[48], f[47], f[46], f[45]);
    return r;
}

ProbeRecord DecodeRawProbeRecord(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration,
                                 LiveValues& live) {
    const std::uint8_t* f = frame.data();
    live.tmp = static_cast<float>(ReadI16(f, 13) * 0.1);
    ReadRawChannels(f, 15, live);
    live.volt = static_cast<float>(ReadI16(f, 35) * 0.1);
    ComputeAttitude(calibration, live);
    live.inc -= 90;
    ProbeRecord r;
    r.idx = static_cast<std::int32_t>(ReadU32(f, 9));
    CopyAttitude(live, r);
    r.time = OleTimeFromBcd(f[33], f[32], f[30], f[29], f[28], f[27]);
    return r;
}

void DecodeProcessedLiveSample(std::span<const std::uint8_t> frame, LiveValues& live) {
    const std::uint8_t* f = frame.data();
    live.inc = ReadF32(f, 9) - 90;
    live.azi = ReadF32(f, 13);
    live.tmp = ReadF32(f, 17) / 10;
    live.GTF = ReadF32(f, 21);
    live.MTF = ReadF32(f, 25);
    live.DIP = ReadF32(f, 29);
    live.GT = ReadF32(f, 33);
    live.MT = ReadF32(f, 37);
    for (int i = 0; i < 6; ++i) live.raw[i] = ReadF32(f, 41 + 4 * i);
    float* calibrated[] = {&live.gx, &live.gy, &live.gz, &live.mx, &live.my, &live.mz};
    for (int i = 0; i < 6; ++i) *calibrated[i] = ReadF32(f, 65 + 4 * i);
}

void DecodeRawLiveSample(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration, LiveValues& live) {
    const std::uint8_t* f = frame.data();
    live.tmp = static_cast<float>(ReadI16(f, 9) * 0.1);
    ReadRawChannels(f, 11, live);
    live.volt = static_cast<float>(ReadI16(f, 23) * 0.1);
    ComputeAttitude(calibration, live);
    live.inc -= 90;
}

ProbeConversation::ProbeConversation(ConversationHost& host)
    : host_(host),
      calibration_(DefaultCalibration()),
      download_(host, Instrument::Probe, &SurveyStore::m_probeRecords) {}

void ProbeConversation::TestConnection() { SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::Test)); }

void ProbeConversation::StartHistoryDownload(bool fillMissing) {
    download_.Request(fillMissing);
    calibrationPurpose_ = kPurposeHistory;
    if (!SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadCalibration))) download_.Abandon();
}

void ProbeConversation::StartRealTime() {
    if (realTimeOpen_) return;
    realTimeOpen_ = true;
    host_.Emit(RealTimeStarted{});
    calibrationPurpose_ = kPurposeRealTime;
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadCalibration));
}

void ProbeConversation::StopRealTime() {
    host_.StopTimer(DeviceTimer::Reply);
    host_.StopTimer(DeviceTimer::RealTime);
    realTimeOpen_ = false;
}

void ProbeConversation::ClearMemory() {
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ClearMemory));
}

void ProbeConversation::OnRealTimeTick() {
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::RealTimeSample));
}

void ProbeConversation::HandleReply(std::span<const std::uint8_t> frame) {
    const std::size_t length = frame.size();
    switch (static_cast<DeviceCommand>(frame[7])) {
        case DeviceCommand::Test:
            host_.Emit(DecodeTestAnswer(Instrument::Probe, frame));
            break;
        case DeviceCommand::ClearMemory:
            FinishMemoryClear(host_, Instrument::Probe);
            break;
        case DeviceCommand::ReadHistory:
            if (length == kHeaderLength)
                download_.Header(ReadU32(frame.data(), 9));
            else if (length == kProcessedRecordLength) {
                const ProbeRecord r = DecodeProcessedProbeRecord(frame);
                HandleRecord(r, IsPossibleProcessedProbeRecord(r, frame));
            } else if (length == kRawRecordLength) {
                HandleRecord(DecodeRawProbeRecord(frame, calibration_, live_), IsPossibleRawProbeRecord(frame));
            }
            break;
        case DeviceCommand::SetClock:
        case DeviceCommand::ReadClock:
            ReportClockReply(host_, Instrument::Probe, frame);
            break;
        case DeviceCommand::RealTimeSample:
            if (length == kProcessedLiveLength)
                DecodeProcessedLiveSample(frame, live_);
            else if (length == kRawLiveLength)
                DecodeRawLiveSample(frame, calibration_, live_);
            else
                break;
            host_.Emit(LiveSample{live_});
            break;
        case DeviceCommand::ReadCalibration:
            HandleCalibrationBlock(frame);
            break;
        default:
            break;
    }
}

void ProbeConversation::HandleCalibrationBlock(std::span<const std::uint8_t> frame) {
    if (frame.size() < kCalibrationBlockLength) return;
    const int block = ReadU16(frame.data(), 9);
    if (block >= kCalibrationBlocks) return;
    std::memcpy(reinterpret_cast<std::uint8_t*>(&calibration_) + block * kCalibrationBlockSize, frame.data() + 11,
                kCalibrationBlockSize);
    if (block != kCalibrationBlocks - 1) return;
    host_.Emit(CalibrationComplete{});
    if (calibrationPurpose_ == kPurposeHistory)
        SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadHistory));
    else if (calibrationPurpose_ == kPurposeRealTime)
        host_.StartTimer(DeviceTimer::RealTime, kRealTimePeriodMs);
}

void ProbeConversation::HandleRecord(const ProbeRecord& record, bool possible) {
    const auto idx = static_cast<std::uint32_t>(record.idx);
    download_.Receive(idx, record, possible, true, static_cast<float>(idx));
}

}  // namespace sondara
