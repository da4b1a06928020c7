#include "ui/mainwindow/quality_status.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>
#include <cmath>

#include "core/quality/corrections.h"
#include "core/survey_pipeline.h"
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

QString RodKeyOfferText(const sondara::RodKeyFinding& f) {
    return f.fault == sondara::RodKeyFault::Missed ? "补记漏记的钻杆" : "删除多记的钻杆";
}

}  // namespace

SyncCorrectionCommand::SyncCorrectionCommand(SurveyDocument& document, const QString& text, Edit edit)
    : document_(document), edit_(std::move(edit)) {
    setText(text);
}

void SyncCorrectionCommand::redo() {
    sondara::SurveyStore& store = document_.store();
    syncBefore_ = store.m_syncRecords;
    holesBefore_ = store.m_holes;
    paramsBefore_ = store.m_holeParams;
    modifiedBefore_ = document_.isModified();
    if (!edit_(store)) {
        setObsolete(true);  // the finding no longer fits the records: nothing was changed
        return;
    }
    syncAfter_ = store.m_syncRecords;
    document_.setModified(true);  // the corrected records are what a save writes
    document_.UpdateAllViews();
}

void SyncCorrectionCommand::undo() {
    sondara::SurveyStore& store = document_.store();
    // Records replaced since (another download or file) are not this edit's to undo.
    if (!SameRecords(store.m_syncRecords, syncAfter_)) {
        setObsolete(true);
        return;
    }
    store.m_syncRecords = syncBefore_;
    store.m_holes = holesBefore_;
    // Parameters saved since (the editor is no undoable step) stay: the holes put back
    // take them and are computed again, as the save did.
    const bool paramsSavedSince = store.m_holeParams != paramsBefore_;
    if (paramsSavedSince) sondara::Recompute(store, sondara::SurveyChange::ParamsSaved);
    document_.setModified(modifiedBefore_ || paramsSavedSince);
    document_.UpdateAllViews();
}

QualityStatus::QualityStatus(SurveyDocument& document, QWidget* parent)
    : QWidget(parent), document_(document), label_(new QLabel), offer_(new QToolButton), undo_(new QToolButton) {
    setObjectName("质量检查");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    layout->addWidget(offer_);
    layout->addWidget(undo_);
    for (QToolButton* b : {offer_, undo_}) {
        b->setAutoRaise(true);
        b->hide();
    }
    connect(offer_, &QToolButton::clicked, this, &QualityStatus::OnOffer);
    connect(undo_, &QToolButton::clicked, this, [this] {
        if (LastStepIsOurs()) document_.undoStack().undo();
    });
    connect(&document_, &SurveyDocument::updated, this, &QualityStatus::RefreshSoon);
    connect(&document_.undoStack(), &QUndoStack::indexChanged, this, &QualityStatus::RefreshSoon);
    Refresh();
}

QString QualityStatus::summary() const { return label_->text(); }

void QualityStatus::RefreshSoon() {
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        Refresh();
    });
}

bool QualityStatus::LastStepIsOurs() const {
    const QUndoStack& stack = document_.undoStack();
    return stack.index() > 0 && dynamic_cast<const SyncCorrectionCommand*>(stack.command(stack.index() - 1));
}

void QualityStatus::Refresh() {
    const sondara::SurveyStore& store = document_.store();
    undo_->setVisible(LastStepIsOurs());
    if (undo_->isVisible()) {
        const QUndoStack& stack = document_.undoStack();
        undo_->setText("撤销");
        undo_->setToolTip("撤销" + stack.undoText());
    }
    // Until there are holes (both downloads in, or a survey loaded) there is nothing to judge.
    if (store.m_holes.empty()) {
        report_ = {};
        label_->clear();
        label_->setToolTip({});
        offer_->hide();
        emit checked();
        return;
    }
    report_ = sondara::CheckSurveyQuality(store, options_);
    label_->setText(QString::fromStdString(sondara::QualitySummaryText(report_, options_)));
    const std::vector<std::string> lines = sondara::QualityFindingLines(report_, store, options_);
    QStringList tip;
    for (const std::string& line : lines) {
        if (tip.size() == kTipLines) {
            tip << "……";
            break;
        }
        tip << QString::fromStdString(line);
    }
    label_->setToolTip(tip.join('\n'));

    if (report_.ClockOffsetWorthApplying(options_)) {
        const double seconds = std::round(report_.clock.offsetSeconds);
        offer_->setText(QString("应用时钟偏差（%1%2 秒）").arg(seconds > 0 ? "+" : "").arg(seconds));
        offer_->setToolTip("把同步器记录的时间移到探管时钟上，重新配对各孔（可撤销）");
        offer_->show();
    } else if (!report_.rodKeys.empty()) {
        const sondara::RodKeyFinding& f = report_.rodKeys.front();
        offer_->setText(RodKeyOfferText(f) + QString("（共 %1 处）").arg(report_.rodKeys.size()));
        const auto it = std::find_if(lines.begin(), lines.end(),
                                     [](const std::string& l) { return l.find("钻杆：") != std::string::npos; });
        offer_->setToolTip((it != lines.end() ? QString::fromStdString(*it) + "\n" : QString()) +
                           "修正后各孔重新配对，深度随之更新（可撤销）");
        offer_->show();
    } else {
        offer_->hide();
    }
    emit checked();
}

void QualityStatus::OnOffer() {
    QUndoStack& stack = document_.undoStack();
    if (report_.ClockOffsetWorthApplying(options_)) {
        const double seconds = std::round(report_.clock.offsetSeconds);
        stack.push(new SyncCorrectionCommand(document_, QString("应用时钟偏差 %1 秒").arg(seconds),
                                             [seconds](sondara::SurveyStore& store) {
                                                 sondara::ApplyClockOffset(store, seconds);
                                                 return true;
                                             }));
    } else if (!report_.rodKeys.empty()) {
        const sondara::RodKeyFinding f = report_.rodKeys.front();
        stack.push(new SyncCorrectionCommand(document_, RodKeyOfferText(f), [f](sondara::SurveyStore& store) {
            return sondara::ApplyRodKeyFinding(store, f);
        }));
    }
}
