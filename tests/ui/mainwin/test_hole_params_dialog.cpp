#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "tests/support/recorded_messages.h"
#include "ui/dialogs/hole_params_dialog.h"

using namespace sondara;

namespace {

using Dlg = CWellSetDlg;

HoleParams Params(const char16_t* name, float x0 = 0, float dPos = 95, float gi = 5) {
    HoleParams p;
    p.name = name;
    p.pbLen = 1.5f;
    p.dDip = 3;
    p.dPos = dPos;
    p.gi = gi;
    p.x0 = x0;
    return p;
}

struct EditorFixture : ::testing::Test {
    SurveyStore store;
    Dlg dialog{store};

    QString Cell(int row, int column) {
        QTableWidgetItem* item = dialog.grid().item(row, column);
        return item ? item->text() : QString("<none>");
    }
    void Type(int row, int column, const QString& text) { dialog.grid().item(row, column)->setText(text); }
    QStringList Column(int column) {
        QStringList texts;
        for (int r = 0; r < dialog.grid().rowCount(); ++r) texts << Cell(r, column);
        return texts;
    }
    std::vector<int> SelectedRows() {
        std::vector<int> rows;
        for (const QModelIndex& i : dialog.grid().selectionModel()->selectedRows()) rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

}  // namespace

TEST_F(EditorFixture, EmptyStore_EmptyGridAndSaveClosesAtOnce) {
    RecordedMessages messages;
    dialog.Setup();
    EXPECT_EQ(dialog.grid().rowCount(), 0);
    EXPECT_EQ(dialog.declinationBox().text(), "");
    EXPECT_FALSE(dialog.modified());
    dialog.SaveAndClose();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(EditorFixture, Opening_ShowsOneDecimalAndTrueAzimuthAndCountsAsChange) {
    store.m_holeParams = {Params(u"A", 2.26f), Params(u"B", 0, 95, 5)};
    dialog.Setup();
    EXPECT_EQ(Column(Dlg::kIndex), QStringList({"0", "1"}));
    EXPECT_EQ(Cell(0, Dlg::kDesignAzi), "90.0");
    EXPECT_EQ(Cell(0, Dlg::kX0), "2.3");
    EXPECT_EQ(Cell(0, Dlg::kRodLength), "1.5");
    EXPECT_EQ(dialog.declinationBox().text(), "5.0");
    EXPECT_TRUE(dialog.modified());

    RecordedMessages messages({MessageAnswer::Yes});
    dialog.SaveAndClose();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "数据已更改，是否保存？");
    EXPECT_EQ(messages.messages()[0].caption, "提示");
    EXPECT_EQ(messages.messages()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(store.m_holeParams.size(), 2u);
    EXPECT_FLOAT_EQ(store.m_holeParams[0].dPos, 95.0f);
    EXPECT_FLOAT_EQ(store.m_holeParams[0].x0, 2.3f);
    EXPECT_EQ(store.m_holeParams[1].name, u"B");
}

TEST_F(EditorFixture, Add_InsertsAtSelectionOrAppends) {
    store.m_holeParams = {Params(u"A"), Params(u"B"), Params(u"C")};
    dialog.Setup();
    dialog.ClickRow(2);
    dialog.AddRow();
    EXPECT_EQ(Column(Dlg::kIndex), QStringList({"0", "1", "2", "3"}));
    EXPECT_EQ(Column(Dlg::kName), QStringList({"A", "B", "", "C"}));
    EXPECT_EQ(Cell(2, Dlg::kRodLength), "1.5");
    for (int c = Dlg::kDesignInc; c <= Dlg::kD0; ++c) EXPECT_EQ(Cell(2, c), "0");
    EXPECT_EQ(dialog.selected(), 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});

    dialog.ClickRow(-1);
    dialog.AddRow();
    EXPECT_EQ(Column(Dlg::kName), QStringList({"A", "B", "", "C", ""}));
}

TEST_F(EditorFixture, DeleteAndMove_KeepIndexColumnCounting) {
    store.m_holeParams = {Params(u"A"), Params(u"B"), Params(u"C"), Params(u"D")};
    dialog.Setup();
    dialog.ClickRow(0);
    dialog.MoveUp();  // the first row stays where it is
    EXPECT_EQ(Column(Dlg::kName), QStringList({"A", "B", "C", "D"}));
    dialog.MoveDown();
    EXPECT_EQ(Column(Dlg::kName), QStringList({"B", "A", "C", "D"}));
    EXPECT_EQ(dialog.selected(), 1);
    dialog.ClickRow(3);
    dialog.MoveDown();  // the last row stays where it is
    EXPECT_EQ(dialog.selected(), 3);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    dialog.MoveUp();
    EXPECT_EQ(Column(Dlg::kName), QStringList({"B", "A", "D", "C"}));
    dialog.ClickRow(1);
    dialog.DeleteRow();
    dialog.DeleteRow();  // removes the row that moved up into place
    EXPECT_EQ(Column(Dlg::kName), QStringList({"B", "C"}));
    EXPECT_EQ(Column(Dlg::kIndex), QStringList({"0", "1"}));
    EXPECT_EQ(store.m_holeParams.size(), 4u) << "nothing reaches the store before saving";
}

TEST_F(EditorFixture, Validation_RejectsWithMessageAndKeepsStore) {
    const struct {
        int column;
        const char* text;
        const char* message;
    } cases[] = {
        {Dlg::kName, "", "钻孔名称不能为空"},
        {Dlg::kY0, "1x", "输入数据不合法"},
        {Dlg::kRodLength, "a", "输入数据不合法"},
        {Dlg::kName, "A", "钻孔名称重复"},
    };
    for (const auto& c : cases) {
        store.m_holeParams = {Params(u"A"), Params(u"B")};
        const auto before = store.m_holeParams;
        dialog.Setup();
        Type(1, c.column, c.text);
        RecordedMessages messages({MessageAnswer::Yes});
        dialog.setResult(QDialog::Rejected);
        dialog.SaveAndClose();
        ASSERT_EQ(messages.messages().size(), 2u) << c.message;
        EXPECT_EQ(messages.messages()[1].text, c.message);
        EXPECT_EQ(messages.messages()[1].caption, "错误！");
        EXPECT_EQ(messages.messages()[1].icon, MessageIcon::Error);
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << "the dialog stays open";
        EXPECT_EQ(store.m_holeParams, before);
        EXPECT_EQ(SelectedRows(), (c.column == Dlg::kName && *c.text ? std::vector<int>{0, 1} : std::vector<int>{1}));
    }
}

TEST_F(EditorFixture, Save_ConvertsLeadingNumbersAndAddsDeclination) {
    store.m_holeParams = {Params(u"A")};
    dialog.Setup();
    dialog.declinationBox().setText("-2.5");
    Type(0, Dlg::kZ0, "7.5m");   // not checked: the number before the letter
    Type(0, Dlg::kE0, "x");      // not checked: no number at all
    Type(0, Dlg::kY0, " 1.5 ");  // blanks pass
    Type(0, Dlg::kDesignAzi, "");
    RecordedMessages messages({MessageAnswer::Yes});
    dialog.SaveAndClose();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const HoleParams& p = store.m_holeParams.at(0);
    EXPECT_FLOAT_EQ(p.z0, 7.5f);
    EXPECT_FLOAT_EQ(p.e0, 0.0f);
    EXPECT_FLOAT_EQ(p.y0, 1.5f);
    EXPECT_FLOAT_EQ(p.gi, -2.5f);
    EXPECT_FLOAT_EQ(p.dPos, -2.5f);
}

TEST_F(EditorFixture, SaveQuestion_NoClosesWithoutWritingCancelStays) {
    store.m_holeParams = {Params(u"A")};
    const auto before = store.m_holeParams;
    dialog.Setup();
    Type(0, Dlg::kName, "Z");
    {
        RecordedMessages messages({MessageAnswer::Cancel});
        dialog.setResult(QDialog::Rejected);
        dialog.SaveAndClose();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    RecordedMessages messages({MessageAnswer::No});
    dialog.SaveAndClose();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(store.m_holeParams, before);
}

TEST_F(EditorFixture, Escape_ClosesWithoutAsking) {
    store.m_holeParams = {Params(u"A")};
    dialog.Setup();
    RecordedMessages messages;
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(messages.messages().empty());
}

// The survey data file keeps 12 UTF-16 units of a name: typing stops there.
TEST_F(EditorFixture, NameEditor_TakesTwelveUnits) {
    store.m_holeParams = {Params(u"K1")};
    dialog.Setup();
    dialog.grid().editItem(dialog.grid().item(0, Dlg::kName));
    auto* editor = qobject_cast<QLineEdit*>(dialog.grid().indexWidget(dialog.grid().model()->index(0, Dlg::kName)));
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, "North-Panel-001");
    EXPECT_EQ(editor->text(), "North-Panel-");
}

TEST_F(EditorFixture, HolesWithoutEntries_GetProposedRowsThatSaveAsShown) {
    store.m_holeParams = {Params(u"孔2")};
    store.m_holes.resize(4);
    store.m_holes[2].params() = Params(u"North", 3.0f);  // a hole that brought its own parameters
    dialog.Setup();
    EXPECT_EQ(Column(Dlg::kName), QStringList({"孔2", "孔1", "North", "孔3"})) << "no name proposed twice";
    EXPECT_EQ(Column(Dlg::kRodLength), QStringList({"1.5", "1.5", "1.5", "1.5"}));
    EXPECT_EQ(Column(Dlg::kX0), QStringList({"0.0", "0", "3.0", "0"}));
    EXPECT_EQ(Column(Dlg::kIndex), QStringList({"0", "1", "2", "3"}));
    EXPECT_TRUE(dialog.statusText().contains("3个没有参数的钻孔"));
    EXPECT_TRUE(dialog.modified());
    EXPECT_FALSE(dialog.editedSinceOpening()) << "untouched proposals close without a question";
    EXPECT_EQ(store.m_holeParams.size(), 1u) << "nothing stored before the save";

    RecordedMessages messages({MessageAnswer::Yes});
    dialog.SaveAndClose();
    ASSERT_EQ(store.m_holeParams.size(), 4u);
    EXPECT_EQ(store.m_holeParams[1].name, u"孔1");
    EXPECT_EQ(store.m_holeParams[1].pbLen, 1.5f);
    EXPECT_EQ(store.m_holeParams[2].x0, 3.0f);
}

TEST_F(EditorFixture, Cells_CheckedAsTypedWithColumnAndRuleInTheStatusLine) {
    store.m_holeParams = {Params(u"A"), Params(u"B")};
    dialog.Setup();
    EXPECT_EQ(dialog.statusText(), "");
    const struct {
        int column;
        const char* text;
        const char* status;  // empty: the cell passes
    } cases[] = {
        {Dlg::kName, "", "第1行 钻孔名称：不能为空"},
        {Dlg::kName, "A", "第0行 钻孔名称：与第1行重复"},
        {Dlg::kName, "一二三四五六七八九十一二三", "第1行 钻孔名称：最多12个字符"},
        {Dlg::kName, "一二三四五六七八九十一二", ""},
        {Dlg::kRodLength, "1.5m", "第1行 钻杆长度(m)：只能含数字、小数点、负号和空格"},
        {Dlg::kY0, "-2 ", ""},
        {Dlg::kD0, "7x", "第1行 D0：只能含数字、小数点、负号和空格，保存时只取开头的数字"},
    };
    for (const auto& c : cases) {
        Type(1, c.column, c.text);
        EXPECT_EQ(dialog.statusText(), c.status) << c.text;
        EXPECT_EQ(dialog.cellMarked(1, c.column), *c.status != 0) << c.text;
        Type(1, c.column, c.column == Dlg::kName ? "B" : "0");
        EXPECT_EQ(dialog.statusText(), "");
        EXPECT_FALSE(dialog.cellMarked(1, c.column));
    }
    Type(1, Dlg::kName, "A");
    EXPECT_TRUE(dialog.cellMarked(0, Dlg::kName)) << "both names of a pair are marked";

    // The editor of the name column takes 12 UTF-16 units; a keystroke is checked at once.
    dialog.show();
    const auto openEditor = [this](int column) {
        const QModelIndex cell = dialog.grid().model()->index(0, column);
        dialog.grid().setCurrentIndex(cell);
        dialog.grid().edit(cell);
        return qobject_cast<QLineEdit*>(dialog.grid().indexWidget(cell));
    };
    QLineEdit* editor = openEditor(Dlg::kRodLength);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "x");
    EXPECT_TRUE(dialog.statusText().startsWith("第0行 钻杆长度(m)")) << dialog.statusText().toStdString();
    dialog.grid().CommitOpenEditor();
    editor = openEditor(Dlg::kName);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), kMaxHoleNameUnits);
    dialog.grid().CommitOpenEditor();
}

