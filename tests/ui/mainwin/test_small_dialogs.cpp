#include <gtest/gtest.h>

#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include "core/time_seam.h"
#include "tests/support/recorded_messages.h"
#include "ui/dialogs/com_set_dialog.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"

using namespace sondara;

namespace {

// A link that opens the ports listed in `openable`.
struct FakeLink {
    int open = 0;
    QString device;
    std::vector<int> openable{3, 4};
    std::vector<std::string> calls;

    PortControl Control() {
        return {[this] { return open; },
                [this] { return device; },
                [this] {
                    calls.push_back("close");
                    open = 0;
                    device.clear();
                },
                [this](int n) {
                    calls.push_back(QString("open %1").arg(n).toStdString());
                    if (std::find(openable.begin(), openable.end(), n) == openable.end()) return false;
                    open = n;
                    device = QString("/dev/fake%1").arg(n);
                    return true;
                },
                [this](const QString& path) {
                    calls.push_back(QString("open %1").arg(path).toStdString());
                    if (!path.startsWith("/dev/pts/")) return false;
                    open = -1;
                    device = path;
                    return true;
                },
                [](int n) { return QString("/dev/fake%1").arg(n); },
                [] { return QString("设备不存在"); },
                [] {
                    return QList<PortChoice>{{"4", "COM4 = /dev/fake4  USB 串口"}, {"/dev/pts/7", "伪终端"}};
                }};
    }
};

}  // namespace

TEST(PortDialog, Connect_OpensTypedPortOrSaysWhyAndKeepsTheOldOne) {
    const struct {
        int openBefore;
        const char* typed;
        std::vector<std::string> calls;
        bool accepted;
        const char* message;
        int port;
    } cases[] = {
        {3, "3", {"close", "open 3"}, true, nullptr, 3},  // already open: reconnected (a replugged adapter)
        {3, "4", {"close", "open 4"}, true, nullptr, 4},
        {3, "9", {"close", "open 9", "open 3"}, false, "打开串口失败\n设备不存在", 9},  // the old port is kept
        {0, "0", {}, false, nullptr, 0},                                                // port 0 while closed
        {0, "-7", {"close", "open -7"}, false, "打开串口失败\n设备不存在", -7},         // no range check
        {0, "x", {"close", "open 3"}, true, "请输入一个整数。", 3},                     // keeps the number it had
        {3, "/dev/pts/9", {"close", "open /dev/pts/9"}, true, nullptr, 3},
        {3, "/dev/ttyQ1", {"close", "open /dev/ttyQ1", "open 3"}, false, "打开串口失败\n设备不存在", 3},
    };
    for (const auto& c : cases) {
        FakeLink link;
        link.open = c.openBefore;
        CComSetDlg dialog(link.Control(), 3);
        EXPECT_EQ(dialog.portEdit().text(), "3");
        dialog.portEdit().setText(c.typed);
        RecordedMessages messages;
        dialog.ConnectClicked();
        EXPECT_EQ(link.calls, c.calls) << c.typed;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dialog.port(), c.port) << c.typed;
        if (c.message) {
            ASSERT_FALSE(messages.messages().empty()) << c.typed;
            EXPECT_EQ(messages.messages()[0].text, c.message);
        } else {
            EXPECT_TRUE(messages.messages().empty()) << c.typed;
        }
    }
}

TEST(PortDialog, PortsFound_AreListedAndPickedByTheirFirstWord) {
    FakeLink link;
    CComSetDlg dialog(link.Control(), 3);
    ASSERT_EQ(dialog.portList().count(), 2);
    EXPECT_EQ(dialog.portList().itemText(0), "4  COM4 = /dev/fake4  USB 串口");
    EXPECT_EQ(dialog.portEdit().text(), "3");  // the list does not replace the port in use
    dialog.portList().setCurrentIndex(1);
    dialog.ConnectClicked();
    EXPECT_EQ(link.device, "/dev/pts/7");
    EXPECT_EQ(dialog.device(), "/dev/pts/7");
}

TEST(PortDialog, DevicePath_IsRememberedForTheToggle) {
    FakeLink link;
    CComSetDlg dialog(link.Control(), 1);
    dialog.portEdit().setText("/dev/pts/9");
    dialog.ConnectClicked();
    EXPECT_EQ(dialog.device(), "/dev/pts/9");
    EXPECT_EQ(link.device, "/dev/pts/9");
}

TEST(ClockDialog, Display_ShowsInstrumentAndPcTime) {
    const ScopedTimeSeam seam(FixedTimeSeam(8 * 3600, 1556413507));  // 2019-04-28 09:05:07 at UTC+8
    CRtcSetDlg dialog({});
    dialog.Display({2019, 4, 28, 9, 5, 7});
    EXPECT_EQ(dialog.instrumentClockText(), "2019-04-28  09:05:07");
    EXPECT_EQ(dialog.pcClockText(), "2019-04-28  09:05:07");
}

TEST(ClockDialog, PollingPausesWhileARequestIsOut) {
    // A request made with the link closed answers with a modal box; ticks must not
    // pile up more boxes behind it, and polling goes on once it is closed.
    int depth = 0, maxDepth = 0, calls = 0;
    std::vector<int> targets;
    CRtcSetDlg dialog({[&](int target) {
                           targets.push_back(target);
                           ++calls;
                           maxDepth = std::max(maxDepth, ++depth);
                           if (calls == 1) {  // the first "box" stays open for several ticks
                               QEventLoop box;
                               QTimer::singleShot(200, &box, &QEventLoop::quit);
                               box.exec();
                           }
                           --depth;
                       },
                       {}});
    dialog.m_clockTarget = CRtcSetDlg::kSynchronizer;
    dialog.pollTimer().setInterval(20);
    dialog.show();
    dialog.pollTimer().start();
    QEventLoop wait;
    QTimer::singleShot(400, &wait, &QEventLoop::quit);
    wait.exec();
    dialog.done(QDialog::Rejected);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GE(calls, 3) << "polling resumed after the box";
    EXPECT_EQ(targets.front(), CRtcSetDlg::kSynchronizer);
    EXPECT_FALSE(dialog.pollTimer().isActive());
}

TEST(RealTimeDialog, FormatsLiveValues) {
    CRealTimeDlg dialog;
    LiveValues live;
    live.inc = 5.456f, live.GT = 0.99871f, live.azi = 123.45f, live.MT = 0.5f, live.volt = 3.66f, live.tmp = 21.04f;
    dialog.ShowLiveValues(live);
    const std::pair<int, const char*> fields[] = {{1005, "5.46"},   {1007, "0.9987"}, {1004, "123.4"},
                                                  {1010, "0.5000"}, {1011, "3.7"},    {1008, "21.0"}};
    for (auto [id, text] : fields) EXPECT_EQ(dialog.fieldText(id), text) << id;
}

TEST(RealTimeDialog, Close_SignalsOnlyWhileShown) {
    CRealTimeDlg dialog;
    int closed = 0;
    QObject::connect(&dialog, &CRealTimeDlg::closedByUser, [&] { ++closed; });
    dialog.reject();
    EXPECT_EQ(closed, 0);
    dialog.show();
    dialog.reject();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(dialog.isVisible());
}
