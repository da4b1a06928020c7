// The instrument side of the main window: the start-up port scan, the port dialog,
// the connect toggle and the commands of the probe and synchronizer menus.

#include <QAction>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "device/port_map.h"
#include "ui/common/document.h"
#include "ui/common/messages.h"
#include "ui/dialogs/com_set_dialog.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/table/survey_table_view.h"

using sondara::Instrument;

namespace {

// What a device is, as the system names it ("FT232R USB UART", a pseudo-terminal).
QString DescriptionOf(const QString& device) {
    if (device.startsWith("/dev/pts/")) return "伪终端";
    const QSerialPortInfo info(device);
    QStringList parts;
    for (const QString& p : {info.description(), info.manufacturer()}) {
        if (!p.isEmpty() && !parts.contains(p)) parts << p;
    }
    return parts.join(", ");
}

// The ports to pick from: every COMn whose device is present, then the serial devices
// the system lists that no COMn stands for.
QList<PortChoice> PortChoices(bool systemTable) {
    QList<PortChoice> choices;
    QStringList mapped;
    for (const sondara::PortMapping& m : sondara::AllPortMappings(sondara::PortFolder(), systemTable)) {
        const QString device = QString::fromStdString(m.device);
        if (device.isEmpty() || !QFileInfo::exists(device)) continue;
        const QString target = QFileInfo(device).canonicalFilePath();
        mapped << target;
        const QString what = DescriptionOf(target);
        choices.push_back({QString::number(m.number),
                           QString("COM%1 = %2%3").arg(m.number).arg(device, what.isEmpty() ? "" : "  " + what)});
    }
    if (!systemTable) return choices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        if (mapped.contains(QFileInfo(device).canonicalFilePath())) continue;
        choices.push_back({device, DescriptionOf(device)});
    }
    return choices;
}

Instrument InstrumentOf(int clockTarget) {
    return clockTarget == CRtcSetDlg::kProbe ? Instrument::Probe : Instrument::Sync;
}
}  // namespace

void CMainFrame::ConnectInstrumentCommands() {
    using namespace command;
    realTimeDialog_ = std::make_unique<CRealTimeDlg>(this);
    connect(realTimeDialog_.get(), &CRealTimeDlg::closedByUser, this, [this] { session().probe().StopRealTime(); });
    clockDialog_ = std::make_unique<CRtcSetDlg>(
        CRtcSetDlg::Instrument{[this](int target) { session().SendReadClock(InstrumentOf(target)); },
                               [this](int target) { session().SendSetClock(InstrumentOf(target)); }},
        this);
    connect(&line_, &sondara::InstrumentLine::deviceEvent, this, [this](const sondara::DeviceEvent& event) {
        presenter_.Present(event, deviceView_);
        UpdateDownloadState();
        emit deviceEvent(event);
    });

    Handle(actions_[kStopDownload], [this] {
        session().CancelDownload();
        UpdateDownloadState();
    });
    Handle(actions_[kChoosePort], &CMainFrame::OnChoosePort);
    Handle(actions_[kConnect], &CMainFrame::OnConnectToggle);
    Handle(actions_[kProbeTest], [this] { session().probe().TestConnection(); });
    Handle(actions_[kProbeClock], &CMainFrame::OnProbeClock);
    Handle(actions_[kProbeDownload], &CMainFrame::OnProbeDownload);
    Handle(actions_[kProbeRealTime], [this] { session().probe().StartRealTime(); });
    Handle(actions_[kProbeClear], [this] {
        if (sondara::ConfirmClearMemory(Instrument::Probe)) session().probe().ClearMemory();
    });
    Handle(actions_[kSyncTest], [this] { session().sync().TestConnection(); });
    Handle(actions_[kSyncClock], &CMainFrame::OnSyncClock);
    Handle(actions_[kSyncDownload], &CMainFrame::OnSyncDownload);
    Handle(actions_[kSyncClear], [this] {
        if (sondara::ConfirmClearMemory(Instrument::Sync)) session().sync().ClearMemory();
    });
}

bool CMainFrame::OpenComPort(int number) {
    if (options_.systemPortTable) return link().Open(number);
    const sondara::PortMapping m = sondara::MapComPort(number, sondara::PortFolder(), false);
    return !m.device.empty() && link().OpenDevice(m.device);
}

