#pragma once
// The main window: menus, the toolbar "标准", the status bar with the conversation
// text in pane 1 and the progress bar in pane 2, the three timers, the start-up port
// scan, and the routing of every command to the document, the table, the dialogs and
// the instrument conversations.

#include <QAction>
#include <QHash>
#include <QSet>
#include <QMainWindow>
#include <QTimer>

#include <memory>

#include "recent_files.h"

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

    // The three timers of the main window.
    QTimer& replyTimer() { return replyTimer_; }
    QTimer& realTimeTimer() { return realTimeTimer_; }
    QTimer& progressTimer() { return progressTimer_; }
    void ArmReplyTimer(int milliseconds) { replyTimer_.start(milliseconds); }

    // Opens survey files (.bhx, several merged) or one JSON survey, as the open
    // commands do, after asking about unsaved data. For the command line, drops
    // and the recent-file list.
    bool OpenPaths(const QStringList& paths);

    // The unsaved-data question; true when the caller may go on.
    bool MayDiscardSurvey();

    int lastPort() const { return lastPort_; }

public slots:
    void OnFileOpen();
    void OnFileOpenJson();
    bool OnFileSave();
    void OnShowAll();
    void OnShowSampled();
    void OnHoleParams();
    void OnAbout();
    void PortScan();
    void OnReplyTimeout();

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
    QTimer replyTimer_;
    QTimer realTimeTimer_;
    QTimer progressTimer_;
    RecentFiles recent_;
    std::unique_ptr<CWellSetDlg> holeParamsDialog_;
    int lastPort_ = 1;  // the port the connect toggle opens
};
