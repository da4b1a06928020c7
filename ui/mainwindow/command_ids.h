#pragma once
// The numbers of the main window's commands, as menus, toolbar and accelerators
// name them.

namespace command {

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMruFirst = 57616;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kOpenJson = 32871;
inline constexpr int kChoosePort = 32786;
inline constexpr int kConnect = 32799;
inline constexpr int kProbeTest = 32787;
inline constexpr int kProbeClock = 32810;
inline constexpr int kProbeDownload = 32788;
inline constexpr int kProbeRealTime = 32789;
inline constexpr int kProbeClear = 32790;
inline constexpr int kSyncTest = 32791;
inline constexpr int kSyncClock = 32812;
inline constexpr int kSyncDownload = 32792;
inline constexpr int kSyncClear = 32793;
inline constexpr int kStopDownload = 32900;  // stops a download under way, keeping what arrived
inline constexpr int kHoleParams = 32794;
inline constexpr int kTrajectory = 32821;
inline constexpr int kShowAll = 32826;
inline constexpr int kShowSampled = 32827;

}  // namespace command
