#include "ui/table/hole_results_panel.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/station_columns.h"
#include "core/trajectory.h"
#include "io/excel_export.h"
#include "ui/common/document.h"
#include "ui/common/quality_text.h"
#include "ui/table/survey_table_model.h"

namespace {

using sondara::kComputedQuantities;
using sondara::StationQuantity;

// The columns after "序号" (the station's row counter, as the workbook counts it): the
// workbook's 孔深, 真方位角, 倾角, then what the trajectory computation gave.
std::vector<StationQuantity> PanelQuantities() {
    std::vector<StationQuantity> quantities = {StationQuantity::Depth, StationQuantity::TrueAzimuth,
                                               StationQuantity::Inclination};
    quantities.insert(quantities.end(), std::begin(kComputedQuantities), std::end(kComputedQuantities));
    return quantities;
}

const std::vector<StationQuantity> kQuantities = PanelQuantities();
const int kColumnCount = 1 + int(kQuantities.size());

// A pale amber: seen at a glance, with every digit still readable.
QColor FlaggedStationColour() { return QColor(255, 236, 179); }
constexpr int kDepthColumn = 1;

}  // namespace

HoleResultsModel::HoleResultsModel(const SurveyDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {}

void HoleResultsModel::ShowHole(int hole) {
    beginResetModel();
    const auto& holes = document_.store().m_holes;
    hole_ = hole >= 0 && std::size_t(hole) < holes.size() ? hole : -1;
    stations_.clear();
    findings_.clear();
    if (hole_ >= 0) {
        const auto& records = holes[std::size_t(hole_)].records;
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i].flag & sondara::kStation) stations_.push_back(int(i));
    }
    findings_.assign(stations_.size(), QString());
    endResetModel();
}

void HoleResultsModel::MarkStations(const std::vector<std::pair<int, QString>>& findings) {
    findings_.assign(stations_.size(), QString());
    for (const auto& [record, text] : findings) {
        if (const int row = RowOfRecord(record); row >= 0) findings_[std::size_t(row)] = text;
    }
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

QString HoleResultsModel::RowFinding(int row) const {
    return row >= 0 && std::size_t(row) < findings_.size() ? findings_[std::size_t(row)] : QString();
}

int HoleResultsModel::RowOfRecord(int record) const {
    const auto it = std::lower_bound(stations_.begin(), stations_.end(), record);
    return it != stations_.end() && *it == record ? int(it - stations_.begin()) : -1;
}

int HoleResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(stations_.size()); }
int HoleResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString HoleResultsModel::CellText(int row, int column) const {
    if (column == 0) return QString::number(row);
    const sondara::HoleSurvey& h = document_.store().m_holes[std::size_t(hole_)];
    const sondara::ProbeRecord& r = h.records[std::size_t(stations_[std::size_t(row)])];
    return QString::fromStdString(sondara::StationText(kQuantities[std::size_t(column - 1)], r, h.gi));
}

QVariant HoleResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
    switch (role) {
        case Qt::DisplayRole:
            return CellText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            // A flagged station stands out; it stays in the results, only marked.
            if (RowFinding(index.row()).isEmpty()) return {};
            return QBrush(FlaggedStationColour());
        case Qt::ToolTipRole:
            return RowFinding(index.row()).isEmpty() ? QVariant() : QVariant(RowFinding(index.row()));
        case Qt::ForegroundRole: {
            if (index.column() != kDepthColumn) return {};
            const auto& h = document_.store().m_holes[std::size_t(hole_)];
            const auto& r = h.records[std::size_t(stations_[std::size_t(index.row())])];
            if (!(r.flag & sondara::kHandDepth)) return {};
            return QBrush(SurveyTableModel::HandDepthColour());
        }
        default:
            return {};
    }
}

QVariant HoleResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
    if (section == 0) return "序号";
    return QString::fromUtf8(sondara::ColumnOf(kQuantities[std::size_t(section - 1)]).title);
}

