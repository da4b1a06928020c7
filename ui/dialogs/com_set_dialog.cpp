#include "ui/dialogs/com_set_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/messages.h"

CComSetDlg::CComSetDlg(PortControl link, int port, QWidget* parent)
    : QDialog(parent), link_(std::move(link)), port_(port) {
    setWindowTitle("通信端口设置");
    list_ = new QComboBox;
    list_->setEditable(true);
    list_->setInsertPolicy(QComboBox::NoInsert);
    list_->setMinimumContentsLength(36);
    if (link_.ports) {
        for (const PortChoice& c : link_.ports()) list_->addItem(c.value + "  " + c.description, c.value);
    }
    edit_ = list_->lineEdit();
    list_->setEditText(QString::number(port_));
    deviceLabel_ = new QLabel;
    deviceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    edit_->setToolTip("端口号，或设备路径（如 /dev/ttyUSB0）");
    auto* form = new QFormLayout;
    form->addRow("请选择端口号", list_);
    form->addRow("", deviceLabel_);
    auto* buttons = new QDialogButtonBox;
    auto* connectButton = buttons->addButton("确定并连接", QDialogButtonBox::AcceptRole);
    connectButton->setDefault(true);
    buttons->addButton("取消", QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CComSetDlg::ConnectClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(edit_, &QLineEdit::textChanged, this, &CComSetDlg::ShowDevice);
    ShowDevice();
    edit_->setFocus();
}

// Shows which device the typed number stands for, so a user on Linux knows what
// "COM3" opens.
void CComSetDlg::ShowDevice() {
    bool isNumber = false;
    const int n = edit_->text().trimmed().section(' ', 0, 0).toInt(&isNumber);
    deviceLabel_->setText(isNumber && link_.deviceOf ? QString("COM%1 = %2").arg(n).arg(link_.deviceOf(n)) : QString());
}

void CComSetDlg::ConnectClicked() {
    // A picked entry reads "3  COM3 = /dev/ttyUSB0 ..."; what counts is its first word.
    const QString text = edit_->text().trimmed().section(' ', 0, 0);
    bool isNumber = false;
    const int typed = text.toInt(&isNumber);
    if (text.startsWith('/')) return ConnectTo(text);
    if (isNumber)
        port_ = typed;
    else
        sondara::ShowMessage("请输入一个整数。", "Sondara", sondara::MessageIcon::Warning);
    ConnectTo(port_);
}

void CComSetDlg::ConnectTo(int port) {
    edit_->setFocus();
    const int oldPort = link_.portNumber();
    if (port == 0 && oldPort == 0) return;  // no port 0 to open
    const QString oldDevice = link_.devicePath();
    link_.close();
    if (link_.open(port)) {
        device_.clear();
        accept();
    } else {
        OpenFailed(oldPort, oldDevice);
    }
}

void CComSetDlg::ConnectTo(const QString& device) {
    edit_->setFocus();
    const int oldPort = link_.portNumber();
    const QString oldDevice = link_.devicePath();
    link_.close();
    if (link_.openDevice(device)) {
        device_ = device;
        accept();
    } else {
        OpenFailed(oldPort, oldDevice);
    }
}

void CComSetDlg::OpenFailed(int oldPort, const QString& oldDevice) {
    const QString reason = link_.failureReason ? link_.failureReason() : QString();
    sondara::ShowMessage(("打开串口失败" + (reason.isEmpty() ? QString() : "\n" + reason)).toStdString(), "",
                         sondara::MessageIcon::None);
    // The link that worked before stays.
    if (oldPort > 0)
        link_.open(oldPort);
    else if (!oldDevice.isEmpty())
        link_.openDevice(oldDevice);
}
