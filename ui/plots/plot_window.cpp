#include "ui/plots/plot_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include "core/trajectory.h"
#include "ui/common/document.h"
#include "ui/common/messages.h"
#include "ui/plots/deviation_chart.h"
#include "ui/plots/trajectory_plot.h"

namespace {

QString HoleName(const sondara::HoleSurvey& hole) { return QString::fromStdU16String(hole.name); }

// Dialog units of the bar's 12-point font, about two pixels each way.
constexpr int kDlu = 2;

}  // namespace

CWellShowSelectDlg::CWellShowSelectDlg(const SurveyDocument& document, QWidget* parent) : QWidget(parent) {
    setFont(QFont("新宋体", 12));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3 * kDlu, 2 * kDlu, 2 * kDlu, 1 * kDlu);
    layout->setSpacing(2 * kDlu);
    layout->addWidget(new QLabel("孔号", this));
    nameBox_ = new QLineEdit(this);
    nameBox_->setReadOnly(true);
    nameBox_->setFixedWidth(53 * kDlu);
    layout->addWidget(nameBox_);
    previous_ = new QPushButton("上一孔", this);
    next_ = new QPushButton("下一孔", this);
    mode_ = new QPushButton("3D", this);
    for (QPushButton* b : {previous_, next_, mode_}) {
        b->setFixedSize(31 * kDlu, 15 * kDlu);
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    layout->addStretch();
    if (!document.store().m_holes.empty()) m_holeName = HoleName(document.store().m_holes.front());
    nameBox_->setText(m_holeName);
}

void CWellShowSelectDlg::setHoleName(const QString& name) {
    m_holeName = name;
    nameBox_->setText(name);
}

void CWellShowSelectDlg::OnPlotMode(int show3D) { mode_->setText(show3D ? "2D" : "3D"); }

CPlottingView::CPlottingView(SurveyDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
    setMinimumSize(1, 1);
    connect(&document_, &SurveyDocument::updated, this, [this] {
        ++generation_;
        update();
    });
}

void CPlottingView::setHoleIndex(int index) {
    m_holeIndex = index;
    update();
}

void CPlottingView::OnPlotModeButton() {
    m_show3D = !m_show3D;
    emit plotModeChanged(m_show3D);
    update();
}

void CPlottingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const sondara::SurveyStore& store = document_.store();
    lastOutcome_ = m_show3D ? DrawTrajectory3D(painter, QRectF(rect()), store, m_holeIndex)
                            : DrawDeviationCurves(painter, rect(), store, m_holeIndex);
    if (lastOutcome_ == PlotOutcome::NoStations) ReportMissingStationsOnce();
}

void CPlottingView::ReportMissingStationsOnce() {
    const Reported now{m_holeIndex, m_show3D, generation_};
    if (now == reported_) return;
    reported_ = now;
    std::string text = document_.store().m_holes[m_holeIndex].error;
    if (text.empty()) text = sondara::kNoHoleRecords;
    // Outside the paint handler: a modal box inside it would paint-loop.
    QTimer::singleShot(0, this, [text] { sondara::ShowMessage(text, "错误", sondara::MessageIcon::Error); });
}

CPlottingFrame::CPlottingFrame(SurveyDocument& document, QWidget* owner)
    : QMainWindow(owner, Qt::Window), document_(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("孔眼轨迹示意图");
    if (owner) setWindowIcon(owner->windowIcon());
    resize(800, 800);
    menuBar()->addMenu("文件");  // the window's menu holds one item with no action

    selector_ = new CWellShowSelectDlg(document_, this);
    bar_ = new QToolBar(this);
    bar_->setObjectName("holeSelector");
    bar_->setMovable(true);
    bar_->setAllowedAreas(Qt::AllToolBarAreas);
    bar_->addWidget(selector_);
    addToolBar(Qt::TopToolBarArea, bar_);

    view_ = new CPlottingView(document_, this);
    setCentralWidget(view_);

    connect(selector_->nextButton(), &QPushButton::clicked, this, &CPlottingFrame::OnNextHole);
    connect(selector_->previousButton(), &QPushButton::clicked, this, &CPlottingFrame::OnPreviousHole);
    connect(selector_->modeButton(), &QPushButton::clicked, view_, &CPlottingView::OnPlotModeButton);
    connect(view_, &CPlottingView::plotModeChanged, selector_, &CWellShowSelectDlg::OnPlotMode);
}

int CPlottingFrame::FindCurrentHole() const {
    const auto& holes = document_.store().m_holes;
    int found = -1;
    for (int i = 0; i < static_cast<int>(holes.size()); ++i) {
        if (HoleName(holes[i]) == selector_->holeName()) found = i;
    }
    return found;
}

void CPlottingFrame::StepTo(int index) {
    selector_->setHoleName(HoleName(document_.store().m_holes[index]));
    view_->setHoleIndex(index);
    view_->repaint();
}

void CPlottingFrame::OnNextHole() {
    const int current = FindCurrentHole();
    if (current < 0) {
        sondara::ShowMessage(sondara::kNoHoleParams, "错误", sondara::MessageIcon::Error);
        return;
    }
    if (current >= static_cast<int>(document_.store().m_holes.size()) - 1) return;
    StepTo(current + 1);
}

void CPlottingFrame::OnPreviousHole() {
    const int current = FindCurrentHole();
    if (current < 0) {
        sondara::ShowMessage(sondara::kNoHoleParams, "错误", sondara::MessageIcon::Error);
        return;
    }
    if (current < 1) return;
    StepTo(current - 1);
}

CPlottingFrame* OpenPlotWindow(SurveyDocument& document, QWidget* owner) {
    auto* frame = new CPlottingFrame(document, owner);
    frame->show();
    return frame;
}
