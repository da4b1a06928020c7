#include "ui/table/survey_table_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>

#include "ui/common/document.h"

CTiltoraView::CTiltoraView(SurveyDocument& document, QWidget* parent)
    : QTableView(parent), document_(document), model_(document.store()) {
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
    for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) setColumnWidth(c, SurveyTableModel::ColumnWidth(c));

    connect(&document_, &SurveyDocument::updated, this, &CTiltoraView::OnUpdate);
    connect(&model_, &SurveyTableModel::recordsEdited, this, [this] { document_.setModified(true); });
    ScrollToBottomSoon();
}

void CTiltoraView::AppendProbeRow(std::size_t index) {
    model_.AppendProbeRow(index);
    ScrollToBottomSoon();
}

void CTiltoraView::AppendSyncRow(std::size_t index) {
    model_.AppendSyncRow(index);
    ScrollToBottomSoon();
}

void CTiltoraView::FillHoleRows() {
    model_.FillHoleRows();
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
void CTiltoraView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (const char* text : {"剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V"})
        menu.addAction(text)->setEnabled(false);
    menu.exec(event->globalPos());
}
