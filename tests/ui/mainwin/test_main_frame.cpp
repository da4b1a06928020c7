#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "core/survey_pipeline.h"
#include "core/trajectory.h"
#include "frame_fixture.h"
#include "io/survey_file.h"
#include "ui/common/file_texts.h"
#include "ui/dialogs/hole_params_dialog.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/plots/plot_window.h"
#include "ui/table/survey_table_view.h"

using namespace sondara;
using namespace command;

namespace {

struct MainFrameTest : ::testing::Test, test::FrameFixture {};

SurveyStore TwoHoleSurvey() {
    SurveyStore s;
    for (int hole = 0; hole < 2; ++hole) {
        HoleSurvey h;
        for (int k = 0; k < 3; ++k) {
            ProbeRecord r;
            r.flag = kSampled | kStation;
            r.azi = 90;
            h.records.push_back(r);
        }
        s.m_holes.push_back(h);
    }
    return s;
}

QStringList ItemTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            texts << "-";
        else if (a->isVisible())
            texts << a->text() + (a->shortcut().isEmpty() ? "" : "\t" + a->shortcut().toString());
    }
    return texts;
}

}  // namespace

TEST_F(MainFrameTest, Menus_HaveEveryItemAndShortcut) {
    QStringList titles;
    QHash<QString, QStringList> items;
    for (QAction* m : frame->menuBar()->actions()) {
        titles << m->text();
        items[m->text()] = ItemTexts(m->menu());
    }
    EXPECT_EQ(titles, QStringList({"文件(&F)", "通信端口设置", "探管", "同步器", "数据处理", "视图(&V)", "帮助(&H)"}));
    EXPECT_EQ(items["文件(&F)"], QStringList({"打开(&O)...\tCtrl+O", "打开Json文件", "保存(&S)\tCtrl+S",
                                              "另存为(&A)...", "-", "打印(&P)...\tCtrl+P", "打印预览(&V)",
                                              "打印设置(&R)...", "-", "最近的文件", "-", "退出(&X)"}));
    EXPECT_EQ(items["通信端口设置"], QStringList({"选择通信端口", "连接"}));
    EXPECT_EQ(items["探管"], QStringList({"连接测试", "时钟校准", "读取历史数据", "实时数据输出", "清空探管数据"}));
    EXPECT_EQ(items["同步器"], QStringList({"连接测试", "时钟校准", "读取历史数据", "清空历史数据"}));
    EXPECT_EQ(items["数据处理"], QStringList({"钻孔参数输入", "轨迹计算"}));
    EXPECT_EQ(items["视图(&V)"], QStringList({"工具栏和停靠窗口(&T)", "状态栏(&S)", "显示全部数据", "显示采样数据"}));
    EXPECT_EQ(items["帮助(&H)"], QStringList({"关于 Sondara(&A)..."}));
    EXPECT_EQ(Command(kSyncDownload).statusTip(), "读取同步器数据");
    EXPECT_EQ(Command(kSyncDownload).toolTip(), "历史数据");
}

TEST_F(MainFrameTest, CommandsWithoutHandler_ShowDisabled) {
    for (int id : {kEditCopy, kEditCut, kEditPaste, kEditUndo, kFileMruFirst})
        EXPECT_FALSE(Command(id).isEnabled()) << id;
    for (int id : {kFileOpen,    kOpenJson,     kFileSave,         kFileSaveAs,     kChoosePort, kConnect,
                   kProbeTest,   kProbeClock,   kProbeDownload,    kProbeRealTime,  kProbeClear, kSyncTest,
                   kSyncClock,   kSyncDownload, kSyncClear,        kHoleParams,     kTrajectory, kShowAll,
                   kShowSampled, kFilePrint,    kFilePrintPreview, kFilePrintSetup, kAppAbout,   kAppExit})
        EXPECT_TRUE(Command(id).isEnabled()) << id;
}

