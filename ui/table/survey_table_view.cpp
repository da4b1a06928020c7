#include "ui/table/survey_table_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>
#include <QUndoStack>

#include "ui/common/document.h"
#include "ui/table/record_change_command.h"

CTiltoraView::CTiltoraView(SurveyDocument& document, QWidget* parent)
    : QTableView(parent), document_(document), model_(document) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    QFont font("Tahoma");
    font.setWeight(QFont::Medium);
    setFont(font);
    QPalette colours = palette();
    for (auto role : {QPalette::Base, QPalette::AlternateBase, QPalette::Window})
        colours.setColor(role, QColor(200, 200, 200));
    colours.setColor(QPalette::Text, QColor(10, 10, 80));
    setPalette(colours);

    // Fixed row heights keep a table of a million rows as quick as a short one.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    // The style's minimum would widen the 25-pixel check-box column.
    horizontalHeader()->setMinimumSectionSize(10);
    FitColumns(0);

    connect(&document_, &SurveyDocument::updated, this, &CTiltoraView::OnUpdate);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        const auto ref = model_.HoleRecordOfRow(current.row());
        emit currentRecordChanged(ref.hole, ref.record);
    });
    ScrollToBottomSoon();
}

void CTiltoraView::ClearRows() {
    model_.ClearRows();
    document_.undoStack().clear();
}

int CTiltoraView::currentHole() const { return model_.HoleRecordOfRow(currentIndex().row()).hole; }

void CTiltoraView::ClearHandDepth(int row) {
    const auto ref = model_.HoleRecordOfRow(row);
    if (ref.hole < 0) return;
    if (!(document_.store().m_holes[ref.hole].records[ref.record].flag & sondara::kHandDepth)) return;
    document_.undoStack().push(RecordChangeCommand::ClearHandDepth(document_, ref.hole, ref.record));
}

std::vector<int> CTiltoraView::FittedColumnWidths(int available) {
    std::vector<int> widths(SurveyTableModel::kColumnCount);
    int specified = 0;
    for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) specified += widths[c] = SurveyTableModel::ColumnWidth(c);
    if (available <= specified) return widths;
    // The check-box column keeps its width; the others share what is left over,
    // the last one taking the pixels rounding leaves.
    const int extra = available - specified;
    const int shared = specified - widths[0];
    int given = 0;
    for (int c = 1; c < SurveyTableModel::kColumnCount; ++c) {
        const int more = c == SurveyTableModel::kColumnCount - 1 ? extra - given : extra * widths[c] / shared;
        widths[c] += more;
        given += more;
    }
    return widths;
}

void CTiltoraView::FitColumns(int available) {
    const std::vector<int> widths = FittedColumnWidths(available);
    for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) setColumnWidth(c, widths[c]);
}

void CTiltoraView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns(event->size().width());  // the viewport new size
}

void CTiltoraView::AppendProbeRow(std::size_t index) {
    model_.AppendProbeRow(index);
    ScrollToBottomSoon();
}

void CTiltoraView::AppendSyncRow(std::size_t index) {
    model_.AppendSyncRow(index);
    ScrollToBottomSoon();
}

// The current record stays current across a refill (the results panel follows it;
// without this the view's focus would make the first row current).
void CTiltoraView::FillHoleRows() {
    const auto current = model_.HoleRecordOfRow(currentIndex().row());
    const int column = std::max(currentIndex().column(), 0);
    model_.FillHoleRows();
    if (current.hole >= 0) {
        const int row = model_.RowOfRecord(current.hole, current.record);
        if (row >= 0)
            selectionModel()->setCurrentIndex(model_.index(row, column),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    ScrollToBottomSoon();
}

void CTiltoraView::FillRecordRows(bool probe) {
    document_.undoStack().clear();  // the rows the edits named are gone, as with ClearRows
    if (probe)
        model_.FillProbeRows();
    else
        model_.FillSyncRows();
    ScrollToBottomSoon();
}

void CTiltoraView::OnUpdate() {
    const auto& store = document_.store();
    if (!store.m_holes.empty()) {
        FillHoleRows();
    } else if (!store.m_probeRecords.empty()) {
        model_.FillProbeRows();
        ScrollToBottomSoon();
    } else if (!store.m_syncRecords.empty()) {
        model_.FillSyncRows();
        ScrollToBottomSoon();
    }
}

// Like a posted scroll request: a burst of appended rows scrolls once.
void CTiltoraView::ScrollToBottomSoon() {
    if (scrollPending_) return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        scrollToBottom();
    });
}

// Cut, copy and paste have no handler anywhere, so the edit menu shows them disabled.
// Below them: undo and redo of the hand changes, and the way back from a hand-set depth.
void CTiltoraView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (const char* text : {"剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V"})
        menu.addAction(text)->setEnabled(false);
    menu.addSeparator();
    QUndoStack& undo = document_.undoStack();
    menu.addAction("撤销(&U)\tCtrl+Z", &undo, &QUndoStack::undo)->setEnabled(undo.canUndo());
    menu.addAction("重做(&R)\tCtrl+Y", &undo, &QUndoStack::redo)->setEnabled(undo.canRedo());
    const int row = rowAt(viewport()->mapFromGlobal(event->globalPos()).y());
    const auto ref = model_.HoleRecordOfRow(row);
    const bool handSet =
        ref.hole >= 0 && (document_.store().m_holes[ref.hole].records[ref.record].flag & sondara::kHandDepth);
    menu.addAction("恢复计算孔深", this, [this, row] { ClearHandDepth(row); })->setEnabled(handSet);
    menu.exec(event->globalPos());
}
