#pragma once
// The main window as the instrument conversations see it: its status bar, table,
// timers, real-time and clock dialogs, the serial link and the document's store.

#include "device/conversation_host.h"

class CMainFrame;

class FrameConversationHost : public sondara::ConversationHost {
public:
    explicit FrameConversationHost(CMainFrame& frame) : frame_(frame) {}

    bool IsLinkOpen() override;
    void WriteBytes(const std::uint8_t* data, std::size_t size) override;
    void StartTimer(sondara::DeviceTimer timer, int milliseconds) override;
    void StopTimer(sondara::DeviceTimer timer) override;
    void SetStatusText(std::string_view text) override;
    void SetProgress(int percent) override;
    void ClearRows() override;
    void AppendProbeRow(const sondara::ProbeRecord& record) override;
    void AppendSyncRow(const sondara::SyncRecord& record) override;
    void FillHoleRows() override;
    bool OpenLiveValuesDisplay() override;
    void ShowLiveValues(const sondara::LiveValues& live) override;
    void ShowInstrumentClock(const sondara::CalendarTime& clock) override;
    sondara::SurveyStore& Store() override;
    void Notify(sondara::ConversationEvent event) override;

private:
    CMainFrame& frame_;
};
