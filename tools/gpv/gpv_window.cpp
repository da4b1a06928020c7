#include "gpv_window.h"

#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>

#include "ui/common/file_dialogs.h"
#include "ui/common/messages.h"
#include "ui/drillsite/site_export.h"
#include "ui/drillsite/site_loading.h"
#include "ui/viewer/viewer_presence.h"

namespace {

constexpr SiteViewKind kKinds[] = {SiteViewKind::Plan, SiteViewKind::Section, SiteViewKind::ThreeD,
                                   SiteViewKind::Deviation};

QTableWidgetItem* NumberItem(double v, int decimals = 3) {
    auto* item = new QTableWidgetItem(QString::number(v, 'f', decimals));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidget* MakeTable(const QStringList& headers, QWidget* parent) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

void ShowError(const QString& text) { sondara::ShowMessage(text.toStdString(), "错误", sondara::MessageIcon::Warning); }

QString MarkText(int mark) {
    if (mark == sondara::kMarkCoal) return "遇煤";
    if (mark == sondara::kMarkRock) return "遇岩";
    return {};
}

}  // namespace

GpvWindow::GpvWindow(QWidget* parent) : QMainWindow(parent), presence_(new ViewerPresence(this)) {
    setWindowTitle("Vistrel");
    setAcceptDrops(true);
    resize(1280, 900);

    tabs_ = new QTabWidget(this);
    for (SiteViewKind kind : kKinds) {
        views_[std::size_t(kind)] = new SiteViewWidget(kind, &site_, &selection_, tabs_);
        tabs_->addTab(views_[std::size_t(kind)], SiteViewTitle(kind));
    }
    holeTable_ = MakeTable({"孔号", "孔深(m)", "终点东(m)", "终点北(m)", "终点标高(m)", "终点左右偏差(m)",
                            "终点上下偏差(m)", "终点总偏差(m)", "与下一孔终点间距(m)"},
                           this);
    stationTable_ = MakeTable({"孔深(m)", "左右偏差(m)", "上下偏差(m)", "东(m)", "北(m)", "标高(m)", "标记"}, this);

    auto* tables = new QSplitter(Qt::Horizontal, this);
    tables->addWidget(holeTable_);
    tables->addWidget(stationTable_);
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(tabs_);
    split->addWidget(tables);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({640, 220});  // the drawing first; the tables below it
    setCentralWidget(split);

    connect(holeTable_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { selection_.Select(row); });
    connect(&selection_, &SiteSelection::changed, this, &GpvWindow::ShowSelection);
    connect(presence_, &ViewerPresence::closeRequested, this, &QWidget::close);
    BuildMenus();
}

void GpvWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("文件(&F)");
    file->addAction("打开(&O)...", QKeySequence::Open, this, &GpvWindow::ChooseAndOpen);
    file->addAction("导出当前视图(&E)...", QKeySequence("Ctrl+E"), this, &GpvWindow::ExportCurrentView);
    file->addSeparator();
    file->addAction("退出(&X)", QKeySequence::Quit, this, &QWidget::close);

    QToolBar* bar = addToolBar("剖面");
    bar->setObjectName("sectionBar");
    bar->addWidget(new QLabel(" 剖面方位(°) ", bar));
    azimuth_ = new QDoubleSpinBox(bar);
    azimuth_->setRange(0, 360);
    azimuth_->setDecimals(1);
    azimuth_->setWrapping(true);
    azimuth_->setSingleStep(5);
    bar->addWidget(azimuth_);
    connect(azimuth_, &QDoubleSpinBox::valueChanged, this,
            [this](double v) { view(SiteViewKind::Section)->setSectionAzimuth(v); });
}

bool GpvWindow::Open(const QString& path) {
    DrillSite site;
    const QString problem = LoadDrillSite(path, site);
    if (!problem.isEmpty()) {
        ShowError(problem);
        return false;
    }
    SetSite(std::move(site));
    return true;
}

void GpvWindow::SetSite(DrillSite site) {
    site_ = std::move(site);
    selection_.Select(-1);
    azimuth_->setValue(MeanDesignAzimuth(site_));
    view(SiteViewKind::Section)->setSectionAzimuth(azimuth_->value());
    view(SiteViewKind::ThreeD)->setCamera(Camera3D{});
    FillHoleTable();
    ShowSelection(-1);
    for (SiteViewWidget* v : views_) v->update();
    statusBar()->showMessage(QString("%1：%2 个钻孔").arg(site_.source).arg(site_.holes.size()));
}

