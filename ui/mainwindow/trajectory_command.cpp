#include "ui/mainwindow/trajectory_command.h"

#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSysInfo>

#include "core/survey_pipeline.h"
#include "io/group_plot_file.h"
#include "ui/common/document.h"
#include "ui/common/file_messages.h"
#include "ui/common/local_path.h"
#include "ui/plots/plot_window.h"
#include "ui/viewer/group_viewer.h"

void OnTrajectoryCommand(SurveyDocument& document, QWidget* owner, ViewerHost& host) {
    sondara::SurveyStore& store = document.store();
    sondara::Recompute(store, sondara::SurveyChange::TrajectoryCommand);
    document.UpdateAllViews();
    QPointer<CPlottingFrame> plot = OpenPlotWindow(document, owner);
    // A message box of the steps below gives the focus back to the main window when it
    // closes: the plot window comes to the front again afterwards.
    const auto toFront = qScopeGuard([plot] {
        if (!plot) return;
        plot->raise();
        plot->activateWindow();
    });
    // An empty survey or a file that cannot be written leaves the single-hole plot.
    if (!sondara::ShowFileResult(sondara::WriteGroupPlotFile(store))) return;
    StartGroupViewer(host, QSysInfo::currentCpuArchitecture());
}

void OnTrajectoryCommand(SurveyDocument& document, QWidget* owner) {
    const QString folder = QFileInfo(QtPath(sondara::GroupPlotFilePath())).absolutePath();
    ViewerHost host = DesktopViewerHost(owner, folder);
    OnTrajectoryCommand(document, owner, host);
}
