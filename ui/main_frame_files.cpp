// The file commands of the main window: the file dialogs in front of the survey
// file, JSON import and Excel export functions.

#include <QFileInfo>

#include "document.h"
#include "file_dialogs.h"
#include "main_frame.h"

void CMainFrame::OnFileOpen() {
    if (!MayDiscardSurvey()) return;
    const QStringList paths = AskForFiles(SurveyOpenDialog());
    if (!paths.isEmpty()) LoadSurveyFiles(paths);
    document_.UpdateAllViews();
}

void CMainFrame::OnFileOpenJson() {
    if (!MayDiscardSurvey()) return;
    const QStringList paths = AskForFiles(JsonOpenDialog());
    if (!paths.isEmpty()) ImportJson(paths.front());
    document_.UpdateAllViews();
}

bool CMainFrame::OnFileSave() {
    const QStringList paths = AskForFiles(SurveySaveDialog());
    if (paths.isEmpty()) return false;
    return SaveTo(paths.front());
}

bool CMainFrame::OpenPaths(const QStringList& paths) {
    if (paths.isEmpty() || !MayDiscardSurvey()) return false;
    QStringList surveys;
    QString json;
    for (const QString& p : paths) {
        if (QFileInfo(p).suffix().compare("json", Qt::CaseInsensitive) == 0) {
            if (json.isEmpty()) json = p;
        } else {
            surveys << p;
        }
    }
    const bool opened = surveys.isEmpty() ? ImportJson(json) : LoadSurveyFiles(surveys);
    document_.UpdateAllViews();
    return opened;
}

bool CMainFrame::LoadSurveyFiles(const QStringList&) { return false; }
bool CMainFrame::ImportJson(const QString&) { return false; }
bool CMainFrame::SaveTo(const QString&) { return false; }