TEST_F(MainFrameTest, ToolbarAndStatusBar_AsLaidOut) {
    auto* bar = frame->findChild<QToolBar*>("标准");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));
    QList<int> ids;
    for (QAction* a : bar->actions()) ids << (a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(ids, QList<int>({kFileOpen, kFileSave, 0, kConnect, kSyncTest, kSyncClock, kSyncDownload, kSyncClear, 0,
                               kHoleParams, kTrajectory, 0, kShowAll, 0, kShowSampled, 0, kFilePrint, kAppAbout}));
    for (QAction* a : bar->actions())
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().pixmap(32, 32).isNull()) << a->text().toStdString();
        }

    EXPECT_EQ(frame->windowTitle(), "Sondara");
    EXPECT_EQ(frame->statusText(), "程序准备就绪");
    frame->resize(900, 600);
    frame->show();
    frame->resize(1300, 700);
    QCoreApplication::processEvents();
    const QRect barRect = frame->statusBar()->rect();
    const QRect progress = frame->progressBar().geometry();
    EXPECT_EQ(progress.width(), 400);
    EXPECT_TRUE(barRect.contains(progress)) << "the progress bar stays inside the status bar";
}

TEST_F(MainFrameTest, PortScan_OpensFirstPortAndToggleReopensIt) {
    test::Pty pty;
    LinkPort(3, pty.device);
    {
        RecordedMessages messages;
        frame->PortScan();
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, "串口3已打开");
        EXPECT_EQ(messages.messages()[0].icon, MessageIcon::None);
    }
    EXPECT_EQ(frame->lastPort(), 3);
    EXPECT_EQ(Command(kConnect).text(), "断开连接");
    EXPECT_TRUE(Command(kConnect).isChecked());

    Command(kConnect).trigger();
    EXPECT_EQ(Command(kConnect).text(), "连接");
    EXPECT_FALSE(Command(kConnect).isChecked());
    {
        RecordedMessages messages;
        Command(kProbeTest).trigger();
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, "串口没有打开");
    }
    Command(kConnect).trigger();
    EXPECT_EQ(frame->link().GetPortNumber(), 3);
    EXPECT_TRUE(Command(kConnect).isChecked());
}

TEST_F(MainFrameTest, PortScan_WithoutPorts_ReportsError) {
    RecordedMessages messages;
    frame->PortScan();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "未找到有效串口");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(Command(kConnect).text(), "连接");
}

TEST_F(MainFrameTest, NoReply_TimesOutAndStopsClearing) {
    test::Pty pty;
    LinkPort(2, pty.device);
    ASSERT_TRUE(frame->OpenComPort(2));
    RecordedMessages messages({MessageAnswer::Ok});  // the clear question
    Command(kSyncClear).trigger();
    EXPECT_EQ(frame->statusText(), "清空中，稍候....");
    QTimer& reply = frame->timer(DeviceTimer::Reply);
    ASSERT_TRUE(reply.isActive());
    EXPECT_EQ(reply.interval(), 25000);
    ASSERT_TRUE(frame->timer(DeviceTimer::Progress).isActive());
    reply.setInterval(30);  // restarts it, short
    ASSERT_TRUE(test::RunUntil([&] { return !reply.isActive(); }, 3000));
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.messages().back().text, "超时，无返回数据");
    EXPECT_EQ(messages.messages().back().caption, "警告");
    EXPECT_FALSE(frame->timer(DeviceTimer::Progress).isActive());
    EXPECT_EQ(frame->statusText(), "任务失败");
    EXPECT_EQ(frame->progress(), 0);
}

TEST_F(MainFrameTest, OpenAndSave_GoThroughTheFileDialogs) {
    const QString file = Path("two.bhx");
    ASSERT_TRUE(SaveSurveyFile(TwoHoleSurvey(), file.toStdString()));
    files.Answer({file});
    Command(kFileOpen).trigger();
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].kind, FileDialogKind::OpenFiles);
    EXPECT_EQ(frame->view().model().rowCount(), 6);
    EXPECT_EQ(frame->windowTitle(), "Sondara");
    EXPECT_FALSE(document.isModified());

    const QString copy = Path("copy.bhx");
    files.Answer({copy});
    Command(kFileSaveAs).trigger();
    EXPECT_EQ(files.requests().back().kind, FileDialogKind::SaveFile);
    EXPECT_EQ(files.requests().back().selectedPath, file) << "the dialog opens on the file that is open";
    Command(kFileSave).trigger();
    EXPECT_EQ(files.requests().back().selectedPath, copy) << "and then on the file last saved";
    QFile a(file), b(copy);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    // A cancelled open changes nothing.
    Command(kFileOpen).trigger();
    EXPECT_EQ(frame->view().model().rowCount(), 6);
}

