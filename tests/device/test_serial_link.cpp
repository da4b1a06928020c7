#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "device/port_map.h"
#include "device/serial_link.h"

namespace sondara {
namespace {

// A pseudo-terminal pair: the test writes on the master, the link opens the slave.
struct Pty {
    int master = -1, slave = -1;
    std::string name;
    Pty() {
        char path[128];
        termios raw{};
        ::cfmakeraw(&raw);
        EXPECT_EQ(::openpty(&master, &slave, path, &raw, nullptr), 0);
        name = path;
    }
    ~Pty() {
        ::close(slave);
        ::close(master);
    }
    void Write(std::size_t n) {
        std::string bytes(n, 'x');
        EXPECT_EQ(::write(master, bytes.data(), n), static_cast<ssize_t>(n));
    }
};

void Spin(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(SerialLink, Open_SucceedsOnceAndReportsItsPortUntilClosed) {
    Pty pty;
    QTemporaryDir folder;
    qputenv("SONDARA_PORT_DIR", folder.path().toUtf8());
    ASSERT_TRUE(WritePortLink(folder.path().toStdString(), 9, pty.name, ::getpid()));

    SerialLink link;
    link.Close();                 // never opened: nothing happens
    EXPECT_FALSE(link.Open(29));  // COM29 maps to nothing here
    EXPECT_EQ(link.GetPortNumber(), 0);
    ASSERT_TRUE(link.Open(9));
    EXPECT_EQ(link.GetPortNumber(), 9);
    EXPECT_FALSE(link.Open(9));
    EXPECT_FALSE(link.OpenDevice(pty.name));
    EXPECT_EQ(link.GetPortNumber(), 9);
    link.Close();
    EXPECT_EQ(link.GetPortNumber(), 0);

    ASSERT_TRUE(link.OpenDevice(pty.name));  // a typed path finds its COM number
    EXPECT_EQ(link.GetPortNumber(), 9);
    link.Close();
    RemovePortLink(folder.path().toStdString(), 9);
    ASSERT_TRUE(link.OpenDevice(pty.name));
    EXPECT_EQ(link.GetPortNumber(), -1);  // open, outside the COM map
    qunsetenv("SONDARA_PORT_DIR");
}

TEST(SerialLink, ReceivedBytes_AreReadAndNotNotifiedAfterClose) {
    Pty pty;
    SerialLink link;
    int notifications = 0;
    QObject::connect(&link, &SerialLink::dataReceived, [&] { ++notifications; });
    ASSERT_TRUE(link.OpenDevice(pty.name));
    pty.Write(100);
    Spin(200);
    EXPECT_GE(notifications, 1);
    std::uint8_t buffer[64];
    EXPECT_EQ(link.ReadAvailable(buffer, 64), 64);
    EXPECT_EQ(link.ReadAll().size(), 36u);

    const std::uint8_t out[] = {1, 2, 3};
    EXPECT_EQ(link.WriteBytes(out, 3), 3);
    std::uint8_t echoed[3] = {};
    EXPECT_EQ(::read(pty.master, echoed, 3), 3);
    EXPECT_EQ(echoed[2], 3);

    link.Close();
    const int before = notifications;
    pty.Write(10);
    Spin(100);
    EXPECT_EQ(notifications, before);
    EXPECT_EQ(link.WriteBytes(out, 3), 0);
}

}  // namespace
}  // namespace sondara

namespace sondara {
namespace {

TEST(SerialLink, VanishedDevice_LeavesTheLinkOpenAndQuiet) {
    auto pty = std::make_unique<Pty>();
    SerialLink link;
    int notifications = 0;
    QObject::connect(&link, &SerialLink::dataReceived, [&] { ++notifications; });
    ASSERT_TRUE(link.OpenDevice(pty->name));
    ::close(pty->slave);
    pty->slave = -1;
    pty.reset();  // the far end hangs up
    Spin(300);
    EXPECT_NE(link.GetPortNumber(), 0);
    EXPECT_LE(notifications, 1);
    std::uint8_t b[8];
    EXPECT_EQ(link.ReadAvailable(b, 8), 0);
    link.Close();
    EXPECT_EQ(link.GetPortNumber(), 0);
}

}  // namespace
}  // namespace sondara
