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

private:
    bool OpenPath(const std::string& device, int number, int baud, char parity, int dataBits, int stopBits);

    QSerialPort port_;
    int portNumber_ = 0;
    std::string device_;
};

// The start-up scan: opens the first of COM1 to COM29 that opens (9600 8N1) and
// returns its number, or 0 when none did.
int OpenFirstComPort(SerialLink& link);

}  // namespace sondara
