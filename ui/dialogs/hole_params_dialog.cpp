#include "ui/dialogs/hole_params_dialog.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStyledItemDelegate>

#include <functional>

#include "core/derived.h"
#include "core/number_text.h"
#include "core/text.h"
#include "io/survey_file.h"
#include "ui/common/messages.h"
#include "ui/common/number_text.h"
#include "ui/dialogs/dialog_units.h"

using ui_text::LeadingFloat;

namespace {

const char* const kHeaders[CWellSetDlg::kColumnCount] = {
    "序号", "钻孔名称", "钻杆长度(m)", "设计倾角(°)", "设计真方位(°)", "X0", "Y0", "Z0", "E0", "N0", "D0"};
constexpr int kWidths[CWellSetDlg::kColumnCount] = {45, 75, 95, 90, 105, 70, 70, 70, 70, 70, 70};

QString OneDecimal(float value) { return QString::fromStdString(sondara::FixedText(value, 1)); }

QStringList RowTexts(const sondara::HoleParams& p) {
    return {QString::fromStdU16String(p.name),
            OneDecimal(p.pbLen),
            OneDecimal(p.dDip),
            OneDecimal(sondara::DesignTrueAzimuth(p)),
            OneDecimal(p.x0),
            OneDecimal(p.y0),
            OneDecimal(p.z0),
            OneDecimal(p.e0),
            OneDecimal(p.n0),
            OneDecimal(p.d0)};
}

void ParamsError(const char* text) { sondara::ShowMessage(text, "错误！", sondara::MessageIcon::Error); }

// Cells that break a rule the save enforces, and cells the save reads only in part.
const QColor kRefusedCell(255, 190, 190);
const QColor kDoubtfulCell(255, 235, 170);

// The grid's in-place editor: the name column takes no more units than the survey
// file keeps, and every keystroke is reported so the cell is checked as it is typed.
class CheckedCellDelegate : public QStyledItemDelegate {
public:
    using Typed = std::function<void(int row, int column, const QString& text)>;
    CheckedCellDelegate(Typed typed, QObject* parent) : QStyledItemDelegate(parent), typed_(std::move(typed)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            if (index.column() == CWellSetDlg::kName) line->setMaxLength(kMaxHoleNameUnits);
            const int row = index.row(), column = index.column();
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [this, row, column](const QString& text) { typed_(row, column, text); });
        }
        return editor;
    }

private:
    Typed typed_;
};

QString NumberRule(const char* header) { return QString("%1：只能含数字、小数点、负号和空格").arg(header); }

}  // namespace

void HoleParamsGrid::CommitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void HoleParamsGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    emit rowClicked(indexAt(event->position().toPoint()).row());
}

void HoleParamsGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert) return emit insertPressed();
    if (event->key() == Qt::Key_Delete) return emit deletePressed();
    QTableWidget::keyPressEvent(event);
}

