// The instrument side of the main window: the start-up port scan, the port dialog,
// the connect toggle and the commands of the probe and synchronizer menus.

#include <QAction>

#include "core/messages.h"
#include "device/port_map.h"
#include "ui/common/document.h"
#include "ui/dialogs/com_set_dialog.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/table/survey_table_view.h"

using sondara::Instrument;

namespace {
Instrument InstrumentOf(int clockTarget) {
    return clockTarget == CRtcSetDlg::kProbe ? Instrument::Probe : Instrument::Sync;
}
}  // namespace

QTimer& CMainFrame::timer(sondara::DeviceTimer which) { return timers_[int(which) - 1]; }

void CMainFrame::ConnectInstrumentCommands() {
    using namespace command;
    realTimeDialog_ = std::make_unique<CRealTimeDlg>(this);
    connect(realTimeDialog_.get(), &CRealTimeDlg::closedByUser, this, [this] { session_.probe().StopRealTime(); });
    clockDialog_ = std::make_unique<CRtcSetDlg>(
        CRtcSetDlg::Instrument{[this](int target) { session_.SendReadClock(InstrumentOf(target)); },
                               [this](int target) { session_.SendSetClock(InstrumentOf(target)); }},
        this);
    connect(&link_, &sondara::SerialLink::dataReceived, this, [this] { session_.OnSerialData(link_.ReadAll()); });

    Handle(actions_[kChoosePort], &CMainFrame::OnChoosePort);
    Handle(actions_[kConnect], &CMainFrame::OnConnectToggle);
    Handle(actions_[kProbeTest], [this] { session_.probe().TestConnection(); });
    Handle(actions_[kProbeClock], &CMainFrame::OnProbeClock);
    Handle(actions_[kProbeDownload], &CMainFrame::OnProbeDownload);
    Handle(actions_[kProbeRealTime], [this] { session_.probe().StartRealTime(); });
    Handle(actions_[kProbeClear], [this] { session_.probe().ClearMemory(); });
    Handle(actions_[kSyncTest], [this] { session_.sync().TestConnection(); });
    Handle(actions_[kSyncClock], &CMainFrame::OnSyncClock);
    Handle(actions_[kSyncDownload], &CMainFrame::OnSyncDownload);
    Handle(actions_[kSyncClear], [this] { session_.sync().ClearMemory(); });
}

bool CMainFrame::OpenComPort(int number) {
    if (options_.systemPortTable) return link_.Open(number);
    const sondara::PortMapping m = sondara::MapComPort(number, sondara::PortFolder(), false);
    return !m.device.empty() && link_.OpenDevice(m.device);
}

// Opens the first port of COM1 to COM29 that can be opened. Nothing is sent: an
// instrument may be attached later.
void CMainFrame::PortScan() {
    lastPort_ = 1;
    view_->setShowAll(true);
    actions_[command::kShowAll]->setChecked(true);
    session_.ClearReceiveBuffer();
    bool opened = false;
    for (int n = sondara::kFirstComPort; n <= sondara::kLastComPort && !opened; ++n) {
        if (!OpenComPort(n)) continue;
        lastPort_ = n;
        opened = true;
        UpdateConnectState();
        sondara::ShowMessage(QString("串口%1已打开").arg(n).toStdString(), "", sondara::MessageIcon::None);
    }
    if (!opened) sondara::ShowMessage("未找到有效串口", "", sondara::MessageIcon::Error);
    UpdateConnectState();
}

void CMainFrame::OnConnectToggle() {
    if (link_.GetPortNumber() != 0)
        link_.Close();
    else if (!lastDevice_.isEmpty())
        link_.OpenDevice(lastDevice_.toStdString());
    else
        OpenComPort(lastPort_);
    UpdateConnectState();
}

void CMainFrame::UpdateConnectState() {
    QAction* toggle = actions_.value(command::kConnect);
    const bool open = link_.GetPortNumber() != 0;
    toggle->setText(open ? "断开连接" : "连接");
    toggle->setChecked(open);
    const QString device = QString::fromStdString(link_.DevicePath());
    toggle->setToolTip(open ? "断开连接 " + device : "连接串口");
}

void CMainFrame::OnChoosePort() {
    PortControl control{
        [this] { return link_.GetPortNumber(); },
        [this] { return QString::fromStdString(link_.DevicePath()); },
        [this] { link_.Close(); },
        [this](int n) { return OpenComPort(n); },
        [this](const QString& path) { return link_.OpenDevice(path.toStdString()); },
        [this](int n) {
            const auto m = sondara::MapComPort(n, sondara::PortFolder(), options_.systemPortTable);
            return m.device.empty() ? QString("（无设备）") : QString::fromStdString(m.device);
        },
    };
    CComSetDlg dialog(std::move(control), lastPort_, this);
    if (dialog.exec() == QDialog::Accepted) {
        lastDevice_ = dialog.device();
        if (lastDevice_.isEmpty()) lastPort_ = dialog.port();
    }
    UpdateConnectState();
}

void CMainFrame::RunClockDialog(int target) {
    clockDialog_->m_clockTarget = target;
    clockDialog_->exec();
}

void CMainFrame::OnProbeClock() { RunClockDialog(CRtcSetDlg::kProbe); }
void CMainFrame::OnSyncClock() { RunClockDialog(CRtcSetDlg::kSynchronizer); }

// A new download replaces that instrument's records in the store: unsaved ones are
// offered for saving first.
bool CMainFrame::MayReplaceDownload(bool recordsPresent) { return !recordsPresent || MayDiscardSurvey(); }

void CMainFrame::OnProbeDownload() {
    if (MayReplaceDownload(!document_.store().m_probeRecords.empty())) session_.probe().StartHistoryDownload();
}

void CMainFrame::OnSyncDownload() {
    if (MayReplaceDownload(!document_.store().m_syncRecords.empty())) session_.sync().StartHistoryDownload();
}
