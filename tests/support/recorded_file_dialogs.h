#pragma once
// A file-dialog sink for tests: what the program asked for, answered from a queue.

#include <QStringList>

#include <cstddef>
#include <vector>

#include "ui/common/file_dialogs.h"

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
