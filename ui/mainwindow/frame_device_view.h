#pragma once
// The main window as the instrument line's events reach it: status bar, progress
// bar, table rows, the real-time and clock dialogs, the document's modified mark and
// the connect toggle.

#include "ui/mainwindow/device_presenter.h"

class CMainFrame;

class FrameDeviceView : public sondara::DeviceView {
public:
    explicit FrameDeviceView(CMainFrame& frame) : frame_(frame) {}

    void SetStatusText(const std::string& text) override;
    void SetProgress(int percent) override;
    void SetRecordCount(std::uint32_t done, std::uint32_t total) override;
    void ClearRows() override;
    void AppendProbeRow(std::size_t index) override;
    void AppendSyncRow(std::size_t index) override;
    void FillHoleRows() override;
    void FillRecordRows(sondara::Instrument instrument, std::size_t count) override;
    void OpenLiveValuesDisplay() override;
    void ShowLiveValues(const sondara::LiveValues& live) override;
    void ShowInstrumentClock(const sondara::CalendarTime& clock) override;
    void MarkModified() override;
    void LinkClosed() override;

private:
    CMainFrame& frame_;
};
