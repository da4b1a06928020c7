// The file commands of the main window: the file dialogs in front of the survey
// file, JSON import and Excel export functions.

#include <QFile>
#include <QFileInfo>

#include "io/json_import.h"
#include "io/save_as.h"
#include "io/survey_file.h"
#include "ui/common/document.h"
#include "ui/common/file_dialogs.h"
#include "ui/mainwindow/main_frame.h"

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

namespace {
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

// A merge of several files is a survey no file holds yet.
bool CMainFrame::LoadSurveyFiles(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& p : paths) files.push_back(LocalPath(p));
    const sondara::OpenResult result = sondara::OpenSurveyFiles(document_.store(), files);
    document_.setModified(paths.size() > 1);
    // A file that did not load is no survey to come back to.
    if (result.ok())
        for (const QString& p : paths) recent_.Add(p);
    UpdateRecentFileMenu();
    return result.ok();
}

// An imported survey is not yet a survey file.
bool CMainFrame::ImportJson(const QString& path) {
    const bool imported = sondara::ImportJsonFile(document_.store(), LocalPath(path));
    document_.setModified(imported);
    if (imported) recent_.Add(path);
    UpdateRecentFileMenu();
    return imported;
}

// True only when the survey now sits in a survey file; an Excel workbook cannot be
// opened again, so it does not count as saving.
bool CMainFrame::SaveTo(const QString& path) {
    const std::string file = LocalPath(path);
    if (!sondara::SaveAs(document_.store(), file)) return false;
    if (sondara::SaveKindFor(file) != sondara::SaveKind::SurveyFile) return false;
    document_.setModified(false);
    recent_.Add(path);
    UpdateRecentFileMenu();
    return true;
}
