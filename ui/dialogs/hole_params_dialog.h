#pragma once
// "矿孔参数设置": the grid in which the user enters every hole's start parameters and
// the one magnetic declination, checks them and writes them back into the store.
// The dialog ends with Accepted (the save result) when the main frame should apply
// the parameters and recompute.

#include <QDialog>
#include <QTableWidget>

#include "core/records.h"
#include "io/survey_file.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The longest hole name the survey file keeps, in UTF-16 units.
inline constexpr int kMaxHoleNameUnits = int(sondara::kNameUnits);

// The grid: reports clicks (also on no row) and the Insert and Delete keys, and can
// commit an open in-place edit on request.
class HoleParamsGrid : public QTableWidget {
    Q_OBJECT

public:
    using QTableWidget::QTableWidget;
    void CommitOpenEditor();

signals:
    void rowClicked(int row);  // -1 when no row is hit
    void insertPressed();
    void deletePressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class CWellSetDlg : public QDialog {
    Q_OBJECT

public:
    enum Column { kIndex = 0, kName, kRodLength, kDesignInc, kDesignAzi, kX0, kY0, kZ0, kE0, kN0, kD0, kColumnCount };

    explicit CWellSetDlg(sondara::SurveyStore& store, QWidget* parent = nullptr);

    // Sets the dialog up anew from the store; exec() does this itself.
    void Setup();
    int exec() override;

    HoleParamsGrid& grid() { return *grid_; }
    QLineEdit& declinationBox() { return *declination_; }
    // The line under the buttons: what is wrong with a cell, or what the dialog proposed.
    QString statusText() const;
    // Whether the cell breaks its column's rule (and is marked).
    bool cellMarked(int row, int column) const;
    // Whether the grid or the declination differ from what the dialog opened with.
    bool editedSinceOpening() const;
    int selected() const { return selected_; }
    bool modified() const { return modified_; }

public slots:
    void ClickRow(int row);
    void AddRow();
    void DeleteRow();
    void MoveUp();
    void MoveDown();
    void SaveAndClose();
    // Escape and the close box: with edits not yet saved, asks first.
    void reject() override;

private:
    // The rule a cell's text breaks, or an empty text; `blocking` tells whether the save
    // refuses it (otherwise the save reads as much of it as forms a number).
    QString CellProblem(int row, int column, const QString& text, bool* blocking) const;
    void CheckCells();
    void ShowTypedProblem(int row, int column, const QString& text);
    void ShowStatus(const QString& problem);
    QStringList GridTexts() const;
    void ProposeMissingRows();
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString& text);
    void InsertRow(int row, const QStringList& texts);
    void RenumberFrom(int row);
    void SelectOnly(int row);
    void SwapRows(int a, int b);
    bool SaveParams();
    bool ValidateRow(int row);

    sondara::SurveyStore& store_;
    HoleParamsGrid* grid_;
    QLineEdit* declination_;
    QLabel* status_;
    QString proposal_;  // the status text while no cell breaks a rule
    QStringList openingTexts_;
    int selected_ = -1;
    bool modified_ = false;
    bool filling_ = false;
};
