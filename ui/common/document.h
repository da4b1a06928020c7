#pragma once
// The one document of a run: it holds the survey store for the application's
// lifetime and tells every view (table, plot windows) when to redraw from it.

#include <QObject>
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

    // Edits of the survey, undone and redone step by step.
    QUndoStack& undoStack() { return undoStack_; }

signals:
    void updated();

private:
    sondara::SurveyStore store_;
    bool modified_ = false;
    QUndoStack undoStack_;
};
