#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/mainwindow/trajectory_command.h"
#include "ui/plots/plot_window.h"
#include "ui/viewer/group_viewer.h"
#include "ui/viewer/viewer_presence.h"

namespace sondara::test {
namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), saved_(qgetenv(name)) {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv() { qputenv(name_, saved_); }

private:
    const char* name_;
    QByteArray saved_;
};

SurveyStore TwoHoles() {
    SurveyStore store;
    for (const char* name : {"1 号孔", "2 号孔"}) {
        HoleSurvey h;
        h.name = QString(name).toStdU16String();
        h.pbLen = 3;
        h.dDip = 5;
        h.dPos = 40;
        for (int i = 0; i < 6; ++i) {
            ProbeRecord r;
            r.flag = kSampled | kStation;
            r.inc = 5;
            r.azi = 40 + i;
            h.records.push_back(r);
        }
        store.m_holes.push_back(h);
        store.m_holeParams.push_back(h.params());
    }
    return store;
}

// "轨迹计算" as the desktop runs it: the real viewer lookup finds our gpv beside the
// program, starts it with "-L-S", and the waiting box closes by itself once the
// viewer's window "Vistrel" is up; a second run closes the first viewer first.
TEST(GpvStart, TrajectoryCommandStartsOurViewerAndTheWaitingBoxClosesWhenItsWindowIsUp) {
    QTemporaryDir cache, runtime;
    ScopedEnv cacheHome("XDG_CACHE_HOME", cache.path());
    ScopedEnv tmp("TMPDIR", runtime.path());  // the viewer's socket: this test's own
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
    RecordedMessages messages;
    SurveyDocument doc;
    doc.store() = TwoHoles();

    bool timedOut = false;
    QTimer guard;  // a waiting box that never closes fails the test instead of hanging it
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    for (int run = 0; run < 2; ++run) {
        guard.start(30000);
        OnTrajectoryCommand(doc, nullptr);
        guard.stop();
        EXPECT_FALSE(timedOut) << "run " << run;
        EXPECT_TRUE(viewer_process::Running()) << "run " << run;
        EXPECT_TRUE(ViewerAnnounced()) << "run " << run;
        EXPECT_TRUE(messages.messages().empty()) << messages.messages().front().text;
    }
    QFile exchange(cache.filePath("sondara/gpv.txt"));
    ASSERT_TRUE(exchange.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exchange.readAll().startsWith("2\r\n1 号孔 6\r\n2 号孔 6\r\n\r\n"));

    viewer_process::CloseRunning(10000);
    EXPECT_FALSE(viewer_process::Running());
    EXPECT_FALSE(ViewerAnnounced());
    std::vector<CPlottingFrame*> plots;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<CPlottingFrame*>(w)) plots.push_back(f);
    EXPECT_EQ(plots.size(), 2u);
    for (CPlottingFrame* f : plots) delete f;
}

}  // namespace
}  // namespace sondara::test
