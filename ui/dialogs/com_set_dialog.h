#pragma once
// "通信端口设置": choose a port by its number (or by a device path, which gets a
// number of its own) and connect to it, closing the port open before.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// What the dialog needs of the serial link.
struct PortControl {
    std::function<int()> portNumber;      // n of the open COMn, -1 for another device, 0 closed
    std::function<QString()> devicePath;  // the device open, empty when closed
    std::function<void()> close;
    std::function<bool(int)> open;                   // COMn at 9600 8N1; true when it opened
    std::function<bool(const QString&)> openDevice;  // the same for a device path
    std::function<QString(int)> deviceOf;            // the device COMn stands for
};

class CComSetDlg : public QDialog {
    Q_OBJECT

public:
    CComSetDlg(PortControl link, int port, QWidget* parent = nullptr);

    int port() const { return port_; }
    // The device path chosen instead of a number; empty when a number was.
    QString device() const { return device_; }
    QLineEdit& portEdit() { return *edit_; }

public slots:
    void ConnectClicked();

private:
    void ShowDevice();
    void ConnectTo(int port);
    void ConnectTo(const QString& device);

    PortControl link_;
    int port_;
    QString device_;
    QLineEdit* edit_;
    QLabel* deviceLabel_;
};
