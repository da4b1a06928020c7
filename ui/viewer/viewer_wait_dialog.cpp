#include "ui/viewer/viewer_wait_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/common/messages.h"

ViewerWaitDialog::ViewerWaitDialog(const QString& text, std::function<bool()> viewerShown,
                                   std::function<bool()> viewerRunning, QWidget* parent, int pollMs)
    : QDialog(parent), viewerShown_(std::move(viewerShown)), viewerRunning_(std::move(viewerRunning)) {
    setWindowTitle("稍等");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    connect(&poll_, &QTimer::timeout, this, &ViewerWaitDialog::Poll);
    poll_.start(pollMs);
}

void ViewerWaitDialog::Poll() {
    if (viewerShown_()) {
        poll_.stop();
        accept();
    } else if (!viewerRunning_()) {
        poll_.stop();
        viewerEnded_ = true;
        accept();
        sondara::ShowMessage("群组图程序已退出", "警告", sondara::MessageIcon::Warning);
    }
}
