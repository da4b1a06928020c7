// The main window's commands that reach the printed report and the plot window.

#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/mainwindow/trajectory_command.h"
#include "ui/report/print_commands.h"

void CMainFrame::ConnectPlotCommands() {
    Handle(actions_[command::kFilePrint], [this] { OnFilePrint(document_, this); });
    Handle(actions_[command::kFilePrintPreview], [this] { OnFilePrintPreview(document_, this); });
    Handle(actions_[command::kFilePrintSetup], [this] { OnFilePrintSetup(this); });
    Handle(actions_[command::kTrajectory], [this] { OnTrajectoryCommand(document_, this); });
}
