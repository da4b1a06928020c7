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
    explicit Simulator(const test::FrameFixture& f, QStringList faults = {}) {
        // Dies with the test, also when the test aborts.
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(SONDARA_SIM_PATH, QStringList{"--records", "40", "--holes", "2", "--com", "4", "--port-dir",
                                                    QString::fromStdString(f.portFolder)} +
                                            faults);
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

// Records lost on the line (the last one found missing when the line goes quiet):
// the window says the download is incomplete and which records are missing, keeps
// what arrived, and the next "读取历史数据" offers to fill in only the missing ones. While the download runs, the other instrument commands are
// disabled and "停止读取" is enabled.
TEST(Download, LostRecord_IsReportedAndFilledInOnTheNextDownload) {
    test::FrameFixture f;
    Simulator sim(f, {"--role", "sync", "--drop-once", "7", "--drop-once", "39", "--pace"});
    ASSERT_TRUE(sim.ready);
    RecordedMessages messages;
    ASSERT_TRUE(f.frame->OpenComPort(4));
    int finished = 0;
    QObject::connect(f.frame.get(), &CMainFrame::deviceEvent,
                     [&](const DeviceEvent& e) { finished += std::holds_alternative<DownloadFinished>(e); });

    f.Command(command::kSyncDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return !f.document.store().m_syncRecords.empty(); }, 10000));
    EXPECT_FALSE(f.Command(command::kProbeTest).isEnabled());
    EXPECT_FALSE(f.Command(command::kSyncDownload).isEnabled());
    EXPECT_FALSE(f.Command(command::kFileOpen).isEnabled());
    EXPECT_TRUE(f.Command(command::kStopDownload).isEnabled());
    EXPECT_TRUE(f.frame->recordCountText().endsWith("/40"));
    ASSERT_TRUE(test::RunUntil([&] { return finished == 1; }, 30000));
    EXPECT_EQ(f.frame->statusText(), kIncompleteStatus);
    EXPECT_EQ(f.document.store().m_syncRecords.size(), 38u);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].text.find("线路上已无数据"), std::string::npos);
    EXPECT_NE(messages.messages()[0].text.find("缺少2条（编号 7, 39）"), std::string::npos);
    EXPECT_TRUE(f.Command(command::kSyncDownload).isEnabled());
    EXPECT_FALSE(f.Command(command::kStopDownload).isEnabled());

    messages.Answer(MessageAnswer::Yes);  // fill in only what is missing
    f.Command(command::kSyncDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return finished == 2; }, 30000));
    EXPECT_EQ(messages.messages()[1].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(f.frame->statusText(), "数据读取完成");
    EXPECT_EQ(f.frame->recordCountText(), "40/40");
    ASSERT_EQ(f.document.store().m_syncRecords.size(), 40u);
    EXPECT_EQ(f.frame->view().model().rowCount(), 40);
    EXPECT_EQ(messages.messages().size(), 2u);
}

// "停止读取" during a download keeps what arrived and says the download is incomplete;
// a hang-up afterwards shows the link closed on the connect toggle.
TEST(Download, StopAndHangUp_KeepWhatArrivedAndShowTheLinkClosed) {
    test::FrameFixture f;
    Simulator sim(f, {"--role", "sync", "--pace", "--hangup-after", "30"});
    ASSERT_TRUE(sim.ready);
    RecordedMessages messages;
    ASSERT_TRUE(f.frame->OpenComPort(4));
    f.Command(command::kSyncDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return f.document.store().m_syncRecords.size() >= 5; }, 10000));
    f.Command(command::kStopDownload).trigger();
    const std::size_t kept = f.document.store().m_syncRecords.size();
    EXPECT_EQ(f.frame->statusText(), kIncompleteStatus);
    EXPECT_NE(messages.messages().at(0).text.find("读取已取消"), std::string::npos);
    EXPECT_TRUE(f.Command(command::kSyncDownload).isEnabled());

    ASSERT_TRUE(test::RunUntil([&] { return f.frame->link().GetPortNumber() == 0; }, 5000));
    EXPECT_EQ(f.document.store().m_syncRecords.size(), kept);  // records after the stop are not taken
    EXPECT_FALSE(f.Command(command::kConnect).isChecked());
    EXPECT_EQ(f.Command(command::kConnect).text(), "连接");
    EXPECT_EQ(messages.messages().back().text, kLinkLostText);
}
