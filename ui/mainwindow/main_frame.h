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

#include "device/instrument_line.h"
#include "ui/mainwindow/device_presenter.h"
#include "ui/mainwindow/frame_device_view.h"
#include "ui/mainwindow/recent_files.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class CRealTimeDlg;
class CRtcSetDlg;
class CTiltoraView;
class HoleResultsPanel;
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
    HoleResultsPanel& resultsPanel() { return *results_; }
    QAction* action(int id) const { return actions_.value(id); }

    // Status-bar pane 1 and the progress bar of pane 2.
    void SetStatusText(const QString& text);
    QString statusText() const;
    void SetProgress(int percent);
    int progress() const;
    QProgressBar& progressBar() { return *progress_; }
    // Beside the progress bar: records of the download under way, "1234/5000".
    void SetRecordCount(std::uint32_t done, std::uint32_t total);
    QString recordCountText() const;

    // The instrument line: the serial link, the three timers (each periodic once
    // started) and the conversations.
    sondara::InstrumentLine& line() { return line_; }
    QTimer& timer(sondara::DeviceTimer which) { return line_.timer(which); }
    sondara::SerialLink& link() { return line_.link(); }
    sondara::InstrumentSession& session() { return line_.session(); }
    // The link opened or closed by itself: the connect toggle follows.
    void LinkStateChanged();
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
    // Every event of the instrument line, after the window has shown it.
    void deviceEvent(const sondara::DeviceEvent& event);

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
    void CreateResultsDock();
    void UpdateCommandStates();
    void UpdateRecentFileMenu();
    void UpdateConnectState();
    void UpdateDownloadState();
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
    HoleResultsPanel* results_ = nullptr;
    QHash<int, QAction*> actions_;
    QSet<int> handled_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QLabel* statusPane_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* countPane_ = nullptr;
    RecentFiles recent_;
    sondara::InstrumentLine line_;
    FrameDeviceView deviceView_{*this};
    sondara::DevicePresenter presenter_;
    std::unique_ptr<CWellSetDlg> holeParamsDialog_;
    std::unique_ptr<CRealTimeDlg> realTimeDialog_;
    std::unique_ptr<CRtcSetDlg> clockDialog_;
    int lastPort_ = 1;    // the port the connect toggle opens
    QString lastDevice_;  // or the device path chosen in the port dialog
};
