#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

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

double CpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The far end hangs up (cable pulled, instrument off): the link notices within two
// seconds, closes itself once, says so, and does not keep the processor busy.
TEST(SerialLink, HungUpDevice_ClosesTheLinkAtIdle) {
    auto pty = std::make_unique<Pty>();
    SerialLink link;
    int notifications = 0, lost = 0;
    QObject::connect(&link, &SerialLink::dataReceived, [&] { ++notifications; });
    QObject::connect(&link, &SerialLink::lineLost, [&] {
        ++lost;
        EXPECT_EQ(link.GetPortNumber(), 0);
    });
    ASSERT_TRUE(link.OpenDevice(pty->name));
    ::close(pty->slave);
    pty->slave = -1;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer ticker;  // wakes the idle wait below now and then
    ticker.start(50);
    pty.reset();  // the far end hangs up
    while (lost == 0 && wall.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(lost, 1);
    EXPECT_LT(wall.elapsed(), 2000);
    while (wall.elapsed() < 2500) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(lost, 1);
    EXPECT_LE(notifications, 1);
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.25) << "over " << wall.elapsed() << " ms";
    EXPECT_EQ(link.GetPortNumber(), 0);
    std::uint8_t b[8];
    EXPECT_EQ(link.ReadAvailable(b, 8), 0);
    link.Close();
}

}  // namespace
}  // namespace sondara