CWellSetDlg::CWellSetDlg(sondara::SurveyStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle("矿孔参数设置");
    setFont(QFont("MS Shell Dlg", 10));
    // The specified layout with one line more under the buttons for the cell checks.
    setFixedSize(DialogUnitsRect(*this, 0, 0, 480, 255).size());

    const auto place = [this](QWidget* w, int x, int y, int width, int height) {
        w->setParent(this);
        w->setGeometry(DialogUnitsRect(*this, x, y, width, height));
    };
    auto* save = new QPushButton("保  存");
    save->setDefault(true);
    auto* up = new QPushButton("上移↑");
    auto* down = new QPushButton("下移↓");
    auto* remove = new QPushButton("删  除");
    auto* add = new QPushButton("添  加");
    place(save, 386, 218, 76, 16);
    place(up, 202, 218, 76, 16);
    place(down, 294, 218, 76, 16);
    place(remove, 110, 218, 76, 16);
    place(add, 18, 218, 76, 16);
    place(new QLabel("注：X0,Y0,Z0: 首个测点在钻孔坐标系中的坐标"), 29, 10, 172, 8);
    place(new QLabel("E0,N0,D0: 首个测点在地理坐标系中的坐标"), 45, 23, 156, 8);
    place(new QLabel("磁偏角"), 373, 11, 27, 8);
    declination_ = new QLineEdit;
    declination_->setToolTip("西磁偏角(°)：西偏为正，东偏为负；真方位 = 磁方位 − 磁偏角");
    place(declination_, 405, 9, 30, 12);
    status_ = new QLabel;
    place(status_, 18, 238, 444, 12);

    grid_ = new HoleParamsGrid(0, kColumnCount);
    place(grid_, 7, 37, 466, 174);
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked);
    for (int c = 0; c < kColumnCount; ++c) {
        grid_->setHorizontalHeaderItem(c, new QTableWidgetItem(kHeaders[c]));
        grid_->setColumnWidth(c, kWidths[c]);
    }
    grid_->setItemDelegate(new CheckedCellDelegate(
        [this](int row, int column, const QString& text) { ShowTypedProblem(row, column, text); }, grid_));

    connect(add, &QPushButton::clicked, this, &CWellSetDlg::AddRow);
    connect(remove, &QPushButton::clicked, this, &CWellSetDlg::DeleteRow);
    connect(up, &QPushButton::clicked, this, &CWellSetDlg::MoveUp);
    connect(down, &QPushButton::clicked, this, &CWellSetDlg::MoveDown);
    connect(save, &QPushButton::clicked, this, &CWellSetDlg::SaveAndClose);
    connect(grid_, &HoleParamsGrid::rowClicked, this, &CWellSetDlg::ClickRow);
    connect(grid_, &HoleParamsGrid::insertPressed, this, &CWellSetDlg::AddRow);
    connect(grid_, &HoleParamsGrid::deletePressed, this, &CWellSetDlg::DeleteRow);
    connect(grid_, &QTableWidget::itemChanged, this, [this] {
        if (filling_) return;
        modified_ = true;
        CheckCells();
    });
    connect(declination_, &QLineEdit::textChanged, this, [this] {
        modified_ = true;
        CheckCells();
    });
}

int CWellSetDlg::exec() {
    Setup();
    return QDialog::exec();
}

void CWellSetDlg::Setup() {
    selected_ = -1;
    filling_ = true;
    grid_->setRowCount(0);
    {
        const QSignalBlocker quiet(declination_);
        declination_->clear();
    }
    modified_ = false;
    filling_ = false;
    // Filling the declination box counts as a change of it, as typing would.
    for (std::size_t i = 0; i < store_.m_holeParams.size(); ++i) {
        const auto& p = store_.m_holeParams[i];
        declination_->setText(OneDecimal(p.gi));
        filling_ = true;
        InsertRow(int(i), RowTexts(p));
        filling_ = false;
    }
    ProposeMissingRows();
    openingTexts_ = GridTexts();
    CheckCells();
}

// Holes that have no parameter entry yet get a row each, so the user fills them in
// rather than adding rows one by one: the hole's own parameters when it has a name
// (from a file), otherwise "孔N" with the new-row defaults. Nothing is stored before
// the save; the rows count as an unsaved change.
void CWellSetDlg::ProposeMissingRows() {
    proposal_.clear();
    const std::size_t first = store_.m_holeParams.size();
    if (store_.m_holes.size() <= first) return;
    QSet<QString> taken;
    for (int r = 0; r < grid_->rowCount(); ++r) taken.insert(CellText(r, kName));
    int number = 1;
    filling_ = true;
    for (std::size_t h = first; h < store_.m_holes.size(); ++h) {
        const sondara::HoleSurvey& hole = store_.m_holes[h];
        QStringList texts;
        if (!hole.name.empty()) {
            texts = RowTexts(hole.params());
        } else {
            while (taken.contains(QString("孔%1").arg(number))) ++number;
            texts = QStringList{QString("孔%1").arg(number), "1.5", "0", "0", "0", "0", "0", "0", "0", "0"};
        }
        taken.insert(texts.front());
        InsertRow(grid_->rowCount(), texts);
    }
    filling_ = false;
    modified_ = true;
    proposal_ = QString("已为%1个没有参数的钻孔建议了参数行，请核对后保存").arg(store_.m_holes.size() - first);
}

QStringList CWellSetDlg::GridTexts() const {
    QStringList texts{declination_->text()};
    for (int r = 0; r < grid_->rowCount(); ++r)
        for (int c = kName; c < kColumnCount; ++c) texts << CellText(r, c);
    return texts;
}

bool CWellSetDlg::editedSinceOpening() const { return GridTexts() != openingTexts_; }

QString CWellSetDlg::statusText() const { return status_->text(); }

