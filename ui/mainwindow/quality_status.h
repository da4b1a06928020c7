#pragma once
// The quality checks in the main window's status bar: one line saying how many
// findings the survey has (the findings themselves in its tool tip, never a box each),
// and, when the instruments' clocks were set apart, a button that applies the offset
// to the synchronizer times as an undoable edit.

#include <QUndoCommand>
#include <QWidget>

#include "core/quality/survey_quality.h"

class QLabel;
class QToolButton;
class SurveyDocument;

// Shifts the synchronizer times by whole seconds and rebuilds the holes; undone by
// putting back the records as they were, as long as nothing else has changed them since.
class ApplyClockOffsetCommand : public QUndoCommand {
public:
    ApplyClockOffsetCommand(SurveyDocument& document, double offsetSeconds);
    void redo() override;
    void undo() override;

private:
    SurveyDocument& document_;
    double offset_;
    std::vector<sondara::SyncRecord> syncBefore_, syncAfter_;
    std::vector<sondara::HoleSurvey> holesBefore_;
    bool modifiedBefore_ = false;
};

class QualityStatus : public QWidget {
    Q_OBJECT

public:
    explicit QualityStatus(SurveyDocument& document, QWidget* parent = nullptr);

    // Runs the checks on the survey as it is now and shows the outcome.
    void Refresh();

    const sondara::QualityReport& report() const { return report_; }
    QString summary() const;
    QToolButton& applyButton() { return *apply_; }

    // The offer's action: applies the clock offset, or takes the last application back.
    void OnApply();

private:
    SurveyDocument& document_;
    sondara::QualityOptions options_;
    sondara::QualityReport report_;
    QLabel* label_;
    QToolButton* apply_;
    const ApplyClockOffsetCommand* applied_ = nullptr;  // the last offset applied, while it is undoable
};
