#include "device/sync_conversation.h"

#include <algorithm>

#include "device/common_replies.h"
#include "device/frames.h"
#include "device/record_checks.h"
#include "device/send.h"

namespace sondara {

namespace {

constexpr std::size_t kHeaderLength = 14;
constexpr std::size_t kRecordLength = 26;
constexpr std::uint8_t kStoredMarker = 0xFF;
constexpr int kProgressIncrement = 4;

}  // namespace

SyncHistoryEntry DecodeSyncRecord(std::span<const std::uint8_t> frame) {
    const std::uint8_t* f = frame.data();
    SyncHistoryEntry e;
    e.position = ReadU16(f, 9);
    e.record.hole = ReadI16(f, 13);
    e.record.idx = ReadI16(f, 15);
    e.record.flag = kSampled | kStation;
    e.record.mark = kMarkNone;
    e.record.time = OleTimeFromBcd(f[23], f[22], f[20], f[19], f[18], f[17]);
    e.stored = f[24] == kStoredMarker;
    return e;
}

SyncConversation::SyncConversation(ConversationHost& host)
    : host_(host), download_(host, Instrument::Sync, &SurveyStore::m_syncRecords) {}

void SyncConversation::TestConnection() { SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::Test)); }

void SyncConversation::StartHistoryDownload(bool fillMissing) {
    download_.Request(fillMissing);
    if (!SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::ReadHistory))) download_.Abandon();
}

void SyncConversation::ClearMemory() {
    SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::ClearMemory));
    // The synchronizer takes its time to clear: a longer time-out and an animation.
    host_.Emit(ClearStarted{Instrument::Sync});
    host_.StartTimer(DeviceTimer::Reply, kSyncClearTimeoutMs);
    host_.StartTimer(DeviceTimer::Progress, kProgressPeriodMs);
    progressStep_ = 0;
}

void SyncConversation::OnProgressTick() {
    host_.Emit(ClearProgress{std::min(progressStep_, 100)});
    progressStep_ += kProgressIncrement;
}

void SyncConversation::HandleReply(std::span<const std::uint8_t> frame) {
    const std::size_t length = frame.size();
    switch (static_cast<DeviceCommand>(frame[7])) {
        case DeviceCommand::Test:
            host_.Emit(DecodeTestAnswer(Instrument::Sync, frame));
            break;
        case DeviceCommand::ClearMemory:
            FinishMemoryClear(host_, Instrument::Sync);
            break;
        case DeviceCommand::ReadHistory:
            if (length == kHeaderLength)
                download_.Header(ReadU32(frame.data(), 9));
            else if (length == kRecordLength)
                HandleRecord(frame);
            break;
        case DeviceCommand::SetClock:
        case DeviceCommand::ReadClock:
            ReportClockReply(host_, Instrument::Sync, frame);
            break;
        default:
            break;
    }
}

void SyncConversation::HandleRecord(std::span<const std::uint8_t> frame) {
    const SyncHistoryEntry entry = DecodeSyncRecord(frame);
    // The progress bar goes by the record's own idx, not its position.
    download_.Receive(entry.position, entry.record, IsPossibleSyncRecord(entry.record, frame), entry.stored,
                      static_cast<float>(entry.record.idx));
}

}  // namespace sondara
