#include <gtest/gtest.h>

#include <QUndoStack>

#include <cstring>

#include "core/survey_pipeline.h"
#include "core/trajectory.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;

namespace {

using Model = SurveyTableModel;

ProbeRecord Rec(int flag, float azi = 10, float tmp = 20) {
    ProbeRecord r;
    r.flag = flag;
    r.azi = azi;
    r.inc = -5.456f;
    r.tmp = tmp;
    r.GT = 0.99871f;
    r.time = {45352.5, kTimeValid};
    return r;
}

HoleSurvey Hole(std::vector<int> flags) {
    HoleSurvey h;
    h.name = std::u16string(1, u'H');
    h.pbLen = 1.5f;
    for (int f : flags) h.records.push_back(Rec(f));
    return h;
}

QString Text(Model& m, int row, int column) { return m.data(m.index(row, column), Qt::DisplayRole).toString(); }
Qt::CheckState Check(Model& m, int row) { return m.data(m.index(row, 0), Qt::CheckStateRole).value<Qt::CheckState>(); }

struct TableFixture : ::testing::Test {
    SurveyDocument doc;
    CTiltoraView view{doc};
    Model& model = view.model();
    SurveyStore& store = doc.store();
};

}  // namespace

TEST_F(TableFixture, AllDataMode_RowsRunOnAcrossHolesAndSkipEmptyOnes) {
    store.m_holes = {Hole({3, 0, 1, 2, 0}), Hole({}), Hole({3, 3, 0, 0})};
    doc.UpdateAllViews();
    ASSERT_EQ(model.rowCount(), 9);
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(Text(model, r, Model::kHoleColumn), r < 5 ? "0" : "2") << r;
        EXPECT_EQ(Text(model, r, Model::kRowColumn), QString::number(r));
    }
}

TEST_F(TableFixture, SampledMode_ShowsOnlySampledOrStationRecords) {
    store.m_holes = {Hole({3, 0, 1, 2, 0})};
    view.setShowAll(false);
    doc.UpdateAllViews();
    ASSERT_EQ(model.rowCount(), 3);
    const int expectedRecord[] = {0, 2, 3};
    for (int r = 0; r < 3; ++r) EXPECT_EQ(model.HoleRecordOfRow(r).record, expectedRecord[r]);
    EXPECT_EQ(Check(model, 0), Qt::Checked);
    EXPECT_EQ(Check(model, 1), Qt::Unchecked);
    EXPECT_EQ(Text(model, 1, Model::kRemarkColumn), "采样数据");
    EXPECT_EQ(Text(model, 2, Model::kRemarkColumn), "--");
}

TEST_F(TableFixture, HoleRow_FormatsEveryColumn) {
    HoleSurvey h = Hole({3});
    ProbeRecord& r = h.records[0];
    r.depth = 12.25f, r.DIP = 45.06f, r.MT = 0.51234f, r.volt = 3.66f, r.mark = kMarkCoal;
    store.m_holes = {h};
    doc.UpdateAllViews();
    const std::pair<int, const char*> cells[] = {
        {Model::kDepthColumn, "12.2"}, {Model::kAziColumn, "10.0"},  {Model::kIncColumn, "-5.46"},
        {Model::kDipColumn, "45.1"},   {Model::kGtColumn, "0.9987"}, {Model::kMtColumn, "0.5123"},
        {Model::kTmpColumn, "20.0"},   {Model::kVoltColumn, "3.7"},  {Model::kTimeColumn, "2024-03-01  12:00:00"},
        {Model::kMarkColumn, "遇煤"}};
    for (auto [column, text] : cells) EXPECT_EQ(Text(model, 0, column), text) << column;
    EXPECT_EQ(model.headerData(Model::kTimeColumn, Qt::Horizontal, Qt::DisplayRole).toString(), "时间");
}

