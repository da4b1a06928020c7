#pragma once
// The main window's table of the survey: hole records when there are holes,
// otherwise the downloaded probe records, otherwise the synchronizer records.

#include <QTableView>

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
    void ClearRows() { model_.ClearRows(); }
    void AppendProbeRow(std::size_t index);
    void AppendSyncRow(std::size_t index);
    void FillHoleRows();

    // Redraws from the store: holes, else probe records, else synchronizer records;
    // with none of them the rows stay as they are.
    void OnUpdate();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ScrollToBottomSoon();

    SurveyDocument& document_;
    SurveyTableModel model_;
    bool scrollPending_ = false;
};
