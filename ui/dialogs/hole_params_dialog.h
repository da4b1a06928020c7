#pragma once
// "矿孔参数设置": the grid in which the user enters every hole's start parameters and
// the one magnetic declination, checks them and writes them back into the store.
// The dialog ends with Accepted (the save result) when the main frame should apply
// the parameters and recompute.

#include <QDialog>
#include <QTableWidget>

#include "core/records.h"

class QLineEdit;
class QPushButton;

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
    int selected() const { return selected_; }
    bool modified() const { return modified_; }

public slots:
    void ClickRow(int row);
    void AddRow();
    void DeleteRow();
    void MoveUp();
    void MoveDown();
    void SaveAndClose();

private:
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
    int selected_ = -1;
    bool modified_ = false;
    bool filling_ = false;
};
