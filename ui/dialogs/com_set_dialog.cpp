#include "ui/dialogs/com_set_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"

CComSetDlg::CComSetDlg(PortControl link, int port, QWidget* parent)
    : QDialog(parent), link_(std::move(link)), port_(port) {
    setWindowTitle("通信端口设置");
    edit_ = new QLineEdit(QString::number(port_));
    deviceLabel_ = new QLabel;
    deviceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    edit_->setToolTip("端口号，或设备路径（如 /dev/ttyUSB0）");
    auto* form = new QFormLayout;
    form->addRow("请选择端口号", edit_);
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
    const int n = edit_->text().trimmed().toInt(&isNumber);
    deviceLabel_->setText(isNumber && link_.deviceOf ? QString("COM%1 = %2").arg(n).arg(link_.deviceOf(n)) : QString());
}

void CComSetDlg::ConnectClicked() {
    const QString text = edit_->text().trimmed();
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
    if (port == link_.portNumber()) return;  // that port is already open (or 0 while closed)
    link_.close();
    if (link_.open(port)) {
        device_.clear();
        accept();
    } else {
        sondara::ShowMessage("打开串口失败", "", sondara::MessageIcon::None);
    }
}

void CComSetDlg::ConnectTo(const QString& device) {
    edit_->setFocus();
    if (device == link_.devicePath()) return;
    link_.close();
    if (link_.openDevice(device)) {
        device_ = device;
        accept();
    } else {
        sondara::ShowMessage("打开串口失败", "", sondara::MessageIcon::None);
    }
}
