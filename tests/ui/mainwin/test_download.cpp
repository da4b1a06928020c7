// One whole download from sondara-sim through the main window into the table.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <sys/prctl.h>

#include <csignal>

#include "frame_fixture.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;

namespace {

// sondara-sim serving both instruments as COM4 in the fixture's port folder.
struct Simulator {
    QProcess process;
    explicit Simulator(const test::FrameFixture& f) {
        // Dies with the test, also when the test aborts.
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(SONDARA_SIM_PATH, {"--records", "40", "--holes", "2", "--com", "4", "--port-dir",
                                         QString::fromStdString(f.portFolder)});
        const QString link = QString::fromStdString(f.portFolder) + "/COM4";
        ready = process.waitForStarted(5000) && test::RunUntil([&] { return QFile::exists(link); }, 5000);
    }
    ~Simulator() {
        process.terminate();
        process.waitForFinished(5000);
    }
    bool ready = false;
};

}  // namespace

TEST(Download, BothInstrumentsFromSimulator_FillTableWithHoles) {
    test::FrameFixture f;
    Simulator sim(f);
    ASSERT_TRUE(sim.ready) << "the simulator registers COM4";

    RecordedMessages messages;
    ASSERT_TRUE(f.frame->OpenComPort(4));
    int finished = 0;
    QObject::connect(f.frame.get(), &CMainFrame::deviceEvent,
                     [&](const DeviceEvent& e) { finished += std::holds_alternative<DownloadFinished>(e); });
    int mostRows = 0;
    QObject::connect(&f.frame->view().model(), &QAbstractItemModel::rowsInserted,
                     [&] { mostRows = std::max(mostRows, f.frame->view().model().rowCount()); });

    f.Command(command::kProbeDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return finished == 1; }, 30000));
    EXPECT_EQ(f.document.store().m_probeRecords.size(), 40u);
    EXPECT_EQ(mostRows, 40) << "a row per record as they arrive";
    EXPECT_EQ(f.frame->statusText(), "数据读取完成");
    EXPECT_EQ(f.frame->progress(), 100);

    f.Command(command::kSyncDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return finished == 2; }, 30000));
    const auto& holes = f.document.store().m_holes;
    ASSERT_EQ(holes.size(), 2u);
    std::size_t holeRecords = 0;
    for (const auto& h : holes) holeRecords += h.records.size();
    EXPECT_EQ(std::size_t(f.frame->view().model().rowCount()), holeRecords);
    EXPECT_EQ(f.frame->view().model().HoleRecordOfRow(0).hole, 0);
    EXPECT_TRUE(f.document.isModified());
    EXPECT_TRUE(messages.messages().empty()) << messages.messages().front().text;
}

TEST(Download, RealTimeOutput_ShowsLiveValuesUntilDialogCloses) {
    test::FrameFixture f;
    Simulator sim(f);
    ASSERT_TRUE(sim.ready);
    RecordedMessages messages;
    ASSERT_TRUE(f.frame->OpenComPort(4));
    int shown = 0;
    QObject::connect(f.frame.get(), &CMainFrame::deviceEvent,
                     [&](const DeviceEvent& e) { shown += std::holds_alternative<LiveSample>(e); });
    f.Command(command::kProbeRealTime).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return shown > 0; }, 10000));
    EXPECT_TRUE(f.frame->realTimeDialog().isVisible());
    EXPECT_FALSE(f.frame->realTimeDialog().fieldText(1005).isEmpty());
    EXPECT_TRUE(f.frame->timer(DeviceTimer::RealTime).isActive());

    f.frame->realTimeDialog().reject();
    EXPECT_FALSE(f.frame->timer(DeviceTimer::RealTime).isActive());
    EXPECT_FALSE(f.frame->timer(DeviceTimer::Reply).isActive());
    EXPECT_FALSE(f.frame->realTimeDialog().isVisible());
}
