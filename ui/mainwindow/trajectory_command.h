#pragma once
// The main window's "轨迹计算": recompute every hole, open a new plot window, write
// the group-plot exchange file and hand it to the group viewer.

class QWidget;
class SurveyDocument;
struct ViewerHost;

// In this order: depth and trajectory passes over all holes (the views redraw); a new
// plot window owned by `owner` on hole 0, opened in every case; "钻孔数据为空" and stop
// when there are no holes; the exchange file, or its failure message and stop; then
// StartGroupViewer. The plot window lives on its own (deleted when closed).
void OnTrajectoryCommand(SurveyDocument& document, QWidget* owner);

// The same with the viewer reached through `host` (tests give a stand-in).
void OnTrajectoryCommand(SurveyDocument& document, QWidget* owner, ViewerHost& host);
