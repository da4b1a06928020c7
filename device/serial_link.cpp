#include "device/serial_link.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>

#include "device/port_map.h"

namespace sondara {

namespace {

QSerialPort::Parity ParityOf(char c) {
    switch (c) {
        case 'o':
        case 'O':
            return QSerialPort::OddParity;
        case 'e':
        case 'E':
            return QSerialPort::EvenParity;
        case 'm':
        case 'M':
            return QSerialPort::MarkParity;
        case 's':
        case 'S':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits StopBitsOf(int code) {
    switch (code) {
        case 2:
            return QSerialPort::TwoStop;
        case 3:
            return QSerialPort::OneAndHalfStop;
        default:
            return QSerialPort::OneStop;
    }
}

// Write time-out: 500 ms a byte plus 1000 ms, as the line's time-outs are set.
int WriteTimeoutMs(int n) { return 1000 + 500 * n; }

}  // namespace

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::dataReceived);
}

SerialLink::~SerialLink() { Close(); }

bool SerialLink::Open(int port, int baud, char parity, int dataBits, int stopBits) {
    if (GetPortNumber() != 0) return false;
    const PortMapping m = MapComPort(port);
    if (m.device.empty()) return false;
    return OpenPath(m.device, port, baud, parity, dataBits, stopBits);
}

bool SerialLink::OpenDevice(const std::string& device, int baud, char parity, int dataBits, int stopBits) {
    if (GetPortNumber() != 0) return false;
    const int number = ComNumberOfDevice(device, PortFolder());
    return OpenPath(device, number != 0 ? number : -1, baud, parity, dataBits, stopBits);
}

bool SerialLink::OpenPath(const std::string& device, int number, int baud, char parity, int dataBits, int stopBits) {
    // The real device, so that a COMn link and its target share one lock.
    const QFileInfo info(QString::fromStdString(device));
    const QString path = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        portNumber_ = 0;
        return false;
    }
    port_.setBaudRate(baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(dataBits));
    port_.setParity(ParityOf(parity));
    port_.setStopBits(StopBitsOf(stopBits));
    port_.clear();
    portNumber_ = number;
    device_ = path.toStdString();
    return true;
}

void SerialLink::Close() {
    if (port_.isOpen()) port_.close();
    portNumber_ = 0;
    device_.clear();
}

int SerialLink::GetPortNumber() const { return port_.isOpen() ? portNumber_ : 0; }

std::string SerialLink::DevicePath() const { return device_; }

int SerialLink::ReadAvailable(std::uint8_t* buffer, int n) {
    if (!port_.isOpen() || n <= 0) return 0;
    const qint64 got = port_.read(reinterpret_cast<char*>(buffer), n);
    return got > 0 ? static_cast<int>(got) : 0;
}

std::vector<std::uint8_t> SerialLink::ReadAll() {
    if (!port_.isOpen()) return {};
    const QByteArray bytes = port_.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

int SerialLink::WriteBytes(const std::uint8_t* buffer, int n) {
    if (!port_.isOpen()) return 0;
    // Straight to the descriptor: the write completes here, and no received bytes
    // are handled while it waits (as they would be inside waitForBytesWritten).
    const int fd = static_cast<int>(port_.handle());
    int written = 0;
    const int timeoutMs = WriteTimeoutMs(n);
    while (written < n) {
        const ssize_t r = ::write(fd, buffer + written, static_cast<size_t>(n - written));
        if (r > 0) {
            written += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) break;
    }
    return written;
}

int OpenFirstComPort(SerialLink& link) {
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        if (link.Open(n)) return n;
    }
    return 0;
}

}  // namespace sondara
