#include "ui/dialogs/rtc_set_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/common/now_text.h"

CRtcSetDlg::CRtcSetDlg(Instrument instrument, QWidget* parent) : QDialog(parent), instrument_(std::move(instrument)) {
    setWindowTitle("时钟校准");
    auto* set = new QPushButton("校准时钟");
    set->setAutoDefault(false);
    instrumentClock_ = new QLabel;
    pcClock_ = new QLabel;
    for (QLabel* l : {instrumentClock_, pcClock_}) {
        l->setMinimumWidth(200);
        l->setFrameShape(QFrame::StyledPanel);
    }
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("仪器时钟"), 0, 0);
    grid->addWidget(instrumentClock_, 0, 1);
    grid->addWidget(new QLabel("当前时间"), 1, 0);
    grid->addWidget(pcClock_, 1, 1);
    grid->addWidget(set, 2, 1, Qt::AlignRight);
    connect(set, &QPushButton::clicked, this, &CRtcSetDlg::SetClockClicked);
    poll_.setInterval(1000);
    connect(&poll_, &QTimer::timeout, this, &CRtcSetDlg::Poll);
}

int CRtcSetDlg::exec() {
    poll_.start();
    return QDialog::exec();
}

void CRtcSetDlg::done(int result) {
    poll_.stop();
    QDialog::done(result);
}

// With the link closed every request answers with a modal "串口没有打开" box. The
// timer rests while a request is out, so only one box shows at a time and polling
// resumes once it is closed, unless the dialog was closed meanwhile.
void CRtcSetDlg::Poll() {
    poll_.stop();
    if (instrument_.readClock) instrument_.readClock(m_clockTarget);
    if (isVisible()) poll_.start();
}

void CRtcSetDlg::SetClockClicked() {
    if (instrument_.setClock) instrument_.setClock(m_clockTarget);
}

void CRtcSetDlg::Display(const sondara::CalendarTime& c) {
    instrumentClock_->setText(
        QString::asprintf("%.4d-%.2d-%.2d  %.2d:%.2d:%.2d", c.year, c.month, c.day, c.hour, c.minute, c.second));
    pcClock_->setText(LocalNowText());
}

QString CRtcSetDlg::instrumentClockText() const { return instrumentClock_->text(); }
QString CRtcSetDlg::pcClockText() const { return pcClock_->text(); }
