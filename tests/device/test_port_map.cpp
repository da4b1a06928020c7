#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "device/port_map.h"

namespace sondara {
namespace {

TEST(PortMap, FixedTable_ReachesOnBoardAndUsbPorts) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    struct Case {
        int number;
        const char* device;
    } cases[] = {{1, "/dev/ttyS0"},
                 {4, "/dev/ttyS3"},
                 {5, "/dev/ttyUSB0"},
                 {16, "/dev/ttyUSB11"},
                 {17, "/dev/ttyACM0"},
                 {28, "/dev/ttyACM11"},
                 {29, ""},
                 {0, ""},
                 {30, ""}};
    for (const Case& c : cases) EXPECT_EQ(MapComPort(c.number, folder).device, c.device) << c.number;
    EXPECT_EQ(ComNumberOfDevice("/dev/ttyUSB2", folder), 7);
}

TEST(PortMap, LinkInThePortFolder_WinsUnlessItsProcessHasEnded) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string target = folder + "/fake-tty";
    std::ofstream(target) << "";
    const std::string canonicalTarget = std::filesystem::canonical(target).string();

    ASSERT_TRUE(WritePortLink(folder, 3, target, ::getpid()));
    const PortMapping m = MapComPort(3, folder);
    EXPECT_TRUE(m.linked);
    EXPECT_EQ(m.device, canonicalTarget);
    EXPECT_EQ(ComNumberOfDevice(target, folder, false), 3);

    // A manual link has no pid file and always counts.
    std::filesystem::create_symlink(target, folder + "/COM29");
    EXPECT_EQ(MapComPort(29, folder, false).device, canonicalTarget);

    // A link left behind by a process that is gone is ignored.
    ASSERT_TRUE(WritePortLink(folder, 3, target, 999999999));
    EXPECT_EQ(MapComPort(3, folder).device, "/dev/ttyS2");
    EXPECT_EQ(MapComPort(3, folder, false).device, "");

    RemovePortLink(folder, 3);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder + "/COM3")));
}

// Anyone who may write the port folder could point a COM port at a device of their
// choosing: its links count only while nobody else may write it.
TEST(PortMap, FolderOthersMayWrite_IsIgnoredAndSaysWhy) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string target = folder + "/fake-tty";
    std::ofstream(target) << "";
    ASSERT_TRUE(WritePortLink(folder, 5, target, ::getpid()));
    ASSERT_EQ(CheckPortFolder(folder), PortFolderState::Usable);
    EXPECT_TRUE(MapComPort(5, folder, false).linked);
    for (const mode_t mode : {0770, 0707, 0777}) {
        ::chmod(folder.c_str(), mode);
        EXPECT_EQ(CheckPortFolder(folder), PortFolderState::WritableByOthers) << std::oct << mode;
        EXPECT_FALSE(MapComPort(5, folder, false).linked) << std::oct << mode;
        EXPECT_EQ(MapComPort(5, folder).device, "/dev/ttyUSB0");     // the fixed table again
        EXPECT_FALSE(WritePortLink(folder, 6, target, ::getpid()));  // not made safe behind the user's back
    }
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(MapComPort(5, folder, false).linked);

    const std::string link = folder + "/COM5";
    EXPECT_EQ(CheckPortFolder(link), PortFolderState::NotADirectory);
    EXPECT_EQ(CheckPortFolder(folder + "/none"), PortFolderState::Missing);
    EXPECT_EQ(CheckPortFolder("/"), ::getuid() == 0 ? PortFolderState::Usable : PortFolderState::OwnedByOther);
}

TEST(PortMap, TypedPort_IsAComNumberOrADevicePath) {
    struct Case {
        const char* text;
        int number;
        const char* device;  // nullptr: rejected
    } cases[] = {
        {"COM3", 3, "/dev/ttyS2"},  {"com12", 12, "/dev/ttyUSB7"},
        {" 5 ", 5, "/dev/ttyUSB0"}, {"/dev/pts/4", 0, "/dev/pts/4"},
        {"COM", 0, nullptr},        {"COMx", 0, nullptr},
        {"0", 0, nullptr},          {"ttyS0", 0, nullptr},
        {"", 0, nullptr},
    };
    qputenv("SONDARA_PORT_DIR", "/nonexistent/sondara-test");
    for (const Case& c : cases) {
        const auto typed = ParseTypedPort(c.text);
        if (!c.device) {
            EXPECT_FALSE(typed) << c.text;
            continue;
        }
        ASSERT_TRUE(typed) << c.text;
        EXPECT_EQ(typed->number, c.number) << c.text;
        EXPECT_EQ(typed->device, c.device) << c.text;
    }
    qunsetenv("SONDARA_PORT_DIR");
}

}  // namespace
}  // namespace sondara
