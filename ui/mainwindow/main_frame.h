#pragma once
// The main window: menus, the toolbar "标准", the status bar with the conversation
// text in pane 1 and the progress bar in pane 2, the three timers, the start-up port
// scan, and the routing of every command to the document, the table, the dialogs and
// the instrument conversations.

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <QTimer>

#include <memory>

#include "device/conversation_host.h"
#include "device/instrument_session.h"
#include "device/serial_link.h"
#include "ui/mainwindow/frame_conversation_host.h"
#include "ui/mainwindow/recent_files.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class CRealTimeDlg;
class CRtcSetDlg;
class CTiltoraView;
class CWellSetDlg;
class SurveyDocument;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    struct Options {
        bool scanPortsAtStart = true;
        // false maps COMn only through the port folder, never to a machine's real
        // ports (tests).
        bool systemPortTable = true;
        QString settingsPath;  // empty: the user's own settings
    };

    CMainFrame(SurveyDocument& document, Options options, QWidget* parent = nullptr);
    ~CMainFrame() override;

    SurveyDocument& document() { return document_; }
    CTiltoraView& view() { return *view_; }
    QAction* action(int id) const { return actions_.value(id); }

    // Status-bar pane 1 and the progress bar of pane 2.
    void SetStatusText(const QString& text);
    QString statusText() const;
    void SetProgress(int percent);
    int progress() const;
    QProgressBar& progressBar() { return *progress_; }

    // The three timers of the main window, each periodic once started.
    QTimer& timer(sondara::DeviceTimer which);

    sondara::SerialLink& link() { return link_; }
    sondara::InstrumentSession& session() { return session_; }
    CRealTimeDlg& realTimeDialog() { return *realTimeDialog_; }
    CRtcSetDlg& clockDialog() { return *clockDialog_; }

    // Opens survey files (.bhx, several merged) or one JSON survey, as the open
    // commands do, after asking about unsaved data. For the command line, drops
    // and the recent-file list.
    bool OpenPaths(const QStringList& paths);

    // The unsaved-data question; true when the caller may go on.
    bool MayDiscardSurvey();

    int lastPort() const { return lastPort_; }
    // Opens COMn through the port map (only the port folder when systemPortTable is
    // off); true when it opened.
    bool OpenComPort(int number);

signals:
    // Every notification of the instrument conversations (sondara::ConversationEvent).
    void conversationEvent(int event);

public slots:
    void OnFileOpen();
    void OnFileOpenJson();
    bool OnFileSave();
    void OnShowAll();
    void OnShowSampled();
    void OnHoleParams();
    void OnAbout();
    void PortScan();
    void OnChoosePort();
    void OnConnectToggle();
    void OnProbeClock();
    void OnSyncClock();
    void OnProbeDownload();
    void OnSyncDownload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& shortcut = {});
    // Connects a command to its handler; commands that get none show disabled.
    template <typename Handler>
    void Handle(QAction* action, Handler handler) {
        connect(action, &QAction::triggered, this, handler);
        handled_.insert(action->data().toInt());
    }
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateCommandStates();
    void UpdateRecentFileMenu();
    void UpdateConnectState();
    void ConnectInstrumentCommands();
    void ConnectPlotCommands();
    void RunClockDialog(int target);
    bool MayReplaceDownload(bool recordsPresent);
    bool LoadSurveyFiles(const QStringList& paths);
    bool ImportJson(const QString& path);
    bool SaveTo(const QString& path);

    SurveyDocument& document_;
    Options options_;
    CTiltoraView* view_;
    QHash<int, QAction*> actions_;
    QSet<int> handled_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QLabel* statusPane_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTimer timers_[3];  // reply time-out, real-time sample, progress animation
    RecentFiles recent_;
    sondara::SerialLink link_;
    FrameConversationHost host_{*this};
    sondara::InstrumentSession session_{host_};
    std::unique_ptr<CWellSetDlg> holeParamsDialog_;
    std::unique_ptr<CRealTimeDlg> realTimeDialog_;
    std::unique_ptr<CRtcSetDlg> clockDialog_;
    int lastPort_ = 1;    // the port the connect toggle opens
    QString lastDevice_;  // or the device path chosen in the port dialog
};
