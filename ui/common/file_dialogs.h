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

// For tests: records every request and answers with the next queued choice
// (a cancel once the queue is empty).
class RecordedFileDialogs {
public:
    RecordedFileDialogs() : scope_([this](const FileDialogRequest& r) { return Record(r); }) {}
    void Answer(QStringList paths) { answers_.push_back(std::move(paths)); }
    const std::vector<FileDialogRequest>& requests() const { return requests_; }

private:
    QStringList Record(const FileDialogRequest& r) {
        requests_.push_back(r);
        return next_ < answers_.size() ? answers_[next_++] : QStringList{};
    }
    std::vector<FileDialogRequest> requests_;
    std::vector<QStringList> answers_;
    std::size_t next_ = 0;
    ScopedFileDialogSink scope_;
};
