#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/stations.h"
#include "plot_fixtures.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/mainwindow/trajectory_command.h"
#include "ui/plots/plot_window.h"
#include "ui/viewer/group_viewer.h"

namespace sondara::test {
namespace {

// Points the exchange file at a folder of the test's own.
class ScopedCacheHome {
public:
    explicit ScopedCacheHome(const QString& path) : saved_(qgetenv("XDG_CACHE_HOME")) {
        qputenv("XDG_CACHE_HOME", path.toUtf8());
    }
    ~ScopedCacheHome() { qputenv("XDG_CACHE_HOME", saved_); }

private:
    QByteArray saved_;
};

std::vector<CPlottingFrame*> PlotWindows() {
    std::vector<CPlottingFrame*> frames;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<CPlottingFrame*>(w)) frames.push_back(f);
    return frames;
}

void CloseAllPlotWindows() {
    for (CPlottingFrame* f : PlotWindows()) delete f;
}

struct CommandRun {
    QStringList viewer;
    ViewerHost host{[this] { viewer << "close"; },
                    [this](const QString& program, const QStringList& args) {
                        viewer << "start " + program + " " + args.join(' ');
                        return true;
                    },
                    [this](const QString&) { viewer << "wait"; }};
};

// Two holes with parameters: depths and trajectories not yet computed.
void FillSurvey(SurveyStore& store) {
    for (const char* name : {"A", "B"}) {
        HoleSurvey h = RampHole(name, 3);
        for (ProbeRecord& r : h.records) {
            r.depth = 0;
            r.inc = 5;
            r.azi = 90;
        }
        h.pbLen = 1.5f;
        store.m_holes.push_back(h);
        store.m_holeParams.push_back(h.params());
    }
}

TEST(TrajectoryCommand, ComputesOpensAPlotWindowWritesTheExchangeFileAndStartsTheViewer) {
    RecordedMessages messages;
    QTemporaryDir cache;
    ScopedCacheHome home(cache.path());
    SurveyDocument doc;
    FillSurvey(doc.store());
    int updates = 0;
    QObject::connect(&doc, &SurveyDocument::updated, [&] { ++updates; });
    CommandRun run;
    OnTrajectoryCommand(doc, nullptr, run.host);

    EXPECT_FLOAT_EQ(doc.store().m_holes[0].records[2].depth, 3.0f);  // the depth pass ran
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(PlotWindows().size(), 1u);
    QFile file(cache.filePath("sondara/gpv.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("2\r\nA 3\r\nB 3\r\n\r\n"));
    EXPECT_EQ(run.viewer.size(), 3);
    EXPECT_EQ(run.viewer.value(0), "close");
    EXPECT_TRUE(run.viewer.value(1).endsWith(" -L-S"));
    EXPECT_TRUE(messages.messages().empty());
    // Each run opens a further window.
    OnTrajectoryCommand(doc, nullptr, run.host);
    EXPECT_EQ(PlotWindows().size(), 2u);
    CloseAllPlotWindows();
}

TEST(TrajectoryCommand, NoHolesOrNoExchangeFile_StillOpensTheWindowButStartsNoViewer) {
    struct Case {
        bool withHoles;
        bool cacheIsAFile;
        const char* messageStart;
    };
    const Case cases[] = {{false, false, "钻孔数据为空"}, {true, true, "未能建立群组图交换文件，只能单孔绘图"}};
    for (const Case& c : cases) {
        RecordedMessages messages;
        QTemporaryDir dir;
        QString cachePath = dir.path();
        if (c.cacheIsAFile) {
            cachePath = dir.filePath("not-a-folder");
            QFile f(cachePath);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        ScopedCacheHome home(cachePath);
        SurveyDocument doc;
        if (c.withHoles) FillSurvey(doc.store());
        CommandRun run;
        OnTrajectoryCommand(doc, nullptr, run.host);
        EXPECT_EQ(PlotWindows().size(), 1u);
        EXPECT_TRUE(run.viewer.isEmpty()) << run.viewer.join(", ").toStdString();
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_TRUE(QString::fromStdString(messages.messages()[0].text).startsWith(c.messageStart))
            << messages.messages()[0].text;
        CloseAllPlotWindows();
    }
}

}  // namespace
}  // namespace sondara::test
