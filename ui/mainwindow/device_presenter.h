#pragma once
// What the user sees of the instrument line: the status texts, progress values,
// table rows, message boxes and displays that each event of the conversations
// stands for. The main window, sondara-cli and the tests share it, each with its
// own DeviceView; messages go through the message seam (ui/common/messages.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/records.h"
#include "device/device_events.h"
#include "device/serial_link.h"

namespace sondara {

// The parts of a window the line's events reach.
class DeviceView {
public:
    virtual ~DeviceView() = default;
    // Status-bar pane 1 and the progress bar of pane 2 (0 to 100).
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetProgress(int percent) = 0;
    // Records of the download in the store against those announced ("1234/5000").
    virtual void SetRecordCount(std::uint32_t /*done*/, std::uint32_t /*total*/) {}
    // Survey table rows: the store's records at `index` of their sequence.
    virtual void ClearRows() = 0;
    virtual void AppendProbeRow(std::size_t index) = 0;
    virtual void AppendSyncRow(std::size_t index) = 0;
    virtual void FillHoleRows() = 0;
    // Rows for the first `count` records of the instrument's sequence, replacing what
    // the table shows (a window refills them in one go).
    virtual void FillRecordRows(Instrument instrument, std::size_t count) {
        ClearRows();
        for (std::size_t i = 0; i < count; ++i) {
            if (instrument == Instrument::Probe)
                AppendProbeRow(i);
            else
                AppendSyncRow(i);
        }
    }
    // Real-time output began: the live-values display opens; then every sample.
    virtual void OpenLiveValuesDisplay() = 0;
    virtual void ShowLiveValues(const LiveValues& live) = 0;
    // An instrument clock reply, for the clock dialog (nothing while it is closed).
    virtual void ShowInstrumentClock(const CalendarTime& clock) = 0;
    // The store holds downloaded records that are not saved.
    virtual void MarkModified() {}
    // The link closed by itself (a hang-up).
    virtual void LinkClosed() {}
};

class DevicePresenter {
public:
    void Present(const DeviceEvent& event, DeviceView& view);

private:
    void Present(const DownloadStarted& e, DeviceView& view);
    void Present(const DownloadFinished& e, DeviceView& view);
    void Present(const Failed& e, DeviceView& view);

    // Refusals seen during the download under way, told at its end.
    int impossible_ = 0, conflicting_ = 0, strayHeaders_ = 0;
    bool lossTold_ = false;
};

// Asks before clearing an instrument's memory ("将会清空…中所有数据，是否继续?");
// whether the user chose OK.
bool ConfirmClearMemory(Instrument instrument);

// "硬件版本：%d.%d.%d; 软件版本：%d.%d.%d".
std::string VersionLine(const TestAnswered& answer);

// The name of an instrument in messages: "探管" or "同步器".
std::string InstrumentName(Instrument instrument);

// What an incomplete download's message says (the numbers missing, the first few).
std::string IncompleteDownloadText(const DownloadFinished& done);

// Why a port did not open, in a sentence, after "打开串口失败".
std::string OpenFailureText(const OpenFailure& failure);

// The status text of an incomplete download.
inline constexpr const char* kIncompleteStatus = "数据读取不完整";
// The message when the device hangs up.
inline constexpr const char* kLinkLostText = "串口连接已断开";

}  // namespace sondara