TEST_F(MainFrameTest, UnsavedSurvey_AskedBeforeCloseOrOpen) {
    document.store() = TwoHoleSurvey();
    document.setModified(true);
    {
        RecordedMessages messages({MessageAnswer::Cancel});
        EXPECT_FALSE(frame->close());
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].caption, "提示");
        EXPECT_EQ(messages.messages()[0].buttons, MessageButtons::YesNoCancel);
    }
    {
        // Yes, but the save dialog is cancelled: nothing is lost, nothing opens.
        RecordedMessages messages({MessageAnswer::Yes});
        Command(kFileOpen).trigger();
        EXPECT_EQ(files.requests().size(), 1u) << "only the save dialog was shown";
        EXPECT_EQ(document.store().m_holes.size(), 2u);
    }
    {
        RecordedMessages messages({MessageAnswer::Yes});
        files.Answer({Path("kept.bhx")});
        EXPECT_TRUE(frame->close());
        EXPECT_TRUE(QFile::exists(Path("kept.bhx")));
        EXPECT_FALSE(document.isModified());
    }
}

// A save never cuts a name unasked: the window names each long name and what it
// becomes first, refuses names that would merge, and refuses a read-only target.
TEST_F(MainFrameTest, Save_AsksBeforeShorteningNamesAndRespectsReadOnlyFiles) {
    document.store() = TwoHoleSurvey();
    document.store().m_holes[0].name = u"North-Panel-001";
    const auto saveAs = [&](const char* name) {
        files.Answer({Path(name)});
        Command(kFileSaveAs).trigger();
    };
    {
        RecordedMessages messages({MessageAnswer::No});
        saveAs("long.bhx");
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].buttons, MessageButtons::YesNo);
        EXPECT_NE(messages.messages()[0].text.find("“North-Panel-001” → “North-Panel-”"), std::string::npos);
        EXPECT_FALSE(QFile::exists(Path("long.bhx")));
    }
    {
        RecordedMessages messages({MessageAnswer::Yes});
        saveAs("long.bhx");
        EXPECT_EQ(messages.messages().size(), 1u);  // the question only
        QFile saved(Path("long.bhx"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(ParseSurveyImage(saved.readAll().toStdString()).holes[0].name, u"North-Panel-");
    }
    {
        document.store().m_holes[1].name = u"North-Panel-002";
        RecordedMessages messages;
        saveAs("merged.bhx");
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text.find(kNamesCollideText), 0u) << messages.messages()[0].text;
        EXPECT_FALSE(QFile::exists(Path("merged.bhx")));
    }
    {
        document.store() = TwoHoleSurvey();
        document.setModified(true);
        QFile old(Path("ro.bhx"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        old.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        RecordedMessages messages;
        saveAs("ro.bhx");
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text.find(kReadOnlyTargetText), 0u);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "old");
        EXPECT_TRUE(document.isModified());
    }
}

