#include "ui/mainwindow/frame_device_view.h"

#include "ui/common/document.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;

void FrameDeviceView::SetStatusText(const std::string& text) { frame_.SetStatusText(QString::fromStdString(text)); }
void FrameDeviceView::SetProgress(int percent) { frame_.SetProgress(percent); }
void FrameDeviceView::SetRecordCount(std::uint32_t done, std::uint32_t total) { frame_.SetRecordCount(done, total); }
void FrameDeviceView::ClearRows() { frame_.view().ClearRows(); }

void FrameDeviceView::AppendProbeRow(std::size_t index) { frame_.view().AppendProbeRow(index); }
void FrameDeviceView::AppendSyncRow(std::size_t index) { frame_.view().AppendSyncRow(index); }
void FrameDeviceView::FillHoleRows() { frame_.view().FillHoleRows(); }
// The store holds exactly `count` records of the instrument while its download runs.
void FrameDeviceView::FillRecordRows(sondara::Instrument instrument, std::size_t /*count*/) {
    frame_.view().FillRecordRows(instrument == sondara::Instrument::Probe);
}

void FrameDeviceView::OpenLiveValuesDisplay() {
    frame_.realTimeDialog().show();
    frame_.realTimeDialog().raise();
}

void FrameDeviceView::ShowLiveValues(const LiveValues& live) { frame_.realTimeDialog().ShowLiveValues(live); }

void FrameDeviceView::ShowInstrumentClock(const CalendarTime& clock) {
    if (frame_.clockDialog().isVisible()) frame_.clockDialog().Display(clock);
}

void FrameDeviceView::MarkModified() { frame_.document().setModified(true); }
void FrameDeviceView::LinkClosed() { frame_.LinkStateChanged(); }
