#include "ui/table/survey_table_model.h"

#include <QBrush>
#include <QColor>
#include <optional>

#include "core/ole_time.h"
#include "core/station_columns.h"
#include "core/survey_pipeline.h"
#include "ui/common/document.h"
#include "ui/common/messages.h"
#include "ui/common/number_text.h"
#include "ui/table/record_change_command.h"

using sondara::ProbeRecord;
using sondara::StationQuantity;

namespace {

constexpr int kWidths[SurveyTableModel::kColumnCount] = {25, 50, 60, 50, 70, 70, 75, 75, 75, 50, 50, 200, 100, 50};

// The station quantity a value column shows: columns 3 (孔深) to 11 (时间).
std::optional<StationQuantity> QuantityOf(int column) {
    switch (column) {
        case SurveyTableModel::kDepthColumn:
            return StationQuantity::Depth;
        case SurveyTableModel::kAziColumn:
            return StationQuantity::MagneticAzimuth;
        case SurveyTableModel::kIncColumn:
            return StationQuantity::Inclination;
        case SurveyTableModel::kDipColumn:
            return StationQuantity::MagneticDip;
        case SurveyTableModel::kGtColumn:
            return StationQuantity::TotalGravity;
        case SurveyTableModel::kMtColumn:
            return StationQuantity::TotalField;
        case SurveyTableModel::kTmpColumn:
            return StationQuantity::Temperature;
        case SurveyTableModel::kVoltColumn:
            return StationQuantity::Voltage;
        case SurveyTableModel::kTimeColumn:
            return StationQuantity::Time;
        default:
            return std::nullopt;
    }
}

QString HeaderText(int column) {
    switch (column) {
        case SurveyTableModel::kCheckColumn:
            return {};
        case SurveyTableModel::kHoleColumn:
            return "孔号";
        case SurveyTableModel::kRowColumn:
            return "序号";
        case SurveyTableModel::kRemarkColumn:
            return "备注";
        case SurveyTableModel::kMarkColumn:
            return "地层";
        default:
            return QString::fromUtf8(sondara::ColumnOf(*QuantityOf(column)).title);
    }
}

std::uint64_t CellKey(int row, int column) { return (std::uint64_t(unsigned(row)) << 8) | unsigned(column); }

QString MarkText(std::int32_t mark) {
    if (mark == sondara::kMarkCoal) return "遇煤";
    if (mark == sondara::kMarkRock) return "遇岩";
    return "--";
}

// Columns 3 to 13 of a probe record, as every row kind that shows them formats them.
// The table shows only what the probe measured, none of which depends on the
// declination.
QString ValueText(const ProbeRecord& r, int column) {
    if (const std::optional<StationQuantity> q = QuantityOf(column))
        return QString::fromStdString(sondara::StationText(*q, r, 0.0f));
    if (column == SurveyTableModel::kRemarkColumn) return (r.flag & sondara::kSampled) ? "采样数据" : "--";
    if (column == SurveyTableModel::kMarkColumn) return MarkText(r.mark);
    return {};
}

}  // namespace

int SurveyTableModel::ColumnWidth(int column) { return kWidths[column]; }

QColor SurveyTableModel::HandDepthColour() { return QColor(170, 40, 0); }

SurveyTableModel::SurveyTableModel(SurveyDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document), store_(document.store()) {
    connect(&document_, &SurveyDocument::recordChanged, this, &SurveyTableModel::OnRecordChanged);
}

void SurveyTableModel::ClearRows() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    typedTexts_.clear();
    endResetModel();
}

void SurveyTableModel::AppendRow(RowRef ref) {
    const int row = int(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back(ref);
    endInsertRows();
}

void SurveyTableModel::AppendProbeRow(std::size_t index) { AppendRow({kProbeRow, std::int32_t(index)}); }
void SurveyTableModel::AppendSyncRow(std::size_t index) { AppendRow({kSyncRow, std::int32_t(index)}); }

void SurveyTableModel::FillHoleRows() {
    beginResetModel();
    rows_.clear();
    typedTexts_.clear();
    std::size_t total = 0;
    for (const auto& hole : store_.m_holes) total += hole.records.size();
    rows_.reserve(total);
    for (std::size_t h = 0; h < store_.m_holes.size(); ++h) {
        const auto& records = store_.m_holes[h].records;
        for (std::size_t k = 0; k < records.size(); ++k) {
            if (showAll_ || (records[k].flag & (sondara::kSampled | sondara::kStation)))
                rows_.push_back({std::int32_t(h), std::int32_t(k)});
        }
    }
    endResetModel();
}

void SurveyTableModel::FillRawRows(std::int32_t kind, std::size_t count) {
    beginResetModel();
    rows_.clear();
    typedTexts_.clear();
    rows_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) rows_.push_back({kind, std::int32_t(i)});
    endResetModel();
}

void SurveyTableModel::FillProbeRows() { FillRawRows(kProbeRow, store_.m_probeRecords.size()); }
void SurveyTableModel::FillSyncRows() { FillRawRows(kSyncRow, store_.m_syncRecords.size()); }

SurveyTableModel::HoleRecordRef SurveyTableModel::HoleRecordOfRow(int row) const {
    if (row < 0 || std::size_t(row) >= rows_.size()) return {};
    const RowRef ref = rows_[row];
    if (ref.hole < 0 || std::size_t(ref.hole) >= store_.m_holes.size()) return {};
    if (std::size_t(ref.index) >= store_.m_holes[ref.hole].records.size()) return {};
    return {ref.hole, ref.index};
}

int SurveyTableModel::RowOfRecord(int hole, int record) const {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].hole == hole && rows_[row].index == record) return int(row);
    return -1;
}

int SurveyTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }
int SurveyTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString SurveyTableModel::HoleRowText(const RowRef& ref, int row, int column) const {
    const auto& holes = store_.m_holes;
    if (std::size_t(ref.hole) >= holes.size() || std::size_t(ref.index) >= holes[ref.hole].records.size()) return {};
    if (column == kHoleColumn) return QString::number(ref.hole);
    if (column == kRowColumn) return QString::number(row);
    return ValueText(holes[ref.hole].records[ref.index], column);
}

QString SurveyTableModel::ProbeRowText(const RowRef& ref, int row, int column) const {
    if (std::size_t(ref.index) >= store_.m_probeRecords.size()) return {};
    if (column == kRowColumn) return QString::number(row);
    if (column >= kAziColumn && column <= kTimeColumn) return ValueText(store_.m_probeRecords[ref.index], column);
    return {};
}

QString SurveyTableModel::SyncRowText(const RowRef& ref, int row, int column) const {
    if (std::size_t(ref.index) >= store_.m_syncRecords.size()) return {};
    const sondara::SyncRecord& r = store_.m_syncRecords[ref.index];
    if (column == kHoleColumn) return QString::number(r.hole);
    if (column == kRowColumn) return QString::number(row);
    if (column == kTimeColumn) return QString::fromStdString(sondara::FormatOleTime(r.time));
    return {};
}

QVariant SurveyTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= rows_.size()) return {};
    const int row = index.row();
    const int column = index.column();
    const RowRef ref = rows_[row];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            if (column == kCheckColumn) return {};
            if (auto typed = typedTexts_.find(CellKey(row, column)); typed != typedTexts_.end()) return *typed;
            if (ref.hole >= 0) return HoleRowText(ref, row, column);
            return ref.hole == kProbeRow ? ProbeRowText(ref, row, column) : SyncRowText(ref, row, column);
        }
        case Qt::CheckStateRole: {
            if (column != kCheckColumn) return {};
            std::int32_t flag = 0;
            if (ref.hole >= 0) {
                if (const HoleRecordRef r = HoleRecordOfRow(row); r.hole >= 0)
                    flag = store_.m_holes[r.hole].records[r.record].flag;
            } else if (ref.hole == kSyncRow && std::size_t(ref.index) < store_.m_syncRecords.size()) {
                flag = store_.m_syncRecords[ref.index].flag;
            }
            return (flag & sondara::kStation) ? Qt::Checked : Qt::Unchecked;
        }
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ForegroundRole: {
            if (column != kDepthColumn) return {};
            const HoleRecordRef r = HoleRecordOfRow(row);
            if (r.hole < 0 || !(store_.m_holes[r.hole].records[r.record].flag & sondara::kHandDepth)) return {};
            return QBrush(HandDepthColour());
        }
        default:
            return {};
    }
}

QVariant SurveyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return HeaderText(section);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

bool SurveyTableModel::NearEndOfHole(int row) const {
    // Near the end when the next row or the one after it belongs to another hole
    // (a missing row counts as another hole).
    const auto holeOf = [this](int r) { return std::size_t(r) < rows_.size() ? rows_[r].hole : kProbeRow; };
    const std::int32_t hole = rows_[row].hole;
    return holeOf(row + 1) != hole || holeOf(row + 2) != hole;
}

bool SurveyTableModel::MayEdit(int row, int column) const {
    if (showAll_ || HoleRecordOfRow(row).hole < 0) return false;
    if (column == kDepthColumn) return true;
    return column > kDepthColumn && column <= kTmpColumn && NearEndOfHole(row);
}

Qt::ItemFlags SurveyTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool holeRow = HoleRecordOfRow(index.row()).hole >= 0;
    if (index.column() == kCheckColumn && holeRow) f |= Qt::ItemIsUserCheckable;
    if (MayEdit(index.row(), index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool SurveyTableModel::CommitEdit(int row, int column, const QString& text) {
    if (!ui_text::OnlyNumberCharacters(text, false)) {
        sondara::ShowMessage("输入数据不合法", "错误", sondara::MessageIcon::Error);
        return false;
    }
    const HoleRecordRef ref = HoleRecordOfRow(row);
    if (ref.hole < 0 || !RecordChangeCommand::Field(store_.m_holes[ref.hole].records[ref.record], column)) return false;
    document_.undoStack().push(
        RecordChangeCommand::Correct(document_, ref.hole, ref.record, column, ui_text::LeadingFloat(text), text));
    return true;
}

// Every row that shows the record repaints; a recompute may have moved other depths
// too, so the whole table is asked to repaint (only the rows in sight are drawn).
void SurveyTableModel::OnRecordChanged(int hole, int record, int column, bool typed, const QString& typedText) {
    if (column >= 0) {
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            if (rows_[row].hole != hole || rows_[row].index != record) continue;
            const std::uint64_t key = CellKey(int(row), column);
            if (typed)
                typedTexts_.insert(key, typedText);
            else
                typedTexts_.remove(key);
        }
    }
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, kColumnCount - 1));
}

bool SurveyTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid()) return false;
    if (role == Qt::CheckStateRole && index.column() == kCheckColumn) {
        const HoleRecordRef ref = HoleRecordOfRow(index.row());
        if (ref.hole < 0) return false;  // raw probe and synchronizer rows stand for no hole record
        const bool checked = value.toInt() == Qt::Checked;
        const bool wasChecked = store_.m_holes[ref.hole].records[ref.record].flag & sondara::kStation;
        if (checked != wasChecked)
            document_.undoStack().push(RecordChangeCommand::Check(document_, ref.hole, ref.record, checked));
        return true;
    }
    if (role == Qt::EditRole && MayEdit(index.row(), index.column()))
        return CommitEdit(index.row(), index.column(), value.toString());
    return false;
}