TEST_F(MainFrameTest, DroppedOrNamedFile_OpensAndJoinsRecentFiles) {
    const QString file = Path("drop.bhx");
    ASSERT_TRUE(SaveSurveyFile(TwoHoleSurvey(), file.toStdString()));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame.get(), &drop);
    EXPECT_EQ(document.store().m_holes.size(), 2u);

    document.store().m_holes.clear();
    ASSERT_TRUE(frame->OpenPaths({file}));  // as from the command line
    EXPECT_EQ(document.store().m_holes.size(), 2u);

    QStringList recent;
    for (QAction* a : frame->menuBar()->actions().front()->menu()->actions())
        if (a->text().startsWith("&1")) recent << a->statusTip();
    EXPECT_EQ(recent, QStringList({file}));

    // A file that does not load does not join the list.
    const QString damaged = Path("damaged.bhx");
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("QRVTMWLN\xff\xff\xff\x7f", 12);
    out.close();
    RecordedMessages messages;
    EXPECT_FALSE(frame->OpenPaths({damaged}));
    // The survey that was open stays, and so do its rows.
    ASSERT_EQ(document.store().m_holes.size(), 2u);
    ASSERT_EQ(frame->view().model().rowCount(), 6);
    EXPECT_EQ(frame->view().model().data(frame->view().model().index(5, SurveyTableModel::kAziColumn), Qt::DisplayRole),
              "90.0");
    QStringList after;
    for (QAction* a : frame->menuBar()->actions().front()->menu()->actions())
        if (a->text().startsWith("&1")) after << a->statusTip();
    EXPECT_EQ(after, QStringList({file}));

    // A JSON survey dropped together with another file is refused, not half opened.
    const std::size_t said = messages.messages().size();
    EXPECT_FALSE(frame->OpenPaths({file, Path("survey.json")}));
    ASSERT_EQ(messages.messages().size(), said + 1);
    EXPECT_EQ(messages.messages().back().text, kJsonNotAloneText);
    EXPECT_EQ(document.store().m_holes.size(), 2u);
}

TEST_F(MainFrameTest, StatusBar_ShowsTheIdleTextAgainAfterAPrompt) {
    QStatusBar* bar = frame->statusBar();
    EXPECT_EQ(bar->currentMessage(), "就绪");
    bar->showMessage("打开一个现有文档");
    bar->clearMessage();
    EXPECT_EQ(bar->currentMessage(), "就绪");
}

TEST_F(MainFrameTest, HoleParamsSaved_AppliedAndRecomputed) {
    document.store() = TwoHoleSurvey();
    auto* dialog = frame->findChild<CWellSetDlg*>();
    ASSERT_NE(dialog, nullptr);
    RecordedMessages messages({MessageAnswer::Yes});
    // The editor proposes a row for each of the two holes; the user renames the first.
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->grid().item(0, CWellSetDlg::kName)->setText("K1");
        dialog->SaveAndClose();
    });
    Command(kHoleParams).trigger();
    ASSERT_EQ(document.store().m_holeParams.size(), 2u);
    EXPECT_EQ(document.store().m_holes[0].name, u"K1");
    EXPECT_EQ(document.store().m_holes[1].name, u"孔2");
    EXPECT_FLOAT_EQ(document.store().m_holes[0].records[2].depth, 3.0f) << "second station at two rods";
    EXPECT_TRUE(document.isModified());
}

