#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/recorded_messages.h"
#include "ui/viewer/group_viewer.h"
#include "ui/viewer/viewer_wait_dialog.h"

namespace sondara::test {
namespace {

struct RecordingHost {
    QStringList calls;
    bool startWorks = true;
    ViewerHost host{[this] { calls << "close"; },
                    [this](const QString& program, const QStringList& args) {
                        calls << "start " + program + " " + args.join('|');
                        return startWorks;
                    },
                    [this](const QString& text) { calls << "wait " + text; }};
};

TEST(GroupViewer, ClosesTheOldViewerThenStartsTheOneForTheArchitectureThenWaits) {
    struct Case {
        const char* arch;
        QStringList calls;
    };
    const Case cases[] = {
        {"x86_64", {"close", "start gpv -L-S", "wait 正在绘制群组图，请稍等......"}},
        {"arm64", {"close", "start gpv -L-S", "wait 正在绘制群组图，请稍等......"}},
        {"i386", {"close", "start gpv32 -L-S", "wait 正在绘制群组图（32位），请稍等......"}},
        {"arm", {"close", "start gpv32 -L-S", "wait 正在绘制群组图（32位），请稍等......"}},
        // 64-bit machines whose names do not end in 64
        {"s390x", {"close", "start gpv -L-S", "wait 正在绘制群组图，请稍等......"}},
        {"sparcv9", {"close", "start gpv -L-S", "wait 正在绘制群组图，请稍等......"}},
    };
    for (const Case& c : cases) {
        RecordedMessages messages;
        RecordingHost r;
        StartGroupViewer(r.host, c.arch);
        EXPECT_EQ(r.calls, c.calls) << c.arch;
        EXPECT_TRUE(messages.messages().empty());
    }
}

TEST(GroupViewer, MissingViewer_IsReportedInsteadOfAWaitingBox) {
    RecordedMessages messages;
    RecordingHost r;
    r.startWorks = false;
    StartGroupViewer(r.host, "x86_64");
    EXPECT_EQ(r.calls, (QStringList{"close", "start gpv -L-S"}));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "未能启动群组图程序gpv，只能单孔绘图");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Warning);
}

// A stand-in viewer: records its arguments and folder, then stays up.
QString WriteStandIn(const QTemporaryDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@\" > \"$0.args\"\npwd >> \"$0.args\"\nexec sleep 30\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString WaitForFile(const QString& path) {
    for (int i = 0; i < 100 && !QFile::exists(path); ++i) QTest::qWait(20);
    QTest::qWait(50);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(ViewerProcess, StandInIsFoundStartedInTheExchangeFolderAndAskedToCloseBeforeTheNext) {
    QTemporaryDir programs, exchange;
    const QString path = WriteStandIn(programs, "gpv");
    EXPECT_EQ(viewer_process::Locate("gpv", programs.path()), path);
    EXPECT_TRUE(viewer_process::Locate("gpv-not-installed-here", programs.path()).isEmpty());
    EXPECT_FALSE(viewer_process::Start("", {kViewerArgument}, exchange.path()));

    ASSERT_TRUE(viewer_process::Start(path, {kViewerArgument}, exchange.path()));
    EXPECT_TRUE(viewer_process::Running());
    EXPECT_EQ(WaitForFile(path + ".args"), "-L-S\n" + QDir(exchange.path()).canonicalPath() + "\n");

    viewer_process::CloseRunning(3000);
    EXPECT_FALSE(viewer_process::Running());
}

TEST(ViewerWaitDialog, ClosesItselfWhenTheViewerWindowAppearsOrTheViewerEnds) {
    {
        RecordedMessages messages;
        bool shown = false;
        ViewerWaitDialog box(
            "正在绘制群组图，请稍等......", [&] { return shown; }, [] { return true; }, nullptr, 10);
        EXPECT_EQ(box.windowTitle(), "稍等");
        box.open();
        QTest::qWait(50);
        EXPECT_TRUE(box.isVisible());
        shown = true;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, 2000));
        EXPECT_FALSE(box.viewerEnded());
        EXPECT_TRUE(messages.messages().empty());
    }
    {
        RecordedMessages messages;
        ViewerWaitDialog box(
            "…", [] { return false; }, [] { return false; }, nullptr, 10);
        box.open();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, 2000));
        EXPECT_TRUE(box.viewerEnded());
        EXPECT_EQ(messages.messages().size(), 1u);
    }
}

}  // namespace
}  // namespace sondara::test
