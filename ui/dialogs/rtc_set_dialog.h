#pragma once
// "时钟校准": polls the clock of the probe or of the synchronizer once a second,
// shows the last answer beside the PC's time, and sets the instrument clock to the
// PC's time on request.

#include <QDialog>
#include <QTimer>

#include <functional>

#include "core/ole_time.h"

class QLabel;

class CRtcSetDlg : public QDialog {
    Q_OBJECT

public:
    enum Target { kProbe = 0, kSynchronizer = 1 };
    struct Instrument {
        std::function<void(int target)> readClock;  // sends the clock request
        std::function<void(int target)> setClock;   // sends the PC's local time now
    };

    explicit CRtcSetDlg(Instrument instrument, QWidget* parent = nullptr);

    int m_clockTarget = kProbe;
    int exec() override;

    // A clock reply from either instrument (year already full), beside the PC's time.
    void Display(const sondara::CalendarTime& clock);

    QString instrumentClockText() const;
    QTimer& pollTimer() { return poll_; }
    void done(int result) override;  // the polling ends with the dialog
    QString pcClockText() const;

public slots:
    void Poll();
    void SetClockClicked();

private:
    Instrument instrument_;
    QTimer poll_;
    QLabel* instrumentClock_;
    QLabel* pcClock_;
};
