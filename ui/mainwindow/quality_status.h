#pragma once
// The quality checks in the main window's status bar: one line saying how many
// findings the survey has (the findings themselves in its tool tip, never a box each),
// one offer at a time for what can be corrected (the clock offset first, then a missed
// or extra rod key), each an undoable edit, and a button that takes the last one back.

#include <QUndoCommand>
#include <QWidget>
#include <functional>

#include "core/quality/survey_quality.h"

class QLabel;
class QToolButton;
class SurveyDocument;

// An edit of the synchronizer records followed by the rebuild of the holes; undone by
// putting back the records as they were, as long as nothing else has changed them since.
class SyncCorrectionCommand : public QUndoCommand {
public:
    using Edit = std::function<bool(sondara::SurveyStore&)>;
    SyncCorrectionCommand(SurveyDocument& document, const QString& text, Edit edit);
    void redo() override;
    void undo() override;

private:
    SurveyDocument& document_;
    Edit edit_;
    std::vector<sondara::SyncRecord> syncBefore_, syncAfter_;
    std::vector<sondara::HoleSurvey> holesBefore_;
    std::vector<sondara::HoleParams> paramsBefore_;
    bool modifiedBefore_ = false;
};

class QualityStatus : public QWidget {
    Q_OBJECT

public:
    explicit QualityStatus(SurveyDocument& document, QWidget* parent = nullptr);

    // Runs the checks on the survey as it is now and shows the outcome.
    void Refresh();
    // The same once control returns to the event loop: after a load the table's first
    // screen comes first (the checks of a million records take a good part of a second),
    // and several changes in a row are checked once.
    void RefreshSoon();

    const sondara::QualityReport& report() const { return report_; }
    const sondara::QualityOptions& options() const { return options_; }
    QString summary() const;
    QToolButton& offerButton() { return *offer_; }
    QToolButton& undoButton() { return *undo_; }

    // Applies what the offer button names: the clock offset, or the first rod key finding.
    void OnOffer();

signals:
    // The checks ran (or found no holes to judge): report() is new.
    void checked();

private:
    bool LastStepIsOurs() const;

    SurveyDocument& document_;
    sondara::QualityOptions options_;
    sondara::QualityReport report_;
    QLabel* label_;
    QToolButton* offer_;
    QToolButton* undo_;
    bool refreshPending_ = false;
};