void CWellSetDlg::ShowTypedProblem(int row, int column, const QString& text) {
    bool blocking = false;
    const QString problem = CellProblem(row, column, text, &blocking);
    if (problem.isEmpty()) return CheckCells();
    ShowStatus(QString("第%1行 ").arg(row) + problem);
}

void CWellSetDlg::ShowStatus(const QString& problem) {
    status_->setStyleSheet(problem.isEmpty() ? QString() : QString("color: rgb(170, 0, 0);"));
    status_->setText(problem.isEmpty() ? proposal_ : problem);
}

QString CWellSetDlg::CellProblem(int row, int column, const QString& text, bool* blocking) const {
    *blocking = true;
    if (column == kName) {
        if (text.isEmpty()) return "钻孔名称：不能为空";
        if (text.size() > kMaxHoleNameUnits) return QString("钻孔名称：最多%1个字符").arg(kMaxHoleNameUnits);
        for (int other = 0; other < grid_->rowCount(); ++other)
            if (other != row && CellText(other, kName) == text) return QString("钻孔名称：与第%1行重复").arg(other);
        return {};
    }
    if (column < kRodLength || ui_text::OnlyNumberCharacters(text, true)) return {};
    // Z0 to D0 are read as far as they form a number, as they always were.
    *blocking = column <= kY0;
    return *blocking ? NumberRule(kHeaders[column]) : NumberRule(kHeaders[column]) + "，保存时只取开头的数字";
}

bool CWellSetDlg::cellMarked(int row, int column) const {
    const QTableWidgetItem* item = grid_->item(row, column);
    return item && item->background().style() != Qt::NoBrush;
}

// Marks every cell that breaks its rule and names the first such cell's column and
// rule in the status line.
void CWellSetDlg::CheckCells() {
    const bool wasFilling = std::exchange(filling_, true);
    QString first;
    for (int r = 0; r < grid_->rowCount(); ++r) {
        for (int c = kName; c < kColumnCount; ++c) {
            bool blocking = false;
            const QString problem = CellProblem(r, c, CellText(r, c), &blocking);
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item) continue;
            item->setBackground(problem.isEmpty() ? QBrush() : QBrush(blocking ? kRefusedCell : kDoubtfulCell));
            item->setToolTip(problem);
            if (first.isEmpty() && !problem.isEmpty()) first = QString("第%1行 ").arg(r) + problem;
        }
    }
    if (first.isEmpty() && !ui_text::OnlyNumberCharacters(declination_->text(), true))
        first = "磁偏角：只能含数字、小数点、负号和空格，保存时只取开头的数字";
    filling_ = wasFilling;
    ShowStatus(first);
}

void CWellSetDlg::reject() {
    grid_->CommitOpenEditor();
    if (!editedSinceOpening()) return QDialog::reject();
    const auto answer = sondara::ShowMessage("数据已更改，是否保存？", "提示", sondara::MessageIcon::Question,
                                             sondara::MessageButtons::YesNoCancel);
    if (answer == sondara::MessageAnswer::No) return QDialog::reject();
    if (answer == sondara::MessageAnswer::Yes && SaveParams()) accept();
}

QString CWellSetDlg::CellText(int row, int column) const {
    const QTableWidgetItem* item = grid_->item(row, column);
    return item ? item->text() : QString();
}

void CWellSetDlg::SetCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid_->item(row, column)) {
        item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    if (column == kIndex) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    grid_->setItem(row, column, item);
}

void CWellSetDlg::InsertRow(int row, const QStringList& texts) {
    grid_->insertRow(row);
    SetCellText(row, kIndex, QString::number(row));
    for (int c = kName; c < kColumnCount; ++c) SetCellText(row, c, texts.value(c - kName));
}

void CWellSetDlg::RenumberFrom(int row) {
    const bool wasFilling = std::exchange(filling_, true);
    for (int r = row; r < grid_->rowCount(); ++r) SetCellText(r, kIndex, QString::number(r));
    filling_ = wasFilling;
}

void CWellSetDlg::SelectOnly(int row) {
    grid_->setFocus();
    grid_->clearSelection();
    if (row < 0 || row >= grid_->rowCount()) return;
    grid_->setCurrentCell(row, kName, QItemSelectionModel::NoUpdate);
    grid_->selectRow(row);
}

void CWellSetDlg::ClickRow(int row) { selected_ = row; }

