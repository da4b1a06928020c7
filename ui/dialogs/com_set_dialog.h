#pragma once
// "通信端口设置": choose a port from the list of ports found, or type its number or a
// device path, and connect to it. The port open before is closed; when the new one
// does not open, the dialog says why and the old one is opened again. Choosing the
// port already open reconnects it (after the adapter was unplugged and plugged in).

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

// A port offered in the list: what the user picks it by ("3" or "/dev/ttyUSB0") and
// what is shown of it ("COM3 = /dev/ttyUSB0  FT232R USB UART").
struct PortChoice {
    QString value;
    QString description;
};

// What the dialog needs of the serial link.
struct PortControl {
    std::function<int()> portNumber;      // n of the open COMn, -1 for another device, 0 closed
    std::function<QString()> devicePath;  // the device open, empty when closed
    std::function<void()> close;
    std::function<bool(int)> open;                   // COMn at 9600 8N1; true when it opened
    std::function<bool(const QString&)> openDevice;  // the same for a device path
    std::function<QString(int)> deviceOf;            // the device COMn stands for
    std::function<QString()> failureReason;          // why the last open failed, in a sentence
    std::function<QList<PortChoice>()> ports;        // the ports found, to pick from
};

class CComSetDlg : public QDialog {
    Q_OBJECT

public:
    CComSetDlg(PortControl link, int port, QWidget* parent = nullptr);

    int port() const { return port_; }
    // The device path chosen instead of a number; empty when a number was.
    QString device() const { return device_; }
    QLineEdit& portEdit() { return *edit_; }
    QComboBox& portList() { return *list_; }

public slots:
    void ConnectClicked();

private:
    void ShowDevice();
    void ConnectTo(int port);
    void ConnectTo(const QString& device);
    // After a failed open: says why and opens the port that was open before.
    void OpenFailed(int oldPort, const QString& oldDevice);

    PortControl link_;
    int port_;
    QString device_;
    QComboBox* list_;
    QLineEdit* edit_;
    QLabel* deviceLabel_;
};
