#pragma once
// "通信端口设置": choose a port by its number (or by a device path, which gets a
// number of its own) and connect to it, closing the port open before.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// What the dialog needs of the serial link.
struct PortControl {
    std::function<int()> portNumber;                // n of the open COMn, 0 when closed
    std::function<void()> close;
    std::function<bool(int)> open;                  // 9600 8N1; true when the port opened
    std::function<QString(int)> deviceOf;           // the device COMn stands for
    std::function<int(const QString&)> numberOf;    // the number a device path gets; 0 if none
};

class CComSetDlg : public QDialog {
    Q_OBJECT

public:
    CComSetDlg(PortControl link, int port, QWidget* parent = nullptr);

    int port() const { return port_; }
    QLineEdit& portEdit() { return *edit_; }

public slots:
    void ConnectClicked();

private:
    void ShowDevice();

    PortControl link_;
    int port_;
    QLineEdit* edit_;
    QLabel* device_;
};