QString HoleResultsModel::TabSeparatedText() const {
    QStringList lines;
    QStringList cells;
    for (int c = 0; c < kColumnCount; ++c) cells << headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    lines << cells.join('\t');
    for (int row = 0; row < rowCount(); ++row) {
        cells.clear();
        for (int c = 0; c < kColumnCount; ++c) cells << CellText(row, c);
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

HoleResultsPanel::HoleResultsPanel(SurveyDocument& document, QWidget* parent)
    : QWidget(parent), document_(document), model_(document) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* top = new QHBoxLayout;
    params_ = new QLabel(this);
    params_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* copy = new QPushButton("复制", this);
    copy->setToolTip("以制表符分隔的文本复制本孔成果，可粘贴到表格软件");
    top->addWidget(params_, 1);
    top->addWidget(copy);
    layout->addLayout(top);
    refusal_ = new QLabel(this);
    refusal_->setStyleSheet("color: rgb(170, 0, 0);");
    refusal_->hide();
    layout->addWidget(refusal_);
    findings_ = new QLabel(this);
    findings_->setStyleSheet("color: rgb(140, 80, 0);");
    findings_->setWordWrap(true);
    findings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    findings_->hide();
    layout->addWidget(findings_);
    table_ = new QTableView(this);
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(table_, 1);

    auto* copyKey = new QAction(this);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copyKey);
    connect(copyKey, &QAction::triggered, this, &HoleResultsPanel::CopyToClipboard);
    connect(copy, &QPushButton::clicked, this, &HoleResultsPanel::CopyToClipboard);
    connect(&document_, &SurveyDocument::updated, this, &HoleResultsPanel::Refresh);
    connect(&document_, &SurveyDocument::recordChanged, this, &HoleResultsPanel::Refresh);
    Refresh();
}

QString HoleResultsPanel::paramsText() const { return params_->text(); }
QString HoleResultsPanel::refusalText() const { return refusal_->isHidden() ? QString() : refusal_->text(); }
QString HoleResultsPanel::findingsText() const { return findings_->isHidden() ? QString() : findings_->text(); }

void HoleResultsPanel::ShowQuality(const sondara::QualityReport& report, const sondara::QualityOptions& options) {
    quality_ = report;
    qualityOptions_ = options;
    ShowHoleFindings();
}

void HoleResultsPanel::ShowHoleFindings() {
    const auto& holes = document_.store().m_holes;
    const int hole = model_.hole();
    std::vector<std::pair<int, QString>> marks;
    QStringList lines;
    // The report belongs to the survey it was made on; a hole it no longer fits (other
    // records since) shows nothing until the checks run again.
    const auto it = std::find_if(quality_.holes.begin(), quality_.holes.end(),
                                 [hole](const sondara::HoleQuality& h) { return h.hole == hole; });
    if (hole >= 0 && std::size_t(hole) < holes.size() && it != quality_.holes.end()) {
        const auto& records = holes[std::size_t(hole)].records;
        bool fits = true;
        for (const sondara::StationQuality& s : it->stations) fits = fits && std::size_t(s.record) < records.size();
        if (fits) {
            for (const sondara::StationQuality& s : it->stations) {
                if (s.flags)
                    marks.emplace_back(s.record, QString::fromStdString(sondara::StationFindingText(
                                                     document_.store(), *it, s, qualityOptions_)));
            }
            for (const std::string& line :
                 sondara::HoleFindingLines(quality_, document_.store(), qualityOptions_, hole))
                lines << QString::fromStdString(line);
        }
    }
    model_.MarkStations(marks);
    findings_->setText(lines.join('\n'));
    findings_->setVisible(!lines.isEmpty());
}

void HoleResultsPanel::ShowRecord(int hole, int record) {
    if (hole < 0) return;
    if (hole != model_.hole()) ShowHole(hole);
    const int row = model_.RowOfRecord(record);
    if (row >= 0) table_->selectRow(row);
}

void HoleResultsPanel::Refresh() {
    const auto& holes = document_.store().m_holes;
    const int hole = model_.hole() >= 0 && std::size_t(model_.hole()) < holes.size() ? model_.hole() : 0;
    const int scroll = table_->verticalScrollBar()->value();
    const int selected = table_->currentIndex().row();
    const bool sameHole = hole == model_.hole();
    ShowHole(holes.empty() ? -1 : hole);
    if (sameHole && selected >= 0 && selected < model_.rowCount()) table_->selectRow(selected);
    table_->verticalScrollBar()->setValue(scroll);
}

void HoleResultsPanel::ShowHole(int hole) {
    model_.ShowHole(hole);
    if (model_.hole() < 0) {
        params_->clear();
        refusal_->hide();
        findings_->hide();
        return;
    }
    const sondara::HoleSurvey& h = document_.store().m_holes[std::size_t(model_.hole())];
    QStringList parts{QString("孔号 %1").arg(model_.hole())};
    const auto& titles = sondara::ParamsColumnTitles();
    const auto texts = sondara::ParamsRowTexts(h);
    for (std::size_t i = 0; i < titles.size() && i < texts.size(); ++i)
        parts << QString::fromStdString(titles[i]) + "：" + QString::fromStdString(texts[i]);
    params_->setText(parts.join("    "));
    std::string why = h.error;
    if (why.empty() && h.name.empty()) why = sondara::kNoHoleParams;
    refusal_->setText(QString::fromStdString(why));
    refusal_->setVisible(!why.empty());
    ShowHoleFindings();
}

void HoleResultsPanel::CopyToClipboard() { QApplication::clipboard()->setText(model_.TabSeparatedText()); }
