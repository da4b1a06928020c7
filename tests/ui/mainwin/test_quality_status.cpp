// The quality summary in the status bar and its clock offer, on a survey whose
// instrument clocks were set 20 s apart.

#include <gtest/gtest.h>

#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>

#include "core/quality/still_periods.h"
#include "io/survey_file.h"
#include "sim_stream.h"
#include "tests/ui/mainwin/frame_fixture.h"
#include "ui/mainwindow/quality_status.h"

namespace {

using namespace sondara;

class QualityStatusTest : public testing::Test, public test::FrameFixture {
protected:
    QualityStatus& Status() { return *frame->statusBar()->findChild<QualityStatus*>(); }

    // A downloaded run whose probe clock ran 20 s ahead, saved before any hole was cut.
    QString SurveyWithClocksApart() {
        sim::StreamOptions o;
        o.clockOffsetSeconds = 20;
        o.noisyStation = 40;
        const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
        SurveyStore store;
        store.m_probeRecords = s.records.probe;
        store.m_syncRecords = s.records.sync;
        const QString file = Path("apart.bhx");
        EXPECT_TRUE(SaveSurveyFile(store, file.toStdString()));
        return file;
    }
};

TEST_F(QualityStatusTest, LoadTellsTheFindingsInOneLineAndOffersTheClockOffset) {
    EXPECT_TRUE(Status().summary().isEmpty()) << "nothing to judge before a survey";
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    EXPECT_TRUE(Status().summary().startsWith("质量检查：发现")) << Status().summary().toStdString();
    EXPECT_TRUE(Status().summary().contains("时钟偏差约 20 秒")) << Status().summary().toStdString();
    EXPECT_FALSE(Status().summary().contains('\n'));
    EXPECT_TRUE(Status().findChild<QLabel*>()->toolTip().contains("探管时钟比同步器快"));
    QToolButton& apply = Status().applyButton();
    ASSERT_FALSE(apply.isHidden());
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
    EXPECT_EQ(apply.text(), "撤销时钟偏差");
    EXPECT_EQ(document.undoStack().undoText(), "应用时钟偏差 20 秒");

    apply.click();  // taken back
    ASSERT_EQ(document.store().m_syncRecords.size(), before.size());
    EXPECT_EQ(document.store().m_syncRecords[5].time.dt, before[5].time.dt);
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(apply.text(), "应用时钟偏差（+20 秒）");

    document.undoStack().redo();  // and again, from the undo stack
    EXPECT_NEAR(LinearSeconds(document.store().m_syncRecords[5].time) - LinearSeconds(before[5].time), 20, 1e-3);
    EXPECT_EQ(Status().summary(), "质量检查：发现 1 项（异常测点 1 个）");
}

TEST_F(QualityStatusTest, UndoAfterTheRecordsWereReplacedLeavesTheNewSurveyAlone) {
    ASSERT_TRUE(frame->OpenPaths({SurveyWithClocksApart()}));
    Status().applyButton().click();
    // Another survey comes in (an import or download replaces the records).
    SurveyStore other;
    other.m_syncRecords.resize(3);
    document.store() = other;
    document.undoStack().undo();
    EXPECT_EQ(document.store().m_syncRecords.size(), 3u);
}

}  // namespace
