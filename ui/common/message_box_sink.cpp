#include "ui/common/message_box_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon BoxIcon(sondara::MessageIcon icon) {
    switch (icon) {
        case sondara::MessageIcon::Information:
            return QMessageBox::Information;
        case sondara::MessageIcon::Warning:
            return QMessageBox::Warning;
        case sondara::MessageIcon::Error:
            return QMessageBox::Critical;
        case sondara::MessageIcon::Question:
            return QMessageBox::Question;
        case sondara::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(sondara::MessageButtons buttons) {
    switch (buttons) {
        case sondara::MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case sondara::MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case sondara::MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case sondara::MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

sondara::MessageAnswer ShowMessageBox(QWidget* parent, const sondara::Message& message) {
    QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), BoxButtons(message.buttons), parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return sondara::MessageAnswer::Yes;
        case QMessageBox::No:
            return sondara::MessageAnswer::No;
        case QMessageBox::Cancel:
            return sondara::MessageAnswer::Cancel;
        default:
            break;
    }
    // Closing a question box with Escape or the close box means "not now".
    return message.buttons == sondara::MessageButtons::Ok ? sondara::MessageAnswer::Ok : sondara::MessageAnswer::Cancel;
}

void InstallMessageBoxSink(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    sondara::CurrentMessageSink() = [owner](const sondara::Message& m) { return ShowMessageBox(owner.data(), m); };
}
