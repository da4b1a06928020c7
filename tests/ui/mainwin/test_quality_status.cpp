// The quality summary in the status bar and its clock offer, on a survey whose
// instrument clocks were set 20 s apart.

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <algorithm>
#include <cmath>
#include <csignal>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>

#include "core/quality/still_periods.h"
#include "core/stations.h"
#include "core/survey_pipeline.h"
#include "io/survey_file.h"
#include "sim_stream.h"
#include "tests/ui/mainwin/frame_fixture.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/quality_status.h"
#include "ui/table/hole_results_panel.h"

namespace {

using namespace sondara;

class QualityStatusTest : public testing::Test, public test::FrameFixture {
protected:
    // The status bar once the checks that changes asked for have run.
    QualityStatus& Status() {
        QCoreApplication::processEvents();
        return *frame->statusBar()->findChild<QualityStatus*>();
    }

    // A downloaded run saved before any hole was cut.
    QString Survey(const sim::StreamOptions& o) {
        const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
        SurveyStore store;
        store.m_probeRecords = s.records.probe;
        store.m_syncRecords = s.records.sync;
        const QString file = Path("run.bhx");
        EXPECT_TRUE(SaveSurveyFile(store, file.toStdString()));
        return file;
    }
    // The probe clock ran 20 s ahead, and one stop was near steel.
    QString SurveyWithClocksApart() {
        sim::StreamOptions o;
        o.clockOffsetSeconds = 20;
        o.noisyStation = 40;
        return Survey(o);
    }
};

TEST_F(QualityStatusTest, LoadTellsTheFindingsInOneLineAndOffersTheClockOffset) {
    EXPECT_TRUE(Status().summary().isEmpty()) << "nothing to judge before a survey";
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    EXPECT_TRUE(Status().summary().startsWith("质量检查：发现")) << Status().summary().toStdString();
    EXPECT_TRUE(Status().summary().contains("时钟偏差约 20 秒")) << Status().summary().toStdString();
    EXPECT_FALSE(Status().summary().contains('\n'));
    EXPECT_TRUE(Status().findChild<QLabel*>()->toolTip().contains("探管时钟比同步器快"));
    QToolButton& apply = Status().offerButton();
    QToolButton& undo = Status().undoButton();
    ASSERT_FALSE(apply.isHidden());
    EXPECT_TRUE(undo.isHidden());
    EXPECT_EQ(apply.text(), "应用时钟偏差（+20 秒）");

    const std::vector<SyncRecord> before = document.store().m_syncRecords;
    document.setModified(false);
    apply.click();
    const auto& after = document.store().m_syncRecords;
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NEAR(LinearSeconds(after[5].time) - LinearSeconds(before[5].time), 20, 1e-3);
    EXPECT_TRUE(document.isModified()) << "the shifted times are unsaved";
    // Paired again at the stops: only the stop near steel is left to report.
    EXPECT_EQ(Status().summary(), "质量检查：发现 1 项（异常测点 1 个）");
    EXPECT_TRUE(apply.isHidden()) << "nothing left to correct";
    EXPECT_FALSE(undo.isHidden());
    EXPECT_EQ(document.undoStack().undoText(), "应用时钟偏差 20 秒");

    undo.click();  // taken back
    ASSERT_EQ(document.store().m_syncRecords.size(), before.size());
    EXPECT_EQ(document.store().m_syncRecords[5].time.dt, before[5].time.dt);
    EXPECT_FALSE(document.isModified());
    Status();
    EXPECT_EQ(apply.text(), "应用时钟偏差（+20 秒）");
    EXPECT_TRUE(undo.isHidden());

    document.undoStack().redo();  // and again, from the undo stack
    EXPECT_NEAR(LinearSeconds(document.store().m_syncRecords[5].time) - LinearSeconds(before[5].time), 20, 1e-3);
    EXPECT_EQ(Status().summary(), "质量检查：发现 1 项（异常测点 1 个）");
}

// The stop near steel, once the clocks agree: the results panel marks that station of
// its hole, says what is off, and lists the hole's findings.
TEST_F(QualityStatusTest, ResultsPanelMarksTheFlaggedStationAndListsTheHolesFindings) {
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    Status().OnOffer();
    const QualityReport& report = Status().report();
    const auto flagged =
        std::find_if(report.holes.begin(), report.holes.end(), [](const HoleQuality& h) { return h.flagged > 0; });
    ASSERT_NE(flagged, report.holes.end());
    const auto station = std::find_if(flagged->stations.begin(), flagged->stations.end(),
                                      [](const StationQuality& s) { return s.flags != 0; });
    ASSERT_NE(station, flagged->stations.end());

    HoleResultsPanel& panel = frame->resultsPanel();
    panel.ShowRecord(flagged->hole, station->record);
    HoleResultsModel& model = panel.model();
    const int row = model.RowOfRecord(station->record);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(model.RowFinding(row).contains("总重力")) << model.RowFinding(row).toStdString();
    EXPECT_TRUE(model.data(model.index(row, 1), Qt::BackgroundRole).isValid());
    int marked = 0;
    for (int r = 0; r < model.rowCount(); ++r) marked += !model.RowFinding(r).isEmpty();
    EXPECT_EQ(marked, 1) << "only the flagged station is marked";
    EXPECT_TRUE(panel.findingsText().contains(model.RowFinding(row))) << panel.findingsText().toStdString();

    // A hole without findings shows no mark and no finding.
    const int other = flagged->hole == 0 ? 1 : 0;
    panel.ShowRecord(other, 0);
    for (int r = 0; r < model.rowCount(); ++r) EXPECT_TRUE(model.RowFinding(r).isEmpty());
    EXPECT_FALSE(panel.findingsText().contains("总重力"));
}

TEST_F(QualityStatusTest, UndoAfterTheRecordsWereReplacedLeavesTheNewSurveyAlone) {
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    Status().offerButton().click();
    // Another survey comes in (an import or download replaces the records).
    SurveyStore other;
    other.m_syncRecords.resize(3);
    document.store() = other;
    document.undoStack().undo();
    EXPECT_EQ(document.store().m_syncRecords.size(), 3u);
}

// Parameters saved after a correction are no part of it: taking the correction back
// keeps them, and the holes it puts back are computed with them.
TEST_F(QualityStatusTest, UndoKeepsParametersSavedSince) {
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    Status().offerButton().click();
    SurveyStore& store = document.store();
    ASSERT_FALSE(store.m_holes.empty());
    HoleParams saved;
    saved.name = u"K1";
    saved.pbLen = 1.5f;
    saved.e0 = 1000;
    saved.n0 = 2000;
    store.m_holeParams = {saved};
    Recompute(store, SurveyChange::ParamsSaved);  // as the editor's save does
    document.setModified(false);                  // and the survey was saved

    document.undoStack().undo();
    ASSERT_EQ(store.m_holeParams.size(), 1u);
    EXPECT_EQ(store.m_holes[0].name, u"K1");
    EXPECT_EQ(store.m_holes[0].e0, 1000);
    EXPECT_EQ(store.m_holes[0].n0, 2000);
    EXPECT_TRUE(document.isModified()) << "the undone correction is unsaved";
}

TEST_F(QualityStatusTest, MissedAndExtraRodKeysAreOfferedOneAtATime) {
    sim::StreamOptions o;
    o.missedKeys = {5};
    o.extraKeys = {40};
    ASSERT_TRUE(frame->OpenPaths({Survey(o)}));
    EXPECT_TRUE(Status().summary().contains("漏记钻杆 1 处")) << Status().summary().toStdString();
    EXPECT_TRUE(Status().summary().contains("多记钻杆 1 处"));
    QToolButton& offer = Status().offerButton();
    EXPECT_EQ(offer.text(), "补记漏记的钻杆（共 2 处）");
    const std::size_t keys = document.store().m_syncRecords.size();
    offer.click();
    EXPECT_EQ(document.store().m_syncRecords.size(), keys + 1);
    Status();
    EXPECT_EQ(offer.text(), "删除多记的钻杆（共 1 处）");
    offer.click();
    EXPECT_EQ(document.store().m_syncRecords.size(), keys);
    EXPECT_EQ(Status().summary(), "质量检查：未发现问题");
    for (int h = 1; h <= 3; ++h) EXPECT_EQ(CountStations(document.store().m_holes[h].records), 30) << h;
    document.undoStack().undo();
    document.undoStack().undo();
    EXPECT_EQ(document.store().m_syncRecords.size(), keys);
    EXPECT_TRUE(Status().summary().contains("漏记钻杆 1 处"));
}

TEST_F(QualityStatusTest, DownloadOfARunWithClocksApartEndsWithTheOffer) {
    QProcess sim;
    sim.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });  // dies with the test
    sim.start(SONDARA_SIM_PATH, {"--stream", "--clock-offset", "-25", "--holes", "2", "--rods", "20", "--com", "4",
                                 "--port-dir", QString::fromStdString(portFolder)});
    const QString link = QString::fromStdString(portFolder) + "/COM4";
    ASSERT_TRUE(sim.waitForStarted(5000) && test::RunUntil([&] { return QFile::exists(link); }, 5000));
    RecordedMessages messages;
    ASSERT_TRUE(frame->OpenComPort(4));
    int completed = 0;
    QObject::connect(frame.get(), &CMainFrame::deviceEvent,
                     [&](const DeviceEvent& e) { completed += std::holds_alternative<DownloadFinished>(e); });
    Command(command::kProbeDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return completed == 1; }, 30000));
    EXPECT_TRUE(Status().summary().isEmpty()) << "half a download has no holes to judge";
    Command(command::kSyncDownload).trigger();
    ASSERT_TRUE(test::RunUntil([&] { return completed == 2; }, 30000));
    const double estimate = Status().report().clock.offsetSeconds;
    EXPECT_NEAR(estimate, -25, 1.0);
    EXPECT_TRUE(Status().summary().contains(QString("时钟偏差约 %1 秒").arg(std::round(estimate))))
        << Status().summary().toStdString();
    EXPECT_EQ(Status().offerButton().text(), QString("应用时钟偏差（%1 秒）").arg(std::round(estimate)));
    sim.terminate();
    sim.waitForFinished(5000);
}

}  // namespace
