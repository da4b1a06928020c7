#include "ui/viewer/group_viewer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <csignal>

#include "ui/common/messages.h"
#include "ui/viewer/viewer_presence.h"
#include "ui/viewer/viewer_wait_dialog.h"

QString ViewerProgramFor(const QString& cpuArchitecture) {
    const bool is64Bit = cpuArchitecture.endsWith("64") || cpuArchitecture == "s390x" || cpuArchitecture == "sparcv9";
    return is64Bit ? "gpv" : "gpv32";
}

QString ViewerWaitingText(const QString& program) {
    return program == "gpv" ? "正在绘制群组图，请稍等......" : "正在绘制群组图（32位），请稍等......";
}

void StartGroupViewer(ViewerHost& host, const QString& cpuArchitecture) {
    host.closeRunningViewer();
    const QString program = ViewerProgramFor(cpuArchitecture);
    if (!host.start(program, {kViewerArgument})) {
        sondara::ShowMessage(("未能启动群组图程序" + program + "，只能单孔绘图").toStdString(), "警告",
                             sondara::MessageIcon::Warning);
        return;
    }
    host.showWaitingBox(ViewerWaitingText(program));
}

namespace viewer_process {
namespace {

qint64 g_viewerPid = 0;

bool CanListWindows() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") && !QStandardPaths::findExecutable("wmctrl").isEmpty();
}

QString RunWmctrl(const QStringList& args) {
    QProcess p;
    p.start("wmctrl", args);
    if (!p.waitForFinished(2000)) {
        p.kill();
        p.waitForFinished(500);
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

QString Locate(const QString& program, const QString& firstDir) {
    const QString here = QStandardPaths::findExecutable(program, {firstDir});
    return here.isEmpty() ? QStandardPaths::findExecutable(program) : here;
}

bool Start(const QString& path, const QStringList& args, const QString& workingDirectory) {
    if (path.isEmpty()) return false;
    qint64 pid = 0;
    if (!QProcess::startDetached(path, args, workingDirectory, &pid)) return false;
    g_viewerPid = pid;
    return true;
}

bool Running() { return g_viewerPid > 0 && ::kill(pid_t(g_viewerPid), 0) == 0; }

bool WindowShown() {
    if (ViewerAnnounced()) return true;
    if (!CanListWindows()) return false;
    // Lines read "0x03a00004  0 host Title of the window".
    for (const QString& line : RunWmctrl({"-l"}).split('\n')) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() >= 4 && f.mid(3).join(' ') == kViewerTitle) return true;
    }
    return false;
}

void CloseRunning(int waitMs) {
    QDeadlineTimer deadline(waitMs);
    // A viewer that announced itself closes its window when asked, wherever it runs.
    while (AskAnnouncedViewerToClose() && !deadline.hasExpired()) {
        for (int i = 0; i < 20 && ViewerAnnounced(100); ++i) QThread::msleep(50);
    }
    if (CanListWindows()) {
        while (WindowShown() && !deadline.hasExpired()) {
            RunWmctrl({"-F", "-c", kViewerTitle});
            QThread::msleep(100);
        }
    }
    if (Running()) {
        ::kill(pid_t(g_viewerPid), SIGTERM);
        while (Running() && !deadline.hasExpired()) QThread::msleep(50);
    }
    if (!Running()) g_viewerPid = 0;
}

}  // namespace viewer_process

namespace {

// The folder looked in before PATH: Sondara's own, where gpv is installed beside it,
// unless SONDARA_VIEWER_DIR names another (a viewer kept elsewhere, or none at all).
QString ViewerFolder() {
    const QString chosen = qEnvironmentVariable("SONDARA_VIEWER_DIR");
    return chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen;
}

}  // namespace

ViewerHost DesktopViewerHost(QWidget* parent, const QString& workingDirectory) {
    ViewerHost host;
    host.closeRunningViewer = [] { viewer_process::CloseRunning(); };
    host.start = [workingDirectory](const QString& program, const QStringList& args) {
        const QString path = viewer_process::Locate(program, ViewerFolder());
        return viewer_process::Start(path, args, workingDirectory);
    };
    host.showWaitingBox = [parent](const QString& text) {
        ViewerWaitDialog box(text, &viewer_process::WindowShown, &viewer_process::Running, parent);
        box.exec();
    };
    return host;
}
