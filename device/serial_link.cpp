#include "device/serial_link.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fstream>

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

OpenFailure FailureOf(OpenFailure::Kind kind, const std::string& device) {
    OpenFailure f;
    f.kind = kind;
    f.device = device;
    return f;
}

// Write time-out: 500 ms a byte plus 1000 ms, as the line's time-outs are set.
int WriteTimeoutMs(int n) { return 1000 + 500 * n; }

}  // namespace

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::dataReceived);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::OnPortError);
}

// A hung-up terminal reads as end of data for ever and a vanished USB adapter fails
// every read; either way the port's read notification would fire again at once. The
// port is closed from the event loop, not inside the port's own notification.
void SerialLink::OnPortError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || losing_ || !port_.isOpen()) return;
    if (error != QSerialPort::ResourceError && !HungUp()) return;
    losing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!losing_) return;
            Close();
            emit lineLost();
        },
        Qt::QueuedConnection);
}

bool SerialLink::HungUp() const {
    pollfd p{static_cast<int>(port_.handle()), POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return true;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return true;
    // Readable yet nothing waiting: end of data.
    int waiting = 0;
    if (::ioctl(p.fd, FIONREAD, &waiting) < 0) return true;
    return (p.revents & POLLIN) && waiting == 0;
}

SerialLink::~SerialLink() { Close(); }

bool SerialLink::Open(int port, int baud, char parity, int dataBits, int stopBits) {
    if (GetPortNumber() != 0) {
        failure_ = FailureOf(OpenFailure::AlreadyOpen, device_);
        return false;
    }
    const PortMapping m = MapComPort(port);
    if (m.device.empty()) {
        failure_ = FailureOf(OpenFailure::NoDevice, "COM" + std::to_string(port));
        return false;
    }
    return OpenPath(m.device, port, baud, parity, dataBits, stopBits);
}

bool SerialLink::OpenDevice(const std::string& device, int baud, char parity, int dataBits, int stopBits) {
    if (GetPortNumber() != 0) {
        failure_ = FailureOf(OpenFailure::AlreadyOpen, device_);
        return false;
    }
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
        const bool lockRefused = port_.error() == QSerialPort::PermissionError;
        failure_ = ExplainOpenFailure(path.toStdString(), lockRefused, port_.errorString().toStdString());
        port_.clearError();
        return false;
    }
    failure_ = {};
    losing_ = false;
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
    losing_ = false;
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

namespace {

// Qt's serial port takes a lock file "LCK..<name>" (slashes of the name under /dev
// as underscores) in the first writable of these folders; it holds the owner's pid.
long LockOwnerOf(const std::string& device) {
    std::string name = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    for (const std::string& folder :
         {std::string("/var/lock"), std::string("/run/lock"), QDir::tempPath().toStdString()}) {
        std::ifstream lock(folder + "/LCK.." + name);
        long pid = 0;
        if (lock >> pid && pid > 0) return pid;
    }
    return 0;
}

std::string ProgramOf(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

OpenFailure ExplainOpenFailure(const std::string& device, bool lockRefused, const std::string& detail) {
    OpenFailure f;
    f.device = device;
    f.detail = detail;
    if (::access(device.c_str(), F_OK) != 0) {
        f.kind = OpenFailure::NoDevice;
    } else if (::access(device.c_str(), R_OK | W_OK) != 0) {
        f.kind = OpenFailure::Permission;
    } else if (lockRefused) {
        f.kind = OpenFailure::Busy;
        f.lockOwnerPid = LockOwnerOf(device);
        if (f.lockOwnerPid != 0) f.lockOwner = ProgramOf(f.lockOwnerPid);
    } else {
        f.kind = OpenFailure::Other;
    }
    return f;
}

int OpenFirstComPort(SerialLink& link) {
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        if (link.Open(n)) return n;
    }
    return 0;
}

}  // namespace sondara
