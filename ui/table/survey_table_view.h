#pragma once
// The main window's table of the survey: hole records when there are holes,
// otherwise the downloaded probe records, otherwise the synchronizer records.

#include <QTableView>

#include <vector>

#include "ui/table/survey_table_model.h"

class SurveyDocument;

class CTiltoraView : public QTableView {
    Q_OBJECT

public:
    explicit CTiltoraView(SurveyDocument& document, QWidget* parent = nullptr);

    SurveyTableModel& model() { return model_; }
    bool showAll() const { return model_.showAll(); }
    void setShowAll(bool showAll) { model_.setShowAll(showAll); }

    // Row operations of the instrument conversations; appends keep the last row in sight.
    // Clearing the rows starts a new survey: its undo steps go with the old one.
    void ClearRows();
    void AppendProbeRow(std::size_t index);
    void AppendSyncRow(std::size_t index);
    void FillHoleRows();
    // Rows for every probe (or synchronizer) record of the store, in one reset.
    void FillRecordRows(bool probe);

    // Redraws from the store: holes, else probe records, else synchronizer records;
    // with none of them the rows stay as they are.
    void OnUpdate();

    // The hole of the current row, or -1 when it shows no hole record.
    int currentHole() const;

    // Gives the depth of the row's record back to the depth pass (an undoable step).
    void ClearHandDepth(int row);

    // The specified widths, widened in proportion so the columns fill `available`
    // pixels; never narrower than specified.
    static std::vector<int> FittedColumnWidths(int available);

signals:
    // The current row moved to another record (hole -1: none).
    void currentRecordChanged(int hole, int record);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ScrollToBottomSoon();
    void FitColumns(int available);

    SurveyDocument& document_;
    SurveyTableModel model_;
    bool scrollPending_ = false;
};
