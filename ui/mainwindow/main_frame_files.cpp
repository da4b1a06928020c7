// The file commands of the main window: the file dialogs in front of the survey
// file, JSON import and Excel export functions.

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "io/file_kind.h"
#include "io/json_import.h"
#include "io/save_as.h"
#include "io/survey_file.h"
#include "ui/common/document.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/file_messages.h"
#include "ui/common/local_path.h"
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
    const QStringList paths = AskForFiles(SurveySaveDialog(document_.filePath()));
    if (paths.isEmpty()) return false;
    return SaveTo(paths.front());
}

bool CMainFrame::OpenPaths(const QStringList& paths) {
    if (paths.isEmpty()) return false;
    const bool json = std::any_of(paths.begin(), paths.end(), [](const QString& p) {
        return sondara::FileKindOf(LocalPath(p)) == sondara::FileKind::Json;
    });
    if (json && paths.size() > 1) {  // a JSON survey is read alone, never merged
        sondara::FileResult refused;
        refused.Fail({sondara::FileProblemKind::JsonNotAlone});
        (void)sondara::ShowFileResult(refused);
        return false;
    }
    if (!MayDiscardSurvey()) return false;
    const bool opened = json ? ImportJson(paths.front()) : LoadSurveyFiles(paths);
    document_.UpdateAllViews();
    return opened;
}

// A merge of several files is a survey no file holds yet.
bool CMainFrame::LoadSurveyFiles(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& p : paths) files.push_back(LocalPath(p));
    // Refused files must not leave the table on an emptied store: when not one file
    // loaded, the survey that was open stays as it was.
    sondara::SurveyStore previous = std::move(document_.store());
    document_.store() = sondara::SurveyStore{};
    const sondara::OpenResult result = sondara::OpenSurveyFiles(document_.store(), files);
    const bool opened = sondara::ShowFileResult(result);
    if (result.filesFailed == int(files.size())) {
        document_.store() = std::move(previous);
        return false;
    }
    document_.undoStack().clear();
    document_.setModified(paths.size() > 1);
    document_.setFilePath(paths.size() == 1 ? paths.front() : QString());
    // A file that did not load is no survey to come back to.
    if (opened)
        for (const QString& p : paths) recent_.Add(p);
    UpdateRecentFileMenu();
    return opened;
}

// An imported survey is not yet a survey file.
bool CMainFrame::ImportJson(const QString& path) {
    sondara::SurveyStore previous = std::move(document_.store());
    document_.store() = sondara::SurveyStore{};
    const bool imported = sondara::ShowFileResult(sondara::ImportJsonFile(document_.store(), LocalPath(path)));
    if (!imported) {
        document_.store() = std::move(previous);
        return false;
    }
    document_.undoStack().clear();
    document_.setFilePath({});
    document_.setModified(true);
    recent_.Add(path);
    UpdateRecentFileMenu();
    return imported;
}

// True only when the survey now sits in a survey file; an Excel workbook cannot be
// opened again, so it does not count as saving.
bool CMainFrame::SaveTo(const QString& path) {
    const std::string file = LocalPath(path);
    const bool surveyFile = sondara::FileKindOf(file) == sondara::FileKind::SurveyFile;
    // Names the file cannot keep whole are shortened only when the user agrees; names
    // that would collide are refused by the save itself.
    sondara::LongNames longNames = sondara::LongNames::Refuse;
    const std::vector<sondara::NameCut> cuts = sondara::NamesCutOnSave(document_.store());
    if (surveyFile && !cuts.empty() && sondara::NamesCollidingOnSave(document_.store()).empty()) {
        if (sondara::ShowMessage(sondara::LongNamesQuestion(file, cuts)) != sondara::MessageAnswer::Yes) return false;
        longNames = sondara::LongNames::Shorten;
    }
    sondara::FileResult result = sondara::SaveAs(document_.store(), file, longNames);
    // The user has just agreed to the shortened names: no need to list them again.
    std::erase_if(result.problems,
                  [](const sondara::FileProblem& p) { return p.kind == sondara::FileProblemKind::NamesCut; });
    if (!sondara::ShowFileResult(result) || !surveyFile) return false;
    document_.setModified(false);
    document_.setFilePath(path);
    recent_.Add(path);
    UpdateRecentFileMenu();
    return true;
}
