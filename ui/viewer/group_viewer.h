#pragma once
// Hands all holes to the external group-plot viewer after the exchange file is
// written: asks a running viewer to close, starts the viewer for this machine's
// architecture with "-L-S", and shows the waiting box "稍等" until the viewer's window
// titled "Vistrel" appears.
//
// On Linux the viewer programs are "gpv" (64-bit architectures) and "gpv32" (all
// others), looked up in the program's own folder ($SONDARA_VIEWER_DIR in its place
// when set) first, then on PATH; the viewer
// starts in the folder of the exchange file. A running viewer is found by the local
// socket our gpv answers on once its window is up (viewer_presence.h; any window
// system), by its window title through wmctrl (X11; a polite close request like the
// window's close button) and by the process this program started last (asked to end
// with SIGTERM).

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

inline constexpr char kViewerTitle[] = "Vistrel";
inline constexpr char kViewerArgument[] = "-L-S";

// The narrow interface StartGroupViewer drives; tests give it a stand-in.
struct ViewerHost {
    std::function<void()> closeRunningViewer;  // returns once the old viewer is gone (or after a time limit)
    std::function<bool(const QString& program, const QStringList& args)> start;  // false: missing or failed
    std::function<void(const QString& text)> showWaitingBox;
};

// "gpv" for a 64-bit architecture (QSysInfo names: x86_64, arm64, ia64, s390x, sparcv9, …),
// else "gpv32".
QString ViewerProgramFor(const QString& cpuArchitecture);
QString ViewerWaitingText(const QString& program);

// Close, start, wait, in that order. A viewer that cannot be started is reported
// ("未能启动群组图程序…，只能单孔绘图") instead of a box that would wait for nothing.
void StartGroupViewer(ViewerHost& host, const QString& cpuArchitecture);

// The real thing, for the desktop program: the viewer's working folder is
// `workingDirectory`, `parent` owns the waiting box.
ViewerHost DesktopViewerHost(QWidget* parent, const QString& workingDirectory);

// The desktop host's pieces, for tests with a stand-in viewer.
namespace viewer_process {
// The full path of `program` in `firstDir`, then on PATH; empty when missing.
QString Locate(const QString& program, const QString& firstDir);
// Starts detached and remembers the process as the running viewer.
bool Start(const QString& path, const QStringList& args, const QString& workingDirectory);
// Whether the remembered viewer process is alive.
bool Running();
// Asks the viewer that announced itself on the local socket, windows titled "Vistrel"
// and the remembered process to close; waits up to `waitMs` for them to go.
void CloseRunning(int waitMs = 5000);
// Whether a viewer has announced itself on the local socket or a top-level window
// titled "Vistrel" exists (false where neither can be told).
bool WindowShown();
}  // namespace viewer_process
