#pragma once
// A main window that reaches serial ports only through a port folder of its own,
// with every message and file dialog answered by the test.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "device/port_map.h"
#include "tests/support/recorded_file_dialogs.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/mainwindow/main_frame.h"

namespace test {

// A pseudo-terminal whose far end nobody answers from.
struct Pty {
    int master = -1;
    std::string device;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        device = ::ptsname(master);
    }
    ~Pty() { ::close(master); }
};

inline bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

struct FrameFixture {
    QTemporaryDir dir;
    std::string portFolder = (dir.path() + "/ports").toStdString();
    RecordedFileDialogs files;
    SurveyDocument document;
    std::unique_ptr<CMainFrame> frame;

    FrameFixture() {
        ::setenv("SONDARA_PORT_DIR", portFolder.c_str(), 1);
        frame = std::make_unique<CMainFrame>(document, CMainFrame::Options{false, false, dir.path() + "/settings.ini"});
    }
    ~FrameFixture() { ::unsetenv("SONDARA_PORT_DIR"); }

    QString Path(const char* name) const { return dir.path() + "/" + name; }
    void LinkPort(int number, const std::string& device) {
        sondara::WritePortLink(portFolder, number, device, long(::getpid()));
    }
    QAction& Command(int id) { return *frame->action(id); }
};

}  // namespace test