void GpvWindow::FillHoleTable() {
    const QSignalBlocker block(holeTable_);
    const std::vector<HoleSummary> rows = SummariesOf(site_);
    holeTable_->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        auto* name = new QTableWidgetItem(site_.holes[std::size_t(i)].name);
        name->setData(Qt::DecorationRole, HoleColour(i));
        holeTable_->setItem(i, 0, name);
        const HoleSummary& r = rows[std::size_t(i)];
        if (!r.hasStations) {
            for (int c = 1; c < holeTable_->columnCount(); ++c) holeTable_->setItem(i, c, new QTableWidgetItem());
            continue;
        }
        holeTable_->setItem(i, 1, NumberItem(r.length, 2));
        holeTable_->setItem(i, 2, NumberItem(r.end.x));
        holeTable_->setItem(i, 3, NumberItem(r.end.y));
        holeTable_->setItem(i, 4, NumberItem(r.end.z));
        holeTable_->setItem(i, 5, NumberItem(r.dy));
        holeTable_->setItem(i, 6, NumberItem(r.dz));
        holeTable_->setItem(i, 7, NumberItem(r.total));
        holeTable_->setItem(i, 8, r.spacingToNext ? NumberItem(*r.spacingToNext) : new QTableWidgetItem());
    }
}

void GpvWindow::ShowSelection(int hole) {
    {
        const QSignalBlocker block(holeTable_);
        if (hole >= 0)
            holeTable_->selectRow(hole);
        else
            holeTable_->clearSelection();
    }
    stationTable_->setRowCount(0);
    if (hole < 0 || std::size_t(hole) >= site_.holes.size()) return;
    const std::vector<SiteStation>& stations = site_.holes[std::size_t(hole)].stations;
    stationTable_->setRowCount(int(stations.size()));
    for (int i = 0; i < int(stations.size()); ++i) {
        const SiteStation& s = stations[std::size_t(i)];
        stationTable_->setItem(i, 0, NumberItem(s.depth, 2));
        stationTable_->setItem(i, 1, NumberItem(s.dy));
        stationTable_->setItem(i, 2, NumberItem(s.dz));
        stationTable_->setItem(i, 3, NumberItem(s.at.x));
        stationTable_->setItem(i, 4, NumberItem(s.at.y));
        stationTable_->setItem(i, 5, NumberItem(s.at.z));
        stationTable_->setItem(i, 6, new QTableWidgetItem(MarkText(s.mark)));
    }
}

void GpvWindow::ChooseAndOpen() {
    const QStringList paths = AskForFiles({FileDialogKind::OpenFile,
                                           "群组图数据或测斜数据 (*.txt *.bhx *.BHX *.json *.JSON);;所有文件 (*)",
                                           {},
                                           site_.source});
    if (!paths.isEmpty()) Open(paths.front());
}

void GpvWindow::ExportCurrentView() {
    const auto kind = static_cast<SiteViewKind>(tabs_->currentIndex());
    QString filters = "PNG 图片 (*.png);;SVG 矢量图 (*.svg);;PDF 文档 (*.pdf)";
    if (kind == SiteViewKind::Plan || kind == SiteViewKind::Section) filters += ";;DXF 图形 (*.dxf)";
    FileDialogRequest request{FileDialogKind::SaveFile, filters, "png", {}};
    request.suffixFollowsFilter = true;
    request.title = "导出" + SiteViewTitle(kind);
    const QStringList paths = AskForFiles(request);
    if (paths.isEmpty()) return;
    const QString path = paths.front();
    QSize size(1600, 1200);
    if (ExportFormatFor(path) != ExportFormat::Dxf) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, "导出尺寸", "宽x高（像素）：", QLineEdit::Normal,
                                                   QString("%1x%2").arg(size.width()).arg(size.height()), &ok);
        if (!ok) return;
        const std::optional<QSize> typed = ParseExportSize(text);
        if (!typed) {
            ShowError("尺寸应写作 宽x高，例如 1600x1200");
            return;
        }
        size = *typed;
    }
    const QString problem = ExportSiteView(site_, kind, view(kind)->options(), size, path);
    if (!problem.isEmpty())
        ShowError(problem);
    else
        statusBar()->showMessage("已导出 " + path);
}

void GpvWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // Announced once the window is up: the main program's waiting box closes on it.
    if (!announced_) announced_ = presence_->Announce();
}

void GpvWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls() && e->mimeData()->urls().front().isLocalFile()) e->acceptProposedAction();
}

void GpvWindow::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) Open(urls.front().toLocalFile());
}
