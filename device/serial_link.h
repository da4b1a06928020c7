#pragma once
// The one serial connection of the program, on Qt SerialPort: 9600 baud, 8 data
// bits, no parity, 1 stop bit as every caller opens it. The port lives on the
// user-interface thread; dataReceived() is emitted there from the event loop whenever
// bytes have arrived (not once per byte), and all reading happens there too.

#include <QObject>
#include <QSerialPort>

#include <cstdint>
#include <string>
#include <vector>

namespace sondara {

// Why a port did not open.
struct OpenFailure {
    enum Kind {
        None,
        AlreadyOpen,  // the link is open (nothing changed)
        NoDevice,     // no such device (or COMn maps to none)
        Permission,   // the device exists but this user may not use it (membership of dialout)
        Busy,         // another program holds it
        Other,
    } kind = None;
    std::string device;     // what was tried
    long lockOwnerPid = 0;  // for Busy, where a lock file names the holder
    std::string lockOwner;  // its program name, where known
    std::string detail;     // the system's own words
};

class SerialLink : public QObject {
    Q_OBJECT

public:
    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Opens COMn through the port map (device/port_map.h). parity: 'o'/'O' odd,
    // 'e'/'E' even, 'm'/'M' mark, 's'/'S' space, else none; stopBits: 2 two, 3 one
    // and a half, else one. False when already open (nothing changes) or when the
    // device cannot be opened (the port number stays 0). Pending bytes are dropped.
    bool Open(int port, int baud = 9600, char parity = 'n', int dataBits = 8, int stopBits = 1);
    // The same for a device path typed by the user.
    bool OpenDevice(const std::string& device, int baud = 9600, char parity = 'n', int dataBits = 8, int stopBits = 1);
    // Closes the port; no dataReceived() follows. Closing a closed link does nothing.
    void Close();
    // Why the last Open or OpenDevice failed.
    const OpenFailure& lastFailure() const { return failure_; }

    // Non-zero exactly while open: n of COMn, or -1 for a device path that no COMn maps
    // to. Every "is the link open" test is this being non-zero.
    int GetPortNumber() const;
    // The device opened, empty while closed.
    std::string DevicePath() const;

    // At most n of the bytes already waiting; how many were read.
    int ReadAvailable(std::uint8_t* buffer, int n);
    // Every byte waiting.
    std::vector<std::uint8_t> ReadAll();
    // Writes n bytes and waits until they have gone to the device; how many were
    // written (0 while closed).
    int WriteBytes(const std::uint8_t* buffer, int n);

signals:
    void dataReceived();
    // The device hung up or vanished (end of data or an error on the descriptor); the
    // link has closed itself before this is emitted.
    void lineLost();

private:
    bool OpenPath(const std::string& device, int number, int baud, char parity, int dataBits, int stopBits);
    void OnPortError(QSerialPort::SerialPortError error);
    bool HungUp() const;

    QSerialPort port_;
    int portNumber_ = 0;
    std::string device_;
    OpenFailure failure_;
    bool losing_ = false;  // a hang-up was seen; the link closes from the event loop
};

// Why opening `device` failed, judged after the fact: absent, not permitted, or held
// by another program (with the lock file's owner where there is one).
OpenFailure ExplainOpenFailure(const std::string& device, bool lockRefused, const std::string& detail);

// The start-up scan: opens the first of COM1 to COM29 that opens (9600 8N1) and
// returns its number, or 0 when none did.
int OpenFirstComPort(SerialLink& link);

}  // namespace sondara