void CWellSetDlg::AddRow() {
    grid_->CommitOpenEditor();
    modified_ = true;
    const int at = selected_ == -1 ? grid_->rowCount() : selected_;
    filling_ = true;
    InsertRow(at, {"", "1.5", "0", "0", "0", "0", "0", "0", "0", "0"});
    filling_ = false;
    RenumberFrom(at);
    CheckCells();
    SelectOnly(selected_);
    if (selected_ == -1) grid_->scrollToItem(grid_->item(at, kName));
}

void CWellSetDlg::DeleteRow() {
    grid_->CommitOpenEditor();
    if (selected_ != -1 && selected_ < grid_->rowCount()) {
        grid_->removeRow(selected_);
        RenumberFrom(selected_);
        CheckCells();
        modified_ = true;
    }
    SelectOnly(selected_);
}

void CWellSetDlg::SwapRows(int a, int b) {
    for (int c = kName; c < kColumnCount; ++c) {
        const QString text = CellText(a, c);
        SetCellText(a, c, CellText(b, c));
        SetCellText(b, c, text);
    }
}

void CWellSetDlg::MoveDown() {
    grid_->CommitOpenEditor();
    if (selected_ == -1 || selected_ >= grid_->rowCount()) return;
    if (selected_ < grid_->rowCount() - 1) {
        SwapRows(selected_, selected_ + 1);
        modified_ = true;
        ++selected_;
    }
    SelectOnly(selected_);
}

void CWellSetDlg::MoveUp() {
    grid_->CommitOpenEditor();
    if (selected_ == -1 || selected_ >= grid_->rowCount()) return;
    if (selected_ > 0) {
        SwapRows(selected_, selected_ - 1);
        modified_ = true;
        --selected_;
    }
    SelectOnly(selected_);
}

void CWellSetDlg::SaveAndClose() {
    grid_->CommitOpenEditor();
    if (!modified_) return accept();
    const auto answer = sondara::ShowMessage("数据已更改，是否保存？", "提示", sondara::MessageIcon::Question,
                                             sondara::MessageButtons::YesNoCancel);
    if (answer == sondara::MessageAnswer::No) return accept();
    if (answer == sondara::MessageAnswer::Yes && SaveParams()) accept();
}

bool CWellSetDlg::ValidateRow(int row) {
    if (row >= grid_->rowCount()) return false;
    if (CellText(row, kName).isEmpty()) {
        ParamsError("钻孔名称不能为空");
        return false;
    }
    if (CellText(row, kName).size() > kMaxHoleNameUnits) {
        ParamsError("钻孔名称不能超过12个字符");
        return false;
    }
    for (int c = kRodLength; c <= kY0; ++c) {
        if (!ui_text::OnlyNumberCharacters(CellText(row, c), true)) {
            ParamsError("输入数据不合法");
            return false;
        }
    }
    return true;
}

bool CWellSetDlg::SaveParams() {
    grid_->CommitOpenEditor();
    const int rows = grid_->rowCount();
    for (int r = 0; r < rows; ++r) {
        if (!ValidateRow(r)) {
            SelectOnly(r);
            return false;
        }
    }
    for (int i = 0; i < rows; ++i) {
        for (int j = i + 1; j < rows; ++j) {
            if (CellText(i, kName) != CellText(j, kName)) continue;
            ParamsError("钻孔名称重复");
            SelectOnly(i);
            grid_->selectionModel()->select(grid_->model()->index(j, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
            return false;
        }
    }
    std::vector<sondara::HoleParams> params;
    params.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        sondara::HoleParams p;
        p.gi = LeadingFloat(declination_->text());
        p.name = CellText(r, kName).toStdU16String();
        p.pbLen = LeadingFloat(CellText(r, kRodLength));
        p.dDip = LeadingFloat(CellText(r, kDesignInc));
        p.x0 = LeadingFloat(CellText(r, kX0));
        p.y0 = LeadingFloat(CellText(r, kY0));
        p.z0 = LeadingFloat(CellText(r, kZ0));
        p.e0 = LeadingFloat(CellText(r, kE0));
        p.n0 = LeadingFloat(CellText(r, kN0));
        p.d0 = LeadingFloat(CellText(r, kD0));
        p.dPos = sondara::StoredDesignAzimuth(LeadingFloat(CellText(r, kDesignAzi)), p.gi);
        params.push_back(std::move(p));
    }
    store_.m_holeParams = std::move(params);
    modified_ = false;
    return true;
}
