#include "device/sync_conversation.h"

#include <algorithm>

#include "core/messages.h"
#include "core/survey_pipeline.h"
#include "device/common_replies.h"
#include "device/frames.h"
#include "device/send.h"

namespace sondara {

namespace {

constexpr std::size_t kHeaderLength = 14;
constexpr std::size_t kRecordLength = 26;
constexpr std::uint8_t kStoredMarker = 0xFF;
constexpr int kProgressIncrement = 4;
constexpr std::int32_t kMaxReserve = 1 << 20;

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

void AssembleIfBothPresent(ConversationHost& host) {
    SurveyStore& store = host.Store();
    if (!Recompute(store, SurveyChange::DownloadEnded)) return;
    host.ClearRows();
    host.FillHoleRows();
}

SyncConversation::SyncConversation(ConversationHost& host) : host_(host) {}

void SyncConversation::TestConnection() { SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::Test)); }

void SyncConversation::StartHistoryDownload() {
    host_.Store().m_syncRecords.clear();
    SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::ReadHistory));
}

void SyncConversation::ClearMemory() {
    if (ShowMessage("将会清空同步器中所有数据，是否继续?", "警告", MessageIcon::Question, MessageButtons::OkCancel) !=
        MessageAnswer::Ok)
        return;
    SendHexCommand(host_, CommandText(Instrument::Sync, DeviceCommand::ClearMemory));
    // The synchronizer takes its time to clear: a longer time-out and an animation.
    host_.SetStatusText("清空中，稍候....");
    host_.SetProgress(0);
    host_.StartTimer(DeviceTimer::Reply, kSyncClearTimeoutMs);
    host_.StartTimer(DeviceTimer::Progress, kProgressPeriodMs);
    progressStep_ = 0;
}

void SyncConversation::OnProgressTick() {
    host_.SetProgress(std::min(progressStep_, 100));
    progressStep_ += kProgressIncrement;
}

void SyncConversation::HandleReply(std::span<const std::uint8_t> frame) {
    const std::size_t length = frame.size();
    switch (static_cast<DeviceCommand>(frame[7])) {
        case DeviceCommand::Test:
            ShowTestAnswer(frame);
            host_.Notify(ConversationEvent::SyncTestAnswered);
            break;
        case DeviceCommand::ClearMemory:
            FinishMemoryClear(host_, ConversationEvent::SyncMemoryCleared);
            break;
        case DeviceCommand::ReadHistory:
            if (length == kHeaderLength)
                HandleHeader(frame);
            else if (length == kRecordLength)
                HandleRecord(frame);
            break;
        case DeviceCommand::SetClock:
        case DeviceCommand::ReadClock:
            ShowClockReply(host_, frame);
            break;
        default:
            break;
    }
}

void SyncConversation::HandleHeader(std::span<const std::uint8_t> frame) {
    SurveyStore& store = host_.Store();
    store.m_syncRecords.clear();
    host_.ClearRows();
    syncTotal_ = static_cast<std::int32_t>(ReadU32(frame.data(), 9));
    store.m_syncRecords.reserve(static_cast<std::size_t>(std::clamp(syncTotal_, 0, kMaxReserve)));
    host_.SetProgress(0);
    host_.SetStatusText("数据读取中....");
    if (syncTotal_ == 0) {
        ShowMessage("同步器中没有存储数据", "设备回复信息", MessageIcon::Information);
        host_.Notify(ConversationEvent::SyncHistoryEmpty);
    }
}

void SyncConversation::HandleRecord(std::span<const std::uint8_t> frame) {
    const SyncHistoryEntry entry = DecodeSyncRecord(frame);
    const std::int32_t position = entry.position;
    if (entry.stored && position < syncTotal_) {
        host_.Store().m_syncRecords.push_back(entry.record);
        // By the record's own idx, not its position.
        host_.SetProgress(RecordProgress(static_cast<float>(entry.record.idx), static_cast<float>(syncTotal_)));
        host_.AppendSyncRow(entry.record);
        host_.Notify(ConversationEvent::SyncRecordStored);
    }
    if (position == syncTotal_ - 1) {
        host_.SetStatusText("数据读取完成");
        host_.SetProgress(100);
        AssembleIfBothPresent(host_);
        host_.Notify(ConversationEvent::SyncDownloadComplete);
    }
}

}  // namespace sondara
