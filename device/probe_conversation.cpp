#include "device/probe_conversation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/messages.h"
#include "device/common_replies.h"
#include "device/frames.h"
#include "device/send.h"
#include "device/sync_conversation.h"

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

// A corrupted header can announce billions of records; the store grows as they come.
constexpr std::uint32_t kMaxReserve = 1u << 20;

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

ProbeConversation::ProbeConversation(ConversationHost& host) : host_(host), calibration_(DefaultCalibration()) {}

void ProbeConversation::TestConnection() { SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::Test)); }

void ProbeConversation::StartHistoryDownload() {
    host_.Store().m_probeRecords.clear();
    calibrationPurpose_ = kPurposeHistory;
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadCalibration));
}

void ProbeConversation::StartRealTime() {
    if (realTimeOpen_) return;
    realTimeOpen_ = host_.OpenLiveValuesDisplay();
    calibrationPurpose_ = kPurposeRealTime;
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadCalibration));
}

void ProbeConversation::StopRealTime() {
    host_.StopTimer(DeviceTimer::Reply);
    host_.StopTimer(DeviceTimer::RealTime);
    realTimeOpen_ = false;
}

void ProbeConversation::ClearMemory() {
    if (ShowMessage("将会清空探管中所有数据，是否继续?", "警告", MessageIcon::Question, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return;
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ClearMemory));
}

void ProbeConversation::OnRealTimeTick() {
    SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::RealTimeSample));
}

void ProbeConversation::HandleReply(std::span<const std::uint8_t> frame) {
    const std::size_t length = frame.size();
    switch (static_cast<DeviceCommand>(frame[7])) {
        case DeviceCommand::Test:
            ShowTestAnswer(frame);
            host_.Notify(ConversationEvent::ProbeTestAnswered);
            break;
        case DeviceCommand::ClearMemory:
            FinishMemoryClear(host_, ConversationEvent::ProbeMemoryCleared);
            break;
        case DeviceCommand::ReadHistory:
            if (length == kHeaderLength)
                HandleHeader(frame);
            else if (length == kProcessedRecordLength)
                HandleRecord(DecodeProcessedProbeRecord(frame));
            else if (length == kRawRecordLength)
                HandleRecord(DecodeRawProbeRecord(frame, calibration_, live_));
            break;
        case DeviceCommand::SetClock:
        case DeviceCommand::ReadClock:
            ShowClockReply(host_, frame);
            break;
        case DeviceCommand::RealTimeSample:
            if (length == kProcessedLiveLength)
                DecodeProcessedLiveSample(frame, live_);
            else if (length == kRawLiveLength)
                DecodeRawLiveSample(frame, calibration_, live_);
            else
                break;
            host_.ShowLiveValues(live_);
            host_.Notify(ConversationEvent::LiveValuesShown);
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
    host_.Notify(ConversationEvent::CalibrationComplete);
    if (calibrationPurpose_ == kPurposeHistory)
        SendHexCommand(host_, CommandText(Instrument::Probe, DeviceCommand::ReadHistory));
    else if (calibrationPurpose_ == kPurposeRealTime)
        host_.StartTimer(DeviceTimer::RealTime, kRealTimePeriodMs);
}

void ProbeConversation::HandleHeader(std::span<const std::uint8_t> frame) {
    SurveyStore& store = host_.Store();
    store.m_probeRecords.clear();
    host_.ClearRows();
    probeTotal_ = ReadU32(frame.data(), 9);
    store.m_probeRecords.reserve(std::min(probeTotal_, kMaxReserve));
    host_.SetProgress(0);
    host_.SetStatusText("数据读取中....");
    if (probeTotal_ == 0) {
        ShowMessage("探管中没有存储数据", "设备回复信息", MessageIcon::Information);
        host_.Notify(ConversationEvent::ProbeHistoryEmpty);
    }
}

void ProbeConversation::HandleRecord(const ProbeRecord& record) {
    const auto idx = static_cast<std::uint32_t>(record.idx);
    if (idx < probeTotal_) {
        host_.Store().m_probeRecords.push_back(record);
        host_.SetProgress(RecordProgress(static_cast<float>(idx), static_cast<float>(probeTotal_)));
        host_.AppendProbeRow(record);
        host_.Notify(ConversationEvent::ProbeRecordStored);
    }
    if (probeTotal_ != 0 && idx == probeTotal_ - 1) {
        host_.SetStatusText("数据读取完成");
        host_.SetProgress(100);
        AssembleIfBothPresent(host_);
        host_.Notify(ConversationEvent::ProbeDownloadComplete);
    }
}

}  // namespace sondara
