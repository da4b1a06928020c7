#pragma once
// The seam every file dialog passes through: the program shows a real QFileDialog,
// tests answer with the paths they want chosen (or none, for a cancel).

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <vector>

class QWidget;

enum class FileDialogKind { OpenFiles, OpenFile, SaveFile };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::OpenFile;
    QString filter;         // Qt form: "name (*.a *.b);;other (*)"
    QString defaultSuffix;  // added when the user types a name without one
    QString selectedPath;   // the file (and so the folder) the dialog opens on; may be empty
    // Whether the suffix added follows the filter the user picks (its first "*.ext"),
    // starting from `defaultSuffix`.
    bool suffixFollowsFilter = false;
    QString title = {};  // the window title, when not the dialog's own ("打开", "另存为")
};

// The chosen paths; empty when the user cancelled.
using FileDialogSink = std::function<QStringList(const FileDialogRequest&)>;

FileDialogSink& CurrentFileDialogSink();
FileDialogSink QtFileDialogSink(QWidget* parent);
QStringList AskForFiles(const FileDialogRequest& request);

// The dialogs of the file commands.
FileDialogRequest SurveyOpenDialog();                                 // several survey files at once
FileDialogRequest SurveySaveDialog(const QString& currentFile = {});  // survey file or Excel workbook
FileDialogRequest JsonOpenDialog();

class ScopedFileDialogSink {
public:
    explicit ScopedFileDialogSink(FileDialogSink sink) : saved_(CurrentFileDialogSink()) {
        CurrentFileDialogSink() = std::move(sink);
    }
    ~ScopedFileDialogSink() { CurrentFileDialogSink() = std::move(saved_); }
    ScopedFileDialogSink(const ScopedFileDialogSink&) = delete;
    ScopedFileDialogSink& operator=(const ScopedFileDialogSink&) = delete;

private:
    FileDialogSink saved_;
};
