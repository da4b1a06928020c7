#pragma once
// "探管实时数据": the probe's live values while real-time output runs. Modeless;
// closing it ends the real-time output.

#include <QDialog>

#include "core/attitude.h"

class QLineEdit;

class CRealTimeDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRealTimeDlg(QWidget* parent = nullptr);

    // The fields as the last live sample left them.
    void ShowLiveValues(const sondara::LiveValues& live);
    QString fieldText(int id) const;  // 1004 ... 1011 as in the dialog's layout

signals:
    void closedByUser();

public slots:
    void reject() override;

private:
    struct Field {
        int id;
        QLineEdit* edit;
    };
    std::vector<Field> fields_;
};
