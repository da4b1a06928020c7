#include "ui/plots/plot_window.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QSvgGenerator>
#include <QTimer>

#include "core/trajectory.h"
#include "ui/common/document.h"
#include "ui/common/file_dialogs.h"
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
    emit holeNameChanged();
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

PlotOutcome CPlottingView::Paint(QPainter& painter, const QRect& client) const {
    const sondara::SurveyStore& store = document_.store();
    return m_show3D ? DrawTrajectory3D(painter, QRectF(client), store, m_holeIndex)
                    : DrawDeviationCurves(painter, client, store, m_holeIndex);
}

void CPlottingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    lastOutcome_ = Paint(painter, rect());
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
    QMenu* file = menuBar()->addMenu("文件");
    file->addAction("保存图片(&S)...", QKeySequence::Save, this, &CPlottingFrame::OnSavePicture);
    file->addAction("打印(&P)...", QKeySequence::Print, this, &CPlottingFrame::OnPrint);
    file->addSeparator();
    file->addAction("关闭(&C)", this, &QWidget::close);

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
    connect(selector_, &CWellShowSelectDlg::holeNameChanged, this, &CPlottingFrame::UpdateStepButtons);
    connect(&document_, &SurveyDocument::updated, this, &CPlottingFrame::UpdateStepButtons);
    UpdateStepButtons();
}

// A name no hole has any more keeps both enabled: a click then says so.
void CPlottingFrame::UpdateStepButtons() {
    const int current = FindCurrentHole();
    const int last = static_cast<int>(document_.store().m_holes.size()) - 1;
    selector_->previousButton()->setEnabled(current != 0);
    selector_->nextButton()->setEnabled(current < 0 || current < last);
}

// The picture replaces an old file of that name only once it is whole.
bool CPlottingFrame::SavePicture(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!WritePicture(file, QFileInfo(path).suffix().toLower())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CPlottingFrame::WritePicture(QIODevice& file, const QString& suffix) const {
    const QSize size = view_->size();
    if (suffix == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(windowTitle());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        view_->Paint(painter, QRect(QPoint(0, 0), size));
        return painter.end();
    }
    if (suffix == "pdf") {
        QPdfWriter pdf(&file);
        pdf.setTitle(windowTitle());
        pdf.setCreator("Sondara");
        // Screen resolution, so fonts and pens keep the sizes they have in the window.
        pdf.setResolution(96);
        pdf.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
        return PaintFitted(pdf, pdf.pageLayout().paintRectPixels(pdf.resolution()));
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        view_->Paint(painter, image.rect());
    }
    return image.save(&file, "PNG");
}

bool CPlottingFrame::PaintFitted(QPaintDevice& device, const QRect& page) const {
    const QSize size = view_->size();
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setViewport(QRect(QPoint(0, 0), size.scaled(page.size(), Qt::KeepAspectRatio)));
    painter.setWindow(QRect(QPoint(0, 0), size));
    view_->Paint(painter, QRect(QPoint(0, 0), size));
    return painter.end();
}

void CPlottingFrame::PrintPicture(QPrinter& printer) const {
    printer.setDocName(windowTitle());
    PaintFitted(printer, printer.pageLayout().paintRectPixels(printer.resolution()));
}

void CPlottingFrame::OnSavePicture() {
    FileDialogRequest request{FileDialogKind::SaveFile,
                              "PNG 图片 (*.png *.PNG);;SVG 矢量图 (*.svg *.SVG);;PDF 文档 (*.pdf *.PDF)",
                              "png",
                              {}};
    const QStringList paths = AskForFiles(request);
    if (paths.isEmpty()) return;
    if (!SavePicture(paths.front()))
        sondara::ShowMessage("图片保存失败：" + paths.front().toStdString(), "错误", sondara::MessageIcon::Error);
}

void CPlottingFrame::OnPrint() {
    // Screen resolution, for the same reason as the PDF file.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(view_->width() > view_->height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintPicture(printer);
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
    view_->setHoleIndex(index);
    selector_->setHoleName(HoleName(document_.store().m_holes[index]));
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

QSize FittedPlotWindowSize(const QSize& wanted, const QRect& available, const QMargins& frame) {
    const QSize room = available.size().shrunkBy(frame);
    return wanted.boundedTo(room).expandedTo(QSize(200, 200));
}

CPlottingFrame* OpenPlotWindow(SurveyDocument& document, QWidget* owner) {
    auto* frame = new CPlottingFrame(document, owner);
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        // Title bar and borders are not known before the window is shown; leave
        // room for a usual window frame.
        const QMargins decoration(8, 32, 8, 8);
        frame->resize(FittedPlotWindowSize(frame->size(), available, decoration));
        QRect placed(available.topLeft(), frame->size().grownBy(decoration));
        placed.moveCenter(available.center());
        frame->move(placed.topLeft() + QPoint(decoration.left(), decoration.top()));
    }
    frame->show();
    frame->raise();
    frame->activateWindow();
    return frame;
}
