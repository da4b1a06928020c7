#pragma once
// One hand change of a hole record as an undoable step: a check box, a corrected
// value, or a hand-set depth given back to the depth pass. Each direction restores
// the record's flag and value and then runs the recompute that kind of change calls
// for, so the survey after an undo is the survey before the change.

#include <QString>
#include <QUndoCommand>

#include <cstdint>
#include <optional>

#include "core/records.h"
#include "core/survey_pipeline.h"

class SurveyDocument;

class RecordChangeCommand : public QUndoCommand {
public:
    // What the record holds on one side of the change. `value` is the field of the
    // table column; none leaves the field as the recompute makes it.
    struct State {
        std::int32_t flag = 0;
        std::optional<float> value;
        std::optional<sondara::SurveyChange> recompute;
        std::optional<QString> typedText;  // what the cell shows instead of the value
    };

    // The check box of record `record` of hole `hole` set or cleared.
    static RecordChangeCommand* Check(SurveyDocument& document, int hole, int record, bool checked);
    // A value typed into table column `column`; a depth becomes a hand-set depth.
    static RecordChangeCommand* Correct(SurveyDocument& document, int hole, int record, int column, float value,
                                        const QString& typed);
    // The hand-set depth given back to the depth pass.
    static RecordChangeCommand* ClearHandDepth(SurveyDocument& document, int hole, int record);

    void undo() override { Apply(before_); }
    void redo() override { Apply(after_); }

    // The record field a table column edits, or null.
    static float* Field(sondara::ProbeRecord& record, int column);

private:
    RecordChangeCommand(SurveyDocument& document, int hole, int record, int column, State before, State after,
                        const QString& text);
    sondara::ProbeRecord* Target();
    void Apply(const State& state);

    SurveyDocument& document_;
    int hole_, record_, column_;
    // The sample the step was made on: a step whose place now holds another record
    // (the survey was replaced) does nothing.
    std::int32_t idx_;
    double time_;
    State before_, after_;
};