// A corrected depth is marked on the record, kept by every depth pass, written into
// the file and read back with its mark; Ctrl+Z and Ctrl+Y follow the undo stack.
TEST_F(MainFrameTest, HandSetDepth_SurvivesDepthPassesSaveAndReload) {
    document.store() = TwoHoleSurvey();
    document.store().m_holeParams = {HoleParams{u"K1", 1.5f}, HoleParams{u"K2", 1.5f}};
    Recompute(document.store(), SurveyChange::ParamsSaved);
    Command(kShowSampled).trigger();
    EXPECT_FALSE(Command(kEditUndo).isEnabled());
    SurveyTableModel& table = frame->view().model();
    ASSERT_TRUE(table.setData(table.index(1, SurveyTableModel::kDepthColumn), QString("1.7"), Qt::EditRole));
    EXPECT_TRUE(Command(kEditUndo).isEnabled());
    EXPECT_EQ(Command(kEditUndo).shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(Command(kEditRedo).shortcut(), QKeySequence("Ctrl+Y"));
    Command(kShowAll).trigger();
    Command(kShowSampled).trigger();  // the depth pass again
    EXPECT_EQ(document.store().m_holes[0].records[1].depth, 1.7f);

    const QString file = Path("hand.bhx");
    files.Answer({file});
    Command(kFileSave).trigger();
    document.store() = {};
    ASSERT_TRUE(frame->OpenPaths({file}));
    const ProbeRecord& r = document.store().m_holes[0].records[1];
    EXPECT_EQ(r.depth, 1.7f);
    EXPECT_EQ(r.flag, kSampled | kStation | kHandDepth);
    EXPECT_FALSE(Command(kEditUndo).isEnabled()) << "a new survey starts without steps";
    Command(kShowSampled).trigger();
    EXPECT_EQ(document.store().m_holes[0].records[1].depth, 1.7f);
    EXPECT_EQ(table.data(table.index(1, SurveyTableModel::kDepthColumn), Qt::ForegroundRole).value<QBrush>().color(),
              SurveyTableModel::HandDepthColour());

    frame->view().ClearHandDepth(1);
    EXPECT_EQ(document.store().m_holes[0].records[1].depth, 1.5f);
    Command(kEditUndo).trigger();
    EXPECT_EQ(document.store().m_holes[0].records[1].depth, 1.7f);
    Command(kEditRedo).trigger();
    EXPECT_EQ(document.store().m_holes[0].records[1].depth, 1.5f);
}

TEST_F(MainFrameTest, TableColumns_FillTheWidthAndClearCommandsNameTheirInstrument) {
    std::vector<int> specified;
    int total = 0;
    for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) total += SurveyTableModel::ColumnWidth(c);
    for (int available : {600, total, 1600, 1999}) {
        const std::vector<int> widths = CTiltoraView::FittedColumnWidths(available);
        int sum = 0;
        for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) {
            EXPECT_GE(widths[c], SurveyTableModel::ColumnWidth(c));
            sum += widths[c];
        }
        EXPECT_EQ(sum, std::max(available, total)) << available;
        EXPECT_EQ(widths[0], SurveyTableModel::ColumnWidth(0)) << "the check box column stays narrow";
    }
    frame->resize(1700, 600);
    frame->show();
    QCoreApplication::processEvents();
    int shown = 0;
    for (int c = 0; c < SurveyTableModel::kColumnCount; ++c) shown += frame->view().columnWidth(c);
    EXPECT_EQ(shown, frame->view().viewport()->width());
    EXPECT_FALSE(frame->view().horizontalScrollBar()->isVisible());

    EXPECT_EQ(Command(kProbeClear).toolTip(), "清空探管数据");
    EXPECT_EQ(Command(kSyncClear).toolTip(), "清空同步器数据");
}

TEST_F(MainFrameTest, DisplayModes_SwitchTableContent) {
    document.store() = TwoHoleSurvey();
    document.store().m_holes[0].records[1].flag = 0;
    document.UpdateAllViews();
    EXPECT_EQ(frame->view().model().rowCount(), 6);
    Command(kShowSampled).trigger();
    EXPECT_EQ(frame->view().model().rowCount(), 5);
    Command(kShowAll).trigger();
    EXPECT_EQ(frame->view().model().rowCount(), 6);
}

TEST_F(MainFrameTest, TrajectoryCommand_OpensPlotWindowAndWritesExchangeFile) {
    ::setenv("XDG_CACHE_HOME", dir.path().toLocal8Bit().constData(), 1);
    const QByteArray path = qgetenv("PATH");
    ::setenv("PATH", dir.path().toLocal8Bit().constData(), 1);                // no viewer anywhere:
    ::setenv("SONDARA_VIEWER_DIR", dir.path().toLocal8Bit().constData(), 1);  // not even beside the tests
    document.store() = TwoHoleSurvey();
    RecordedMessages messages;
    Command(kTrajectory).trigger();
    EXPECT_EQ(frame->findChildren<CPlottingFrame*>().size(), 1);
    EXPECT_TRUE(QFile::exists(dir.path() + "/sondara/gpv.txt"));

    document.store() = {};
    Command(kTrajectory).trigger();
    EXPECT_EQ(frame->findChildren<CPlottingFrame*>().size(), 2) << "a plot window opens in every case";
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.messages().back().text, "钻孔数据为空");
    ::unsetenv("XDG_CACHE_HOME");
    ::unsetenv("SONDARA_VIEWER_DIR");
    ::setenv("PATH", path.constData(), 1);
}
