#include "com_set_dialog.h"

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
    device_ = new QLabel;
    device_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* form = new QFormLayout;
    form->addRow("请选择端口号", edit_);
    form->addRow("", device_);
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
    if (isNumber && link_.deviceOf) device_->setText(QString("COM%1 = %2").arg(n).arg(link_.deviceOf(n)));
    else if (edit_->text().trimmed().startsWith('/')) device_->setText("设备 " + edit_->text().trimmed());
    else device_->clear();
}

void CComSetDlg::ConnectClicked() {
    const QString text = edit_->text().trimmed();
    bool isNumber = false;
    const int typed = text.toInt(&isNumber);
    if (isNumber) {
        port_ = typed;
    } else if (text.startsWith('/') && link_.numberOf && link_.numberOf(text) > 0) {
        port_ = link_.numberOf(text);
    } else {
        sondara::ShowMessage("请输入一个整数。", "Sondara", sondara::MessageIcon::Warning);
    }
    if (port_ == link_.portNumber()) {
        edit_->setFocus();
        return;
    }
    link_.close();
    if (link_.open(port_)) {
        accept();
        return;
    }
    sondara::ShowMessage("打开串口失败", "", sondara::MessageIcon::None);
    edit_->setFocus();
}