// Opens the first port of COM1 to COM29 that can be opened. Nothing is sent: an
// instrument may be attached later.
void CMainFrame::PortScan() {
    lastPort_ = 1;
    view_->setShowAll(true);
    actions_[command::kShowAll]->setChecked(true);
    session().ClearReceiveBuffer();
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
    if (link().GetPortNumber() != 0)
        link().Close();
    else if (!lastDevice_.isEmpty())
        link().OpenDevice(lastDevice_.toStdString());
    else
        OpenComPort(lastPort_);
    UpdateConnectState();
}

void CMainFrame::UpdateConnectState() {
    QAction* toggle = actions_.value(command::kConnect);
    const bool open = link().GetPortNumber() != 0;
    toggle->setText(open ? "断开连接" : "连接");
    toggle->setChecked(open);
    const QString device = QString::fromStdString(link().DevicePath());
    toggle->setToolTip(open ? "断开连接 " + device : "连接串口");
}

void CMainFrame::OnChoosePort() {
    PortControl control{
        [this] { return link().GetPortNumber(); },
        [this] { return QString::fromStdString(link().DevicePath()); },
        [this] { link().Close(); },
        [this](int n) { return OpenComPort(n); },
        [this](const QString& path) { return link().OpenDevice(path.toStdString()); },
        [this](int n) {
            const auto m = sondara::MapComPort(n, sondara::PortFolder(), options_.systemPortTable);
            return m.device.empty() ? QString("（无设备）") : QString::fromStdString(m.device);
        },
        [this] { return QString::fromStdString(sondara::OpenFailureText(link().lastFailure())); },
        [this] { return PortChoices(options_.systemPortTable); },
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

namespace {

// After an incomplete download of the same instrument: fill in only the missing
// records (nothing that arrived is lost), read everything again, or do nothing.
enum class DownloadChoice { Fill, Full, None };

template <typename Record>
DownloadChoice AskHowToDownload(const sondara::HistoryDownload<Record>& download, Instrument instrument) {
    if (!download.canFill()) return DownloadChoice::Full;
    std::vector<std::uint32_t> first;
    const std::uint32_t missing = download.ledger().Missing(0, first);
    const std::string text = "上次读取的" + sondara::InstrumentName(instrument) + "数据缺少" + std::to_string(missing) +
                             "条记录。\n“是”只补读缺少的记录，“否”重新读取全部记录。";
    switch (sondara::ShowMessage(text, "提示", sondara::MessageIcon::Question, sondara::MessageButtons::YesNoCancel)) {
        case sondara::MessageAnswer::Yes:
            return DownloadChoice::Fill;
        case sondara::MessageAnswer::No:
            return DownloadChoice::Full;
        default:
            return DownloadChoice::None;
    }
}

}  // namespace

void CMainFrame::OnProbeDownload() {
    auto& probe = session().probe();
    const DownloadChoice choice = AskHowToDownload(probe.download(), Instrument::Probe);
    if (choice == DownloadChoice::Fill)
        probe.StartHistoryDownload(true);
    else if (choice == DownloadChoice::Full && MayReplaceDownload(!document_.store().m_probeRecords.empty()))
        probe.StartHistoryDownload();
    UpdateDownloadState();
}

void CMainFrame::OnSyncDownload() {
    auto& sync = session().sync();
    const DownloadChoice choice = AskHowToDownload(sync.download(), Instrument::Sync);
    if (choice == DownloadChoice::Fill)
        sync.StartHistoryDownload(true);
    else if (choice == DownloadChoice::Full && MayReplaceDownload(!document_.store().m_syncRecords.empty()))
        sync.StartHistoryDownload();
    UpdateDownloadState();
}

void CMainFrame::LinkStateChanged() { UpdateConnectState(); }

// While a download runs, commands that would talk over it on the line or replace the
// survey under it are disabled rather than queued behind it; only stopping it runs.
void CMainFrame::UpdateDownloadState() {
    using namespace command;
    const bool downloading = session().DownloadPending();
    for (int id : {kChoosePort, kConnect, kProbeTest, kProbeClock, kProbeDownload, kProbeRealTime, kProbeClear,
                   kSyncTest, kSyncClock, kSyncDownload, kSyncClear, kFileNew, kFileOpen, kOpenJson}) {
        if (QAction* a = actions_.value(id); a && handled_.contains(id)) a->setEnabled(!downloading);
    }
    for (QAction* a : recentActions_) a->setEnabled(!downloading);
    actions_.value(kStopDownload)->setEnabled(downloading);
}
