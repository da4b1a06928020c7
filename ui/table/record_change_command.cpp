#include "ui/table/record_change_command.h"

#include <cstring>

#include "ui/common/document.h"
#include "ui/table/survey_table_model.h"

using sondara::ProbeRecord;
using sondara::SurveyChange;

float* RecordChangeCommand::Field(ProbeRecord& r, int column) {
    switch (column) {
        case SurveyTableModel::kDepthColumn:
            return &r.depth;
        case SurveyTableModel::kAziColumn:
            return &r.azi;
        case SurveyTableModel::kIncColumn:
            return &r.inc;
        case SurveyTableModel::kDipColumn:
            return &r.DIP;
        case SurveyTableModel::kGtColumn:
            return &r.GT;
        case SurveyTableModel::kMtColumn:
            return &r.MT;
        case SurveyTableModel::kTmpColumn:
            return &r.tmp;
        default:
            return nullptr;
    }
}

namespace {

ProbeRecord& RecordAt(SurveyDocument& document, int hole, int record) {
    return document.store().m_holes[std::size_t(hole)].records[std::size_t(record)];
}

}  // namespace

RecordChangeCommand::RecordChangeCommand(SurveyDocument& document, int hole, int record, int column, State before,
                                         State after, const QString& text)
    : QUndoCommand(text),
      document_(document),
      hole_(hole),
      record_(record),
      column_(column),
      idx_(RecordAt(document, hole, record).idx),
      time_(RecordAt(document, hole, record).time.dt),
      before_(std::move(before)),
      after_(std::move(after)) {}

RecordChangeCommand* RecordChangeCommand::Check(SurveyDocument& document, int hole, int record, bool checked) {
    const std::int32_t flag = RecordAt(document, hole, record).flag;
    const std::int32_t next = checked ? (flag | sondara::kStation) : (flag & ~sondara::kStation);
    // The bit takes effect at the next depth or trajectory pass, in both directions.
    return new RecordChangeCommand(document, hole, record, -1, {flag, {}, {}, {}}, {next, {}, {}, {}},
                                   checked ? "勾选测点" : "取消测点");
}

RecordChangeCommand* RecordChangeCommand::Correct(SurveyDocument& document, int hole, int record, int column,
                                                  float value, const QString& typed) {
    ProbeRecord& r = RecordAt(document, hole, record);
    const float* field = Field(r, column);
    const std::int32_t next = column == SurveyTableModel::kDepthColumn ? (r.flag | sondara::kHandDepth) : r.flag;
    return new RecordChangeCommand(document, hole, record, column, {r.flag, *field, SurveyChange::StationCorrected, {}},
                                   {next, value, SurveyChange::StationCorrected, typed}, "修改数据");
}

RecordChangeCommand* RecordChangeCommand::ClearHandDepth(SurveyDocument& document, int hole, int record) {
    const ProbeRecord& r = RecordAt(document, hole, record);
    return new RecordChangeCommand(
        document, hole, record, SurveyTableModel::kDepthColumn, {r.flag, r.depth, SurveyChange::StationCorrected, {}},
        {r.flag & ~sondara::kHandDepth, {}, SurveyChange::HandDepthCleared, {}}, "恢复计算孔深");
}

ProbeRecord* RecordChangeCommand::Target() {
    auto& holes = document_.store().m_holes;
    if (hole_ < 0 || std::size_t(hole_) >= holes.size()) return nullptr;
    auto& records = holes[std::size_t(hole_)].records;
    if (record_ < 0 || std::size_t(record_) >= records.size()) return nullptr;
    ProbeRecord& r = records[std::size_t(record_)];
    return r.idx == idx_ && std::memcmp(&r.time.dt, &time_, sizeof time_) == 0 ? &r : nullptr;
}

void RecordChangeCommand::Apply(const State& state) {
    ProbeRecord* r = Target();
    if (!r) return;
    r->flag = state.flag;
    if (float* field = Field(*r, column_); field && state.value) *field = *state.value;
    if (state.recompute) sondara::Recompute(document_.store(), *state.recompute);
    document_.setModified(true);
    document_.NotifyRecordChanged(hole_, record_, column_, state.typedText.has_value(),
                                  state.typedText.value_or(QString()));
}