TEST_F(TableFixture, WithoutHoles_ShowsProbeThenSyncRecordsElseKeepsRows) {
    store.m_probeRecords = {Rec(0), Rec(0)};
    store.m_syncRecords = {SyncRecord{0, 3, 7, {45352.5, kTimeInvalid}, 0}};
    doc.UpdateAllViews();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Text(model, 1, Model::kRowColumn), "1");
    EXPECT_EQ(Text(model, 1, Model::kHoleColumn), "");
    EXPECT_EQ(Text(model, 1, Model::kDepthColumn), "");
    EXPECT_EQ(Text(model, 1, Model::kAziColumn), "10.0");
    EXPECT_EQ(Check(model, 0), Qt::Unchecked);

    store.m_probeRecords.clear();
    doc.UpdateAllViews();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(Text(model, 0, Model::kHoleColumn), "7");
    EXPECT_EQ(Text(model, 0, Model::kTimeColumn), "Invalid DateTime");
    EXPECT_EQ(Check(model, 0), Qt::Checked);

    store.m_syncRecords.clear();
    doc.UpdateAllViews();
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(TableFixture, RawRows_IgnoreTheCheckBox) {
    store.m_probeRecords = {Rec(0)};
    store.m_syncRecords = {SyncRecord{0, 3, 0, {}, 0}};
    view.AppendSyncRow(0);
    model.ClearRows();
    view.AppendProbeRow(0);
    view.AppendSyncRow(0);
    for (int row : {0, 1}) {
        EXPECT_FALSE(model.flags(model.index(row, 0)) & Qt::ItemIsUserCheckable);
        EXPECT_FALSE(model.setData(model.index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
    }
    EXPECT_EQ(store.m_syncRecords[0].flag, 3);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(TableFixture, UncheckingSampledRow_ClearsStationBitOfExactlyThatRecord) {
    // Flags 3, 0, 1, 3: the second shown row is record 2, even though the first
    // shown row is no longer a station.
    store.m_holes = {Hole({3, 0, 1, 3}), Hole({3, 3})};
    store.m_holes[0].records[0].flag = kSampled;
    view.setShowAll(false);
    doc.UpdateAllViews();
    ASSERT_TRUE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(store.m_holes[0].records[2].flag, kSampled | kStation);
    ASSERT_TRUE(model.setData(model.index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(store.m_holes[0].records[3].flag, kSampled);
    EXPECT_EQ(store.m_holes[0].records[0].flag, kSampled);
    EXPECT_EQ(store.m_holes[1].records[0].flag, 3);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(TableFixture, EditableCells_DepthAlwaysValuesOnlyNearEndOfHole) {
    store.m_holes = {Hole({3, 3, 3, 3, 3}), Hole({3})};
    view.setShowAll(false);
    doc.UpdateAllViews();
    const auto editable = [&](int row, int column) {
        return bool(model.flags(model.index(row, column)) & Qt::ItemIsEditable);
    };
    EXPECT_FALSE(editable(2, Model::kTmpColumn));  // third-last row of hole 0
    EXPECT_TRUE(editable(2, Model::kDepthColumn));
    EXPECT_TRUE(editable(3, Model::kTmpColumn));
    EXPECT_TRUE(editable(4, Model::kAziColumn));
    EXPECT_TRUE(editable(5, Model::kIncColumn));  // the last row of the table
    for (int column : {0, 1, 2, 10, 11, 12, 13}) EXPECT_FALSE(editable(4, column)) << column;

    view.setShowAll(true);
    doc.UpdateAllViews();
    EXPECT_FALSE(editable(0, Model::kDepthColumn));
}

TEST_F(TableFixture, Edit_AcceptsNumberCharactersRejectsOthers) {
    HoleSurvey h = Hole({3, 3});
    h.pbLen = 1.5f;
    store.m_holes = {h};
    view.setShowAll(false);
    doc.UpdateAllViews();
    const struct {
        int column;
        const char* text;
        bool accepted;
        float value;
    } cases[] = {
        {Model::kAziColumn, "-1.5", true, -1.5f}, {Model::kAziColumn, "12a", false, 10.0f},
        {Model::kAziColumn, "", true, 0.0f},      {Model::kTmpColumn, "1.2.3", true, 1.2f},
        {Model::kAziColumn, "1 2", false, 0.0f},  {Model::kIncColumn, "--", true, 0.0f},
    };
    for (const auto& c : cases) {
        RecordedMessages messages;
        ProbeRecord& r = store.m_holes[0].records[1];
        float* field = c.column == Model::kAziColumn ? &r.azi : c.column == Model::kTmpColumn ? &r.tmp : &r.inc;
        const float before = *field;
        EXPECT_EQ(model.setData(model.index(1, c.column), QString(c.text), Qt::EditRole), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_FLOAT_EQ(*field, c.value) << c.text;
            EXPECT_EQ(Text(model, 1, c.column), c.text) << "the cell keeps the typed text";
            EXPECT_TRUE(messages.messages().empty());
        } else {
            EXPECT_EQ(*field, before) << c.text;
            ASSERT_EQ(messages.messages().size(), 1u);
            EXPECT_EQ(messages.messages()[0].text, "输入数据不合法");
            EXPECT_EQ(messages.messages()[0].caption, "错误");
            EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Error);
        }
    }
}

TEST_F(TableFixture, EditedAzimuth_RecomputesTrajectories) {
    HoleSurvey h = Hole({3, 3, 3});
    for (auto& r : h.records) r.inc = 0, r.azi = 90;
    store.m_holes = {h};
    store.m_holes[0].dPos = 90;
    ComputeAllDepths(store);
    ComputeAllTrajectories(store);
    const float eastBefore = store.m_holes[0].records[2].x;
    view.setShowAll(false);
    doc.UpdateAllViews();
    ASSERT_TRUE(model.setData(model.index(2, Model::kAziColumn), QString("0"), Qt::EditRole));
    EXPECT_NE(store.m_holes[0].records[2].x, eastBefore);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(TableFixture, DoubleClick_OpensEditorOnlyOnEditableCell) {
    store.m_holes = {Hole({3, 3, 3, 3})};
    view.setShowAll(false);
    doc.UpdateAllViews();
    view.resize(1200, 400);
    view.show();
    const auto openEditorAt = [&](int row, int column) {
        view.edit(model.index(row, column));
        QWidget* editor = view.indexWidget(model.index(row, column));
        if (editor)
            QMetaObject::invokeMethod(&view, "closeEditor", Q_ARG(QWidget*, editor),
                                      Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        return editor != nullptr;
    };
    EXPECT_FALSE(openEditorAt(0, Model::kTmpColumn));
    EXPECT_TRUE(openEditorAt(0, Model::kDepthColumn));
    EXPECT_TRUE(openEditorAt(3, Model::kTmpColumn));
}

// A hole of four stations along the design line, computed: depths 0, 1.5, 3, 4.5.
struct HandChangeFixture : TableFixture {
    HandChangeFixture() {
        HoleSurvey h = Hole({3, 3, 3, 3});
        for (auto& r : h.records) r.inc = 0, r.azi = 90;
        for (int k = 0; k < 4; ++k) h.records[k].idx = k;
        h.dPos = 90;
        store.m_holes = {h};
        Recompute(store, SurveyChange::TrajectoryCommand);
        view.setShowAll(false);
        doc.UpdateAllViews();
    }
    ProbeRecord& R(int k) { return store.m_holes[0].records[k]; }
    QUndoStack& undo = doc.undoStack();
};

TEST_F(HandChangeFixture, TypedDepth_SurvivesTheDepthPassUntilGivenBack) {
    ASSERT_TRUE(model.setData(model.index(1, Model::kDepthColumn), QString("2.2"), Qt::EditRole));
    EXPECT_EQ(R(1).depth, 2.2f);
    EXPECT_EQ(R(1).flag, kSampled | kStation | kHandDepth);
    EXPECT_FLOAT_EQ(R(1).x, 2.2f) << "the trajectory follows the correction";
    EXPECT_EQ(model.data(model.index(1, Model::kDepthColumn), Qt::ForegroundRole).value<QBrush>().color(),
              Model::HandDepthColour());
    EXPECT_FALSE(model.data(model.index(2, Model::kDepthColumn), Qt::ForegroundRole).isValid());

    // "轨迹计算" and the sampled display run the depth pass: the hand-set depth stays.
    Recompute(store, SurveyChange::TrajectoryCommand);
    EXPECT_EQ(R(1).depth, 2.2f);
    EXPECT_EQ(R(2).depth, 3.0f);

    view.ClearHandDepth(1);
    EXPECT_EQ(R(1).depth, 1.5f);
    EXPECT_EQ(R(1).flag, kSampled | kStation);
    EXPECT_FLOAT_EQ(R(1).x, 1.5f);
    EXPECT_EQ(Text(model, 1, Model::kDepthColumn), "1.5");
    undo.undo();  // the hand-set depth is back, and so is its trajectory
    EXPECT_EQ(R(1).depth, 2.2f);
    EXPECT_EQ(R(1).flag & kHandDepth, kHandDepth);
    EXPECT_FLOAT_EQ(R(1).x, 2.2f);
}

TEST_F(HandChangeFixture, UndoAndRedo_OfAnEditAndACheck_RestoreRecordAndRecompute) {
    const ProbeRecord before = R(3);
    ASSERT_TRUE(model.setData(model.index(3, Model::kAziColumn), QString("0"), Qt::EditRole));
    EXPECT_NE(R(3).x, before.x);
    ASSERT_TRUE(model.setData(model.index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(R(2).flag, kSampled);
    ASSERT_EQ(undo.count(), 2);

    undo.undo();  // the check: the bit is back, nothing recomputed (it waits for the next pass)
    EXPECT_EQ(R(2).flag, kSampled | kStation);
    EXPECT_EQ(Check(model, 2), Qt::Checked);
    undo.undo();  // the edit: value, text and trajectory as before
    EXPECT_EQ(R(3).azi, before.azi);
    EXPECT_EQ(R(3).x, before.x);
    EXPECT_EQ(R(3).y, before.y);
    EXPECT_EQ(Text(model, 3, Model::kAziColumn), "90.0");
    EXPECT_FALSE(undo.canUndo());

    undo.redo();
    EXPECT_EQ(R(3).azi, 0.0f);
    EXPECT_EQ(Text(model, 3, Model::kAziColumn), "0") << "the typed text again";
    EXPECT_NE(R(3).x, before.x);
    undo.redo();
    EXPECT_EQ(R(2).flag, kSampled);
    EXPECT_TRUE(doc.isModified());
}

// Steps name records by place; a new survey in their place must not be edited by them.
TEST_F(HandChangeFixture, StepsOfAReplacedSurvey_AreDroppedOrDoNothing) {
    ASSERT_TRUE(model.setData(model.index(1, Model::kDepthColumn), QString("9"), Qt::EditRole));
    view.ClearRows();  // a download starts
    EXPECT_FALSE(undo.canUndo());
    doc.UpdateAllViews();

    ASSERT_TRUE(model.setData(model.index(0, Model::kDepthColumn), QString("9"), Qt::EditRole));
    for (auto& r : store.m_holes[0].records) r.idx += 100;  // replaced behind the stack's back
    const ProbeRecord other = R(0);
    undo.undo();
    EXPECT_EQ(0, std::memcmp(&other, &R(0), sizeof other));
}
