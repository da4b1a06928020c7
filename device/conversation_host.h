#pragma once
// What the probe and synchronizer conversations need of the program around them.
// The desktop main window implements it over its status bar, table view, timers and
// dialogs; sondara-cli and the tests implement it headless (device/headless_host.h).
//
// Every call is made on the user-interface thread, from a command, a timer tick or
// the reply scanner. User messages do not pass through here: the conversations call
// sondara::ShowMessage (core/messages.h), whose sink the program puts in force.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/attitude.h"
#include "core/ole_time.h"
#include "core/records.h"

namespace sondara {

// The three timers of the main window. Each one is periodic once started (a tick
// every period until stopped); starting a running timer restarts it with the new
// period. The host calls InstrumentSession::OnTimer on every tick.
enum class DeviceTimer {
    Reply = 1,     // reply time-out: 6000 ms after a send, 25000 ms after a synchronizer clear
    RealTime = 2,  // 1000 ms: asks the probe for a live sample during real-time output
    Progress = 3,  // 1000 ms: animates the progress bar while the synchronizer clears
};

// Things worth knowing outside the conversations, beyond what the other calls show:
// headless hosts end their wait on them; the main window may mark the document
// modified. Nothing is required of a host that ignores them.
enum class ConversationEvent {
    ProbeTestAnswered,  // a probe test reply arrived (the message has been shown)
    SyncTestAnswered,
    ProbeDownloadComplete,  // the probe's last announced record arrived
    SyncDownloadComplete,
    ProbeHistoryEmpty,  // the probe announced 0 records
    SyncHistoryEmpty,
    ProbeMemoryCleared,  // the probe answered ClearMemory
    SyncMemoryCleared,
    ProbeRecordStored,  // one history record appended to the store
    SyncRecordStored,
    CalibrationComplete,   // calibration block 31 arrived
    LiveValuesShown,       // a live sample was decoded and passed to ShowLiveValues
    InstrumentClockShown,  // a clock reply was passed to ShowInstrumentClock
    ReplyTimedOut,         // TIMER_REPLY expired (the time-out message has been shown)
};

class ConversationHost {
public:
    virtual ~ConversationHost() = default;

    // The serial link: whether it is open (SerialLink::GetPortNumber() non-zero), and
    // a write of every byte given. The written count is not checked by the callers.
    virtual bool IsLinkOpen() = 0;
    virtual void WriteBytes(const std::uint8_t* data, std::size_t size) = 0;

    // Timers, see DeviceTimer. Stopping a timer that does not run does nothing.
    virtual void StartTimer(DeviceTimer timer, int milliseconds) = 0;
    virtual void StopTimer(DeviceTimer timer) = 0;

    // Status-bar pane 1 (UTF-8, such as "数据读取中....") and the progress bar of
    // pane 2 (0 to 100).
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void SetProgress(int percent) = 0;

    // Survey table row operations (the table view's ClearRows, AppendProbeRow,
    // AppendSyncRow, FillHoleRows). FillHoleRows fills from Store().m_holes.
    virtual void ClearRows() = 0;
    virtual void AppendProbeRow(const ProbeRecord& record) = 0;
    virtual void AppendSyncRow(const SyncRecord& record) = 0;
    virtual void FillHoleRows() = 0;

    // Real-time output: creates and shows the live-values display (the modeless
    // real-time dialog) and returns whether it now exists. When its window closes the
    // host calls ProbeConversation::StopRealTime().
    virtual bool OpenLiveValuesDisplay() = 0;
    // A decoded live sample; the display formats it with the PC's current time.
    virtual void ShowLiveValues(const LiveValues& live) = 0;

    // A clock reply (0x0E or 0x21) from either instrument: the instrument clock,
    // year already full (2000 + BCD year), fields as the instrument sent them, not
    // validated. The clock dialog shows it with FormatInstrumentClock
    // (device/frames.h) beside the PC's time; while it is closed this does nothing.
    virtual void ShowInstrumentClock(const CalendarTime& clock) = 0;

    // The survey store the downloads fill (the document's).
    virtual SurveyStore& Store() = 0;

    // See ConversationEvent.
    virtual void Notify(ConversationEvent) {}
};

}  // namespace sondara
