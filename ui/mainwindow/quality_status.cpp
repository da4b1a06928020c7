#include "ui/mainwindow/quality_status.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QUndoStack>

#include <cmath>

#include "core/quality/corrections.h"
#include "ui/common/document.h"
#include "ui/common/quality_text.h"

namespace {

// A tool tip is no place for thousands of lines; the rest is in sondara-cli qa.
constexpr int kTipLines = 25;

bool SameRecords(const std::vector<sondara::SyncRecord>& a, const std::vector<sondara::SyncRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].time.dt != b[i].time.dt || a[i].time.status != b[i].time.status || a[i].hole != b[i].hole ||
            a[i].idx != b[i].idx || a[i].flag != b[i].flag || a[i].mark != b[i].mark)
            return false;
    }
    return true;
}

}  // namespace

ApplyClockOffsetCommand::ApplyClockOffsetCommand(SurveyDocument& document, double offsetSeconds)
    : document_(document), offset_(std::round(offsetSeconds)) {
    setText(QString("应用时钟偏差 %1 秒").arg(offset_));
}

void ApplyClockOffsetCommand::redo() {
    sondara::SurveyStore& store = document_.store();
    syncBefore_ = store.m_syncRecords;
    holesBefore_ = store.m_holes;
    modifiedBefore_ = document_.isModified();
    sondara::ApplyClockOffset(store, offset_);
    syncAfter_ = store.m_syncRecords;
    document_.setModified(true);  // the shifted times are what a save writes
    document_.UpdateAllViews();
}

void ApplyClockOffsetCommand::undo() {
    sondara::SurveyStore& store = document_.store();
    // Records replaced since (another download or file) are not this edit's to undo.
    if (!SameRecords(store.m_syncRecords, syncAfter_)) {
        setObsolete(true);
        return;
    }
    store.m_syncRecords = syncBefore_;
    store.m_holes = holesBefore_;
    document_.setModified(modifiedBefore_);
    document_.UpdateAllViews();
}

QualityStatus::QualityStatus(SurveyDocument& document, QWidget* parent)
    : QWidget(parent), document_(document), label_(new QLabel), apply_(new QToolButton) {
    setObjectName("质量检查");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(apply_);
    apply_->setAutoRaise(true);
    apply_->hide();
    connect(apply_, &QToolButton::clicked, this, &QualityStatus::OnApply);
    connect(&document_, &SurveyDocument::updated, this, &QualityStatus::Refresh);
    connect(&document_.undoStack(), &QUndoStack::indexChanged, this, [this] {
        // Once the application is no longer the last step, the button offers it afresh.
        const QUndoStack& stack = document_.undoStack();
        if (applied_ && (stack.index() == 0 || stack.command(stack.index() - 1) != applied_)) applied_ = nullptr;
        Refresh();
    });
    Refresh();
}

QString QualityStatus::summary() const { return label_->text(); }

void QualityStatus::Refresh() {
    const sondara::SurveyStore& store = document_.store();
    // Until there are holes (both downloads in, or a survey loaded) there is nothing to judge.
    if (store.m_holes.empty()) {
        report_ = {};
        label_->clear();
        label_->setToolTip({});
        apply_->hide();
        return;
    }
    report_ = sondara::CheckSurveyQuality(store, options_);
    label_->setText(QString::fromStdString(sondara::QualitySummaryText(report_, options_)));
    QStringList tip;
    for (const std::string& line : sondara::QualityFindingLines(report_, store, options_)) {
        if (tip.size() == kTipLines) {
            tip << "……";
            break;
        }
        tip << QString::fromStdString(line);
    }
    label_->setToolTip(tip.join('\n'));

    if (applied_) {
        apply_->setText("撤销时钟偏差");
        apply_->setToolTip(applied_->text());
        apply_->show();
    } else if (report_.ClockOffsetWorthApplying(options_)) {
        const double seconds = std::round(report_.clock.offsetSeconds);
        apply_->setText(QString("应用时钟偏差（%1%2 秒）").arg(seconds > 0 ? "+" : "").arg(seconds));
        apply_->setToolTip("把同步器记录的时间移到探管时钟上，重新配对各孔（可撤销）");
        apply_->show();
    } else {
        apply_->hide();
    }
}

void QualityStatus::OnApply() {
    QUndoStack& stack = document_.undoStack();
    if (applied_) {
        applied_ = nullptr;
        stack.undo();
        return;
    }
    if (!report_.ClockOffsetWorthApplying(options_)) return;
    auto* command = new ApplyClockOffsetCommand(document_, report_.clock.offsetSeconds);
    applied_ = command;
    stack.push(command);
    Refresh();
}
