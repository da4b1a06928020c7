#include "ui/mainwindow/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "core/survey_pipeline.h"
#include "io/file_kind.h"
#include "ui/common/document.h"
#include "ui/common/local_path.h"
#include "ui/common/messages.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/hole_params_dialog.h"
#include "ui/dialogs/real_time_dialog.h"
#include "ui/dialogs/rtc_set_dialog.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/quality_status.h"
#include "ui/table/hole_results_panel.h"
#include "ui/table/survey_table_view.h"

static void InitResources() { Q_INIT_RESOURCE(sondara); }

namespace {

// Status-bar prompt and tool tip of a command ("prompt\ntip").
const QHash<int, QString>& CommandStrings() {
    static const QHash<int, QString> strings = {
        {command::kProbeTest, "探管连接测试\n连接"},
        {command::kProbeDownload, "读取探管数据\n历史数据"},
        {command::kProbeClear, "清空探管数据\n清空探管数据"},
        {command::kSyncTest, "同步器连接测试\n连接测试"},
        {command::kSyncDownload, "读取同步器数据\n历史数据"},
        {command::kSyncClear, "清空同步器数据\n清空同步器数据"},
        {command::kHoleParams, "钻孔参数设置\n参数设置"},
        {command::kConnect, "连接串口"},
        {command::kStopDownload, "停止正在进行的读取，保留已收到的记录\n停止读取"},
        {command::kProbeClock, "探管时钟校准\n时钟校准"},
        {command::kSyncClock, "同步器时间校准\n时间校准"},
        {command::kTrajectory, "显示钻孔轨迹\n轨迹计算"},
        {command::kShowAll, "显示全部数据\n全部数据"},
        {command::kShowSampled, "显示采样数据\n采样数据"},
    };
    return strings;
}

// What a dropped file may be: a survey data file or a JSON survey.
bool OpensByDrop(const QString& path) {
    const sondara::FileKind kind = sondara::FileKindOf(LocalPath(path));
    return kind == sondara::FileKind::SurveyFile || kind == sondara::FileKind::Json;
}

}  // namespace

