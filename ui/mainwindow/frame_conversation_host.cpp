#include "ui/mainwindow/frame_conversation_host.h"

#include <functional>

#include "ui/common/document.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;

namespace {

// Position of `record` in `records` when it is one of them, else the last position:
// the conversations append a record to the store and then ask for its row.
template <typename Record>
std::size_t PositionOf(const std::vector<Record>& records, const Record& record) {
    const Record* p = &record;
    if (!records.empty() && std::greater_equal<const Record*>()(p, records.data()) &&
        std::less<const Record*>()(p, records.data() + records.size()))
        return std::size_t(p - records.data());
    return records.empty() ? 0 : records.size() - 1;
}

}  // namespace

bool FrameConversationHost::IsLinkOpen() { return frame_.link().GetPortNumber() != 0; }

void FrameConversationHost::WriteBytes(const std::uint8_t* data, std::size_t size) {
    frame_.link().WriteBytes(data, int(size));
}

void FrameConversationHost::StartTimer(DeviceTimer timer, int milliseconds) { frame_.timer(timer).start(milliseconds); }
void FrameConversationHost::StopTimer(DeviceTimer timer) { frame_.timer(timer).stop(); }
void FrameConversationHost::SetStatusText(std::string_view text) {
    frame_.SetStatusText(QString::fromUtf8(text.data(), qsizetype(text.size())));
}
void FrameConversationHost::SetProgress(int percent) { frame_.SetProgress(percent); }
void FrameConversationHost::ClearRows() { frame_.view().ClearRows(); }

void FrameConversationHost::AppendProbeRow(const ProbeRecord& record) {
    frame_.view().AppendProbeRow(PositionOf(Store().m_probeRecords, record));
}

void FrameConversationHost::AppendSyncRow(const SyncRecord& record) {
    frame_.view().AppendSyncRow(PositionOf(Store().m_syncRecords, record));
}

void FrameConversationHost::FillHoleRows() { frame_.view().FillHoleRows(); }

bool FrameConversationHost::OpenLiveValuesDisplay() {
    frame_.realTimeDialog().show();
    frame_.realTimeDialog().raise();
    return true;
}

void FrameConversationHost::ShowLiveValues(const LiveValues& live) { frame_.realTimeDialog().ShowLiveValues(live); }

void FrameConversationHost::ShowInstrumentClock(const CalendarTime& clock) {
    if (frame_.clockDialog().isVisible()) frame_.clockDialog().Display(clock);
}

SurveyStore& FrameConversationHost::Store() { return frame_.document().store(); }

void FrameConversationHost::Notify(ConversationEvent event) {
    switch (event) {
        case ConversationEvent::ProbeRecordStored:
        case ConversationEvent::SyncRecordStored:
        case ConversationEvent::ProbeDownloadComplete:
        case ConversationEvent::SyncDownloadComplete:
            frame_.document().setModified(true);  // a download is unsaved data
            break;
        default:
            break;
    }
    emit frame_.conversationEvent(int(event));
}
