#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QTableView>

#include "core/survey_pipeline.h"
#include "core/trajectory.h"
#include "frame_fixture.h"
#include "io/excel_export.h"
#include "ui/table/hole_results_panel.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;

namespace {

// Two holes with real start coordinates and a declination, so every column differs
// from its neighbours; the third hole has no parameters.
SurveyStore ThreeHoles() {
    SurveyStore s;
    for (int hole = 0; hole < 3; ++hole) {
        HoleSurvey h;
        if (hole < 2) {
            h.name = hole == 0 ? u"K1" : u"K2";
            h.pbLen = 1.5f;
            h.gi = 4.5f;
            h.dPos = 95.3f;
            h.dDip = 2;
            h.x0 = 1;
            h.e0 = 3950.25f;
            h.n0 = 4200;
            h.d0 = -310.5f;
        }
        for (int k = 0; k < 5; ++k) {
            ProbeRecord r;
            r.idx = k;
            r.flag = k == 2 ? kSampled : kSampled | kStation;
            r.inc = 1.5f + float(k) * 0.7f + float(hole);
            r.azi = 93.0f + float(k) * 1.3f;
            r.time = {45352.5 + k / 86400.0, kTimeValid};
            h.records.push_back(r);
        }
        s.m_holes.push_back(h);
    }
    Recompute(s, SurveyChange::TrajectoryCommand);
    return s;
}

struct ResultsPanelTest : ::testing::Test, test::FrameFixture {
    HoleResultsPanel& panel = frame->resultsPanel();
    HoleResultsModel& results = panel.model();

    ResultsPanelTest() {
        document.store() = ThreeHoles();
        document.UpdateAllViews();
    }
    QString Cell(int row, int column) { return results.data(results.index(row, column), Qt::DisplayRole).toString(); }
    void SelectTableRow(int row) {
        frame->view().setCurrentIndex(frame->view().model().index(row, SurveyTableModel::kHoleColumn));
    }
};

}  // namespace

TEST_F(ResultsPanelTest, ShowsTheExportsTextsForTheHoleOfTheCurrentRow) {
    auto* dock = frame->findChild<QDockWidget*>("钻孔成果");
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock->windowTitle(), "钻孔成果");
    EXPECT_EQ(results.hole(), 0);

    SelectTableRow(7);  // all-data mode: record 2 of hole 1
    ASSERT_EQ(results.hole(), 1);
    const HoleSurvey& h = document.store().m_holes[1];
    const std::vector<std::string>& titles = HoleColumnTitles();
    const int exported[] = {1, 2, 3, 4, 10, 11, 12, 13, 14, 15, 16, 17};
    ASSERT_EQ(results.columnCount(), int(std::size(exported)));
    ASSERT_EQ(results.rowCount(), 4) << "stations only";
    int row = 0;
    for (const ProbeRecord& r : h.records) {
        if (!(r.flag & kStation)) continue;
        const std::vector<std::string> texts = HoleRowTexts(h, r, row);
        for (int c = 0; c < results.columnCount(); ++c) {
            EXPECT_EQ(Cell(row, c).toStdString(), texts[std::size_t(exported[c])]) << row << "," << c;
            EXPECT_EQ(results.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
                      titles[std::size_t(exported[c])]);
        }
        ++row;
    }
    EXPECT_TRUE(panel.paramsText().contains("钻孔名称：K2"));
    EXPECT_TRUE(panel.paramsText().contains("西磁偏角：4.500"));
    EXPECT_EQ(panel.refusalText(), "");
    EXPECT_EQ(panel.table().currentIndex().row(), -1) << "record 2 is no station";
    SelectTableRow(8);
    EXPECT_EQ(panel.table().currentIndex().row(), 2) << "record 3 is the third station";

    SelectTableRow(12);  // hole 2, no parameters
    EXPECT_EQ(results.hole(), 2);
    EXPECT_EQ(panel.refusalText(), QString::fromUtf8(kNoHoleParams));
}

TEST_F(ResultsPanelTest, FollowsEditsUndoAndRecomputes) {
    frame->view().setShowAll(false);
    document.UpdateAllViews();
    SurveyTableModel& table = frame->view().model();
    const QString eastBefore = Cell(3, 6);
    ASSERT_TRUE(table.setData(table.index(3, SurveyTableModel::kAziColumn), QString("40"), Qt::EditRole));
    EXPECT_NE(Cell(3, 6), eastBefore) << "east follows the corrected azimuth";
    ASSERT_TRUE(table.setData(table.index(1, SurveyTableModel::kDepthColumn), QString("2.0"), Qt::EditRole));
    EXPECT_EQ(Cell(1, 1), "2.0");
    EXPECT_EQ(results.data(results.index(1, 1), Qt::ForegroundRole).value<QBrush>().color(),
              SurveyTableModel::HandDepthColour());
    document.undoStack().undo();
    document.undoStack().undo();
    EXPECT_EQ(Cell(1, 1), "2.5");
    EXPECT_EQ(Cell(3, 6), eastBefore);

    // A load with fewer holes: the panel goes back to the first hole, or to none.
    SelectTableRow(10);
    document.store().m_holes.resize(1);
    document.UpdateAllViews();
    EXPECT_EQ(results.hole(), 0);
    document.store().m_holes.clear();
    document.UpdateAllViews();
    EXPECT_EQ(results.hole(), -1);
    EXPECT_EQ(results.rowCount(), 0);
}

TEST_F(ResultsPanelTest, CopiesTabSeparatedText) {
    panel.CopyToClipboard();
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + results.rowCount());
    EXPECT_TRUE(lines[0].startsWith("序号\t孔深\t真方位角\t倾角\t左右偏差"));
    for (int row = 0; row < results.rowCount(); ++row) {
        const QStringList cells = lines[row + 1].split('\t');
        ASSERT_EQ(cells.size(), results.columnCount());
        for (int c = 0; c < results.columnCount(); ++c) EXPECT_EQ(cells[c], Cell(row, c));
    }
}

// A refill (a recompute, a display switch, a download's end) keeps the current
// record, so the panel stays on its hole; holes assembled at a download's end are
// shown although no document update comes with them.
TEST_F(ResultsPanelTest, StaysOnItsHoleAcrossRefillsAndReadsNewHoles) {
    SelectTableRow(8);
    document.UpdateAllViews();
    EXPECT_EQ(frame->view().model().HoleRecordOfRow(frame->view().currentIndex().row()).record, 3);
    EXPECT_EQ(results.hole(), 1);
    EXPECT_EQ(panel.table().currentIndex().row(), 2);

    document.store().m_holes[1].records.resize(2);
    frame->view().FillHoleRows();  // as the conversations do after assembly
    EXPECT_EQ(results.rowCount(), 2);
}