CMainFrame::CMainFrame(SurveyDocument& document, Options options, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      options_(std::move(options)),
      recent_(options_.settingsPath),
      line_(document_.store()) {
    InitResources();
    setWindowTitle("Sondara");
    setWindowIcon(QIcon(":/icons/sondara.svg"));
    setAcceptDrops(true);
    view_ = new CTiltoraView(document_, this);
    setCentralWidget(view_);
    CreateResultsDock();
    holeParamsDialog_ = std::make_unique<CWellSetDlg>(document_.store(), this);

    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    ConnectInstrumentCommands();
    ConnectPlotCommands();

    UpdateCommandStates();
    UpdateDownloadState();
    // Like a message posted to itself: the scan runs once the event loop is up.
    if (options_.scanPortsAtStart) QTimer::singleShot(0, this, &CMainFrame::PortScan);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& shortcut) {
    QAction* action = actions_.value(id);
    if (!action) {
        action = new QAction(text, this);
        action->setData(id);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        if (auto strings = CommandStrings().find(id); strings != CommandStrings().end()) {
            const QStringList parts = strings->split('\n');
            action->setStatusTip(parts.value(0));
            action->setToolTip(parts.value(1, parts.value(0)));
        }
        actions_.insert(id, action);
    }
    if (menu) menu->addAction(action);
    return action;
}

void CMainFrame::CreateMenus() {
    using namespace command;
    QMenu* file = menuBar()->addMenu("文件(&F)");
    fileMenu_ = file;
    Handle(AddCommand(file, kFileOpen, "打开(&O)...", QKeySequence("Ctrl+O")), &CMainFrame::OnFileOpen);
    Handle(AddCommand(file, kOpenJson, "打开Json文件"), &CMainFrame::OnFileOpenJson);
    Handle(AddCommand(file, kFileSave, "保存(&S)", QKeySequence("Ctrl+S")), &CMainFrame::OnFileSave);
    Handle(AddCommand(file, kFileSaveAs, "另存为(&A)..."), &CMainFrame::OnFileSave);
    file->addSeparator();
    AddCommand(file, kFilePrint, "打印(&P)...", QKeySequence("Ctrl+P"));
    AddCommand(file, kFilePrintPreview, "打印预览(&V)");
    AddCommand(file, kFilePrintSetup, "打印设置(&R)...");
    file->addSeparator();
    AddCommand(file, kFileMruFirst, "最近的文件")->setEnabled(false);
    recentSeparator_ = file->addSeparator();
    Handle(AddCommand(file, kAppExit, "退出(&X)"), &QWidget::close);
    UpdateRecentFileMenu();

    QMenu* port = menuBar()->addMenu("通信端口设置");
    AddCommand(port, kChoosePort, "选择通信端口");
    AddCommand(port, kConnect, "连接")->setCheckable(true);
    connect(port, &QMenu::aboutToShow, this, &CMainFrame::UpdateConnectState);

    QMenu* probe = menuBar()->addMenu("探管");
    // The two clear commands read alike in the menus; their tool tips name the instrument.
    probe->setToolTipsVisible(true);
    AddCommand(probe, kProbeTest, "连接测试");
    AddCommand(probe, kProbeClock, "时钟校准");
    AddCommand(probe, kProbeDownload, "读取历史数据");
    AddCommand(probe, kProbeRealTime, "实时数据输出");
    AddCommand(probe, kProbeClear, "清空探管数据");

    QMenu* sync = menuBar()->addMenu("同步器");
    sync->setToolTipsVisible(true);
    AddCommand(sync, kSyncTest, "连接测试");
    AddCommand(sync, kSyncClock, "时钟校准");
    AddCommand(sync, kSyncDownload, "读取历史数据");
    AddCommand(sync, kSyncClear, "清空历史数据");

    QMenu* processing = menuBar()->addMenu("数据处理");
    Handle(AddCommand(processing, kHoleParams, "钻孔参数输入"), &CMainFrame::OnHoleParams);
    AddCommand(processing, kTrajectory, "轨迹计算");

    QMenu* viewMenu = menuBar()->addMenu("视图(&V)");
    QMenu* bars = viewMenu->addMenu("工具栏和停靠窗口(&T)");
    connect(bars, &QMenu::aboutToShow, this, [this, bars] {
        bars->clear();
        for (QToolBar* bar : findChildren<QToolBar*>()) bars->addAction(bar->toggleViewAction());
        for (QDockWidget* dock : findChildren<QDockWidget*>()) bars->addAction(dock->toggleViewAction());
    });
    QAction* statusToggle = AddCommand(viewMenu, kViewStatusBar, "状态栏(&S)");
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    Handle(statusToggle, [this](bool on) { statusBar()->setVisible(on); });
    auto* modes = new QActionGroup(this);
    for (int id : {kShowAll, kShowSampled}) {
        QAction* a = AddCommand(viewMenu, id, id == kShowAll ? "显示全部数据" : "显示采样数据");
        a->setCheckable(true);
        modes->addAction(a);
    }
    actions_[kShowAll]->setChecked(true);
    Handle(actions_[kShowAll], &CMainFrame::OnShowAll);
    Handle(actions_[kShowSampled], &CMainFrame::OnShowSampled);

    QMenu* help = menuBar()->addMenu("帮助(&H)");
    Handle(AddCommand(help, kAppAbout, "关于 Sondara(&A)..."), &CMainFrame::OnAbout);

    // Edit commands reached only by their keys; nothing handles cut, copy and paste.
    for (auto [id, keys] : {std::pair{kEditCopy, "Ctrl+C"}, {kEditCut, "Ctrl+X"}, {kEditPaste, "Ctrl+V"}}) {
        QAction* a = AddCommand(nullptr, id, "", QKeySequence(keys));
        a->setEnabled(false);
        addAction(a);
    }
    // Undo and redo of the hand changes in the table, enabled while there is a step.
    QUndoStack& undo = document_.undoStack();
    QAction* undoAction = AddCommand(nullptr, kEditUndo, "撤销", QKeySequence("Ctrl+Z"));
    QAction* redoAction = AddCommand(nullptr, kEditRedo, "重做", QKeySequence("Ctrl+Y"));
    Handle(undoAction, [this] { document_.undoStack().undo(); });
    Handle(redoAction, [this] { document_.undoStack().redo(); });
    undoAction->setEnabled(undo.canUndo());
    redoAction->setEnabled(undo.canRedo());
    connect(&undo, &QUndoStack::canUndoChanged, undoAction, &QAction::setEnabled);
    connect(&undo, &QUndoStack::canRedoChanged, redoAction, &QAction::setEnabled);
    addAction(undoAction);
    addAction(redoAction);
}

void CMainFrame::CreateResultsDock() {
    results_ = new HoleResultsPanel(document_, this);
    auto* dock = new QDockWidget("钻孔成果", this);
    dock->setObjectName("钻孔成果");
    dock->setWidget(results_);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    connect(view_, &CTiltoraView::currentRecordChanged, results_, &HoleResultsPanel::ShowRecord);
    // The end of a download refills the table with the new holes without a document
    // update: the panel reads them then too.
    connect(&view_->model(), &QAbstractItemModel::modelReset, results_, &HoleResultsPanel::Refresh);
}

void CMainFrame::CreateToolBar() {
    using namespace command;
    QToolBar* bar = addToolBar("标准");
    bar->setObjectName("标准");
    bar->setIconSize(QSize(32, 32));
    const std::pair<int, const char*> buttons[] = {
        {kFileOpen, "open"},
        {kFileSave, "save"},
        {0, nullptr},
        {kConnect, "connect"},
        {kSyncTest, "sync-test"},
        {kSyncClock, "sync-clock"},
        {kSyncDownload, "sync-download"},
        {kSyncClear, "sync-clear"},
        {0, nullptr},
        {kHoleParams, "hole-params"},
        {kTrajectory, "trajectory"},
        {0, nullptr},
        {kShowAll, "show-all"},
        {0, nullptr},
        {kShowSampled, "show-sampled"},
        {0, nullptr},
        {kFilePrint, "print"},
        {kAppAbout, "about"},
    };
    for (auto [id, icon] : buttons) {
        if (!id) {
            bar->addSeparator();
            continue;
        }
        QAction* a = actions_.value(id);
        a->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
        bar->addAction(a);
    }
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    // The idle text comes back whenever a menu prompt has gone.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage("就绪");
    });
    bar->showMessage("就绪");
    statusPane_ = new QLabel("程序准备就绪");
    progress_ = new QProgressBar;
    progress_->setObjectName("进度条");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(400);
    countPane_ = new QLabel;
    countPane_->setObjectName("记录数");
    // Beside the progress bar, where a long download is watched: stopping it.
    auto* stop = new QToolButton;
    stop->setDefaultAction(AddCommand(nullptr, command::kStopDownload, "停止读取"));
    stop->setAutoRaise(true);
    bar->addPermanentWidget(statusPane_);
    bar->addPermanentWidget(countPane_);
    bar->addPermanentWidget(progress_);
    bar->addPermanentWidget(stop);
    for (const char* key : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(key);
        pane->setEnabled(false);  // the lock states are not known to the program
        bar->addPermanentWidget(pane);
    }
    // The quality checks' summary and clock offer, before pane 1: after every load (the
    // views' update) and every completed download.
    auto* quality = new QualityStatus(document_);
    bar->insertPermanentWidget(0, quality);
    // The results panel marks the flagged stations of the hole it shows and lists the
    // hole's findings.
    connect(quality, &QualityStatus::checked, results_,
            [this, quality] { results_->ShowQuality(quality->report(), quality->options()); });
    connect(this, &CMainFrame::deviceEvent, quality, [quality](const sondara::DeviceEvent& event) {
        if (const auto* finished = std::get_if<sondara::DownloadFinished>(&event); finished && finished->holesAssembled)
            quality->RefreshSoon();
    });
}

