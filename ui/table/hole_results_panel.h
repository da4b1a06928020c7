#pragma once
// "钻孔成果": the computed stations of one hole beside the survey table, with the
// columns and number formats of the Excel workbook (both read the station columns),
// the hole's parameters and the refusal text of its last computation. It
// follows the table's current hole and every recompute, and copies itself to the
// clipboard as tab-separated text.

#include <QAbstractTableModel>
#include <QWidget>

#include <string>
#include <vector>

#include "core/quality/survey_quality.h"

class QLabel;
class QTableView;
class SurveyDocument;

// The stations of one hole as rows, the export's columns from depth to apparent
// displacement (the station counter first).
class HoleResultsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit HoleResultsModel(const SurveyDocument& document, QObject* parent = nullptr);

    int hole() const { return hole_; }
    // Shows hole `hole` (-1: none) read afresh from the store.
    void ShowHole(int hole);
    // The row of the station that is record `record` of the hole shown, or -1.
    int RowOfRecord(int record) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Header line and one line per station, cells separated by tabs.
    QString TabSeparatedText() const;

    // Marks the stations that the quality checks flagged, by record index of the hole
    // shown, each with what is off; rows not named are unmarked.
    void MarkStations(const std::vector<std::pair<int, QString>>& findings);
    // What is off at a row; empty for an unmarked one.
    QString RowFinding(int row) const;

private:
    QString CellText(int row, int column) const;

    const SurveyDocument& document_;
    int hole_ = -1;
    std::vector<int> stations_;      // record indices of the hole's stations
    std::vector<QString> findings_;  // per row: what the quality checks found, or empty
};

class HoleResultsPanel : public QWidget {
    Q_OBJECT

public:
    explicit HoleResultsPanel(SurveyDocument& document, QWidget* parent = nullptr);

    HoleResultsModel& model() { return model_; }
    QTableView& table() { return *table_; }
    QString paramsText() const;
    QString refusalText() const;
    QString findingsText() const;

    // The quality checks' outcome: the hole shown gets its flagged stations marked and
    // its findings listed; the panel keeps them for the holes shown after.
    void ShowQuality(const sondara::QualityReport& report, const sondara::QualityOptions& options);

public slots:
    // Shows the hole of a table row; a row of no hole keeps the hole shown.
    void ShowRecord(int hole, int record);
    // Reads the hole shown again (the first hole when it no longer exists).
    void Refresh();
    void CopyToClipboard();

private:
    void ShowHole(int hole);
    void ShowHoleFindings();

    SurveyDocument& document_;
    sondara::QualityReport quality_;
    sondara::QualityOptions qualityOptions_;
    QLabel* findings_;
    HoleResultsModel model_;
    QLabel* params_;
    QLabel* refusal_;
    QTableView* table_;
};