TEST_F(EditorFixture, LongNameFromAFile_RefusedAtSave) {
    store.m_holeParams = {Params(u"North-Panel-001")};
    dialog.Setup();
    EXPECT_TRUE(dialog.cellMarked(0, Dlg::kName));
    RecordedMessages messages({MessageAnswer::Yes});
    dialog.setResult(QDialog::Rejected);
    dialog.SaveAndClose();
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[1].text, "钻孔名称不能超过12个字符");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(store.m_holeParams[0].name, u"North-Panel-001");
}

TEST_F(EditorFixture, ClosingWithUnsavedEdits_AsksFirst) {
    store.m_holeParams = {Params(u"A")};
    const auto before = store.m_holeParams;
    const struct {
        MessageAnswer answer;
        int result;    // -1: stays open
        bool written;  // the store holds the edit
    } cases[] = {
        {MessageAnswer::Cancel, -1, false},
        {MessageAnswer::No, QDialog::Rejected, false},
        {MessageAnswer::Yes, QDialog::Accepted, true},
    };
    for (const auto& c : cases) {
        store.m_holeParams = before;
        dialog.Setup();
        dialog.show();
        Type(0, Dlg::kName, "Z");
        RecordedMessages messages({c.answer});
        dialog.reject();
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, "数据已更改，是否保存？");
        EXPECT_EQ(dialog.isVisible(), c.result == -1);
        if (c.result != -1) {
            EXPECT_EQ(dialog.result(), c.result);
        }
        EXPECT_EQ(store.m_holeParams[0].name, c.written ? u"Z" : u"A");
        dialog.hide();
    }
    // Opened and closed without an edit: no question (the declination fill is no edit).
    dialog.Setup();
    RecordedMessages messages;
    dialog.reject();
    EXPECT_TRUE(messages.messages().empty());
}