void CMainFrame::SetStatusText(const QString& text) { statusPane_->setText(text); }
QString CMainFrame::statusText() const { return statusPane_->text(); }
void CMainFrame::SetProgress(int percent) { progress_->setValue(std::clamp(percent, 0, 100)); }
void CMainFrame::SetRecordCount(std::uint32_t done, std::uint32_t total) {
    countPane_->setText(QString("%1/%2").arg(done).arg(total));
}
QString CMainFrame::recordCountText() const { return countPane_->text(); }
int CMainFrame::progress() const { return progress_->value(); }

void CMainFrame::UpdateCommandStates() {
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        if (!handled_.contains(it.key())) it.value()->setEnabled(false);
    }
}

void CMainFrame::UpdateRecentFileMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const QStringList paths = recent_.list();
    actions_[command::kFileMruFirst]->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(paths[i]).fileName()), this);
        a->setStatusTip(paths[i]);
        a->setData(command::kFileMruFirst + i);
        const QString path = paths[i];
        connect(a, &QAction::triggered, this, [this, path] {
            OpenPaths({path});
            if (!QFileInfo::exists(path)) {  // gone since: the open has said so, drop it
                recent_.Remove(path);
                UpdateRecentFileMenu();
            }
        });
        fileMenu_->insertAction(recentSeparator_, a);
        recentActions_.push_back(a);
    }
}

void CMainFrame::OnShowAll() {
    view_->setShowAll(true);
    document_.UpdateAllViews();
}

void CMainFrame::OnShowSampled() {
    view_->setShowAll(false);
    sondara::Recompute(document_.store(), sondara::SurveyChange::SampledDisplay);
    document_.UpdateAllViews();
}

void CMainFrame::OnHoleParams() {
    auto& store = document_.store();
    const auto before = store.m_holeParams;
    if (holeParamsDialog_->exec() != QDialog::Accepted) return;
    sondara::Recompute(store, sondara::SurveyChange::ParamsSaved);
    if (store.m_holeParams != before) document_.setModified(true);
    document_.UpdateAllViews();
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

bool CMainFrame::MayDiscardSurvey() {
    if (!document_.isModified()) return true;
    const auto answer = sondara::ShowMessage("当前数据尚未保存，是否保存？", "提示", sondara::MessageIcon::Question,
                                             sondara::MessageButtons::YesNoCancel);
    if (answer == sondara::MessageAnswer::No) return true;
    if (answer == sondara::MessageAnswer::Yes) return OnFileSave();
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (MayDiscardSurvey())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && OpensByDrop(url.toLocalFile())) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (OpenPaths(paths)) event->acceptProposedAction();
}
