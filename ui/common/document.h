#pragma once
// The one document of a run: it holds the survey store for the application's
// lifetime and tells every view (table, plot windows, results panel) when to redraw
// from it. Hand changes to records go through its undo stack.

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "core/records.h"

class SurveyDocument : public QObject {
    Q_OBJECT

public:
    explicit SurveyDocument(QObject* parent = nullptr) : QObject(parent) {}

    sondara::SurveyStore& store() { return store_; }
    const sondara::SurveyStore& store() const { return store_; }

    // Asks every view to redraw from the store.
    void UpdateAllViews() { emit updated(); }

    // Whether the store holds downloaded, imported or edited data not yet saved.
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // The survey file the store came from or was last saved to; empty for a
    // download, an import or a merge of several files.
    QString filePath() const { return filePath_; }
    void setFilePath(const QString& path) { filePath_ = path; }

    // Check-box changes and corrections, undone and redone with Ctrl+Z and Ctrl+Y.
    // Cleared whenever the records are replaced, since its steps name records by place.
    QUndoStack& undoStack() { return undoStack_; }

    // A record of m_holes changed in place (rows stay where they are). `column` is the
    // table column whose value changed, or -1 for the check box alone. With `typed`,
    // the cell shows `typedText` (what the user typed) until the next refill;
    // otherwise it shows the value.
    void NotifyRecordChanged(int hole, int record, int column, bool typed, const QString& typedText) {
        emit recordChanged(hole, record, column, typed, typedText);
    }

signals:
    void updated();
    void recordChanged(int hole, int record, int column, bool typed, const QString& typedText);

private:
    sondara::SurveyStore store_;
    bool modified_ = false;
    QString filePath_;
    QUndoStack undoStack_;
};
