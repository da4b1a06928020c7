#pragma once
// The survey table as a model over the store: one row per shown record, each row
// knowing the record it stands for, so checks and edits reach exactly that record.
// Rows hold only a reference; the values are read from the store when painted.

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>

#include <cstdint>
#include <vector>

#include "core/records.h"

class SurveyDocument;

class SurveyTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        kCheckColumn = 0,
        kHoleColumn,
        kRowColumn,
        kDepthColumn,
        kAziColumn,
        kIncColumn,
        kDipColumn,
        kGtColumn,
        kMtColumn,
        kTmpColumn,
        kVoltColumn,
        kTimeColumn,
        kRemarkColumn,
        kMarkColumn,
        kColumnCount
    };
    static int ColumnWidth(int column);

    explicit SurveyTableModel(SurveyDocument& document, QObject* parent = nullptr);

    // The colour of a depth set by hand, which the depth pass keeps.
    static QColor HandDepthColour();

    // 1: every record of each hole; 0: only sampled or station records.
    bool showAll() const { return showAll_; }
    void setShowAll(bool showAll) { showAll_ = showAll; }

    void ClearRows();
    // A row for m_probeRecords[index] / m_syncRecords[index], at the end.
    void AppendProbeRow(std::size_t index);
    void AppendSyncRow(std::size_t index);
    // All hole records the display mode shows, replacing every row.
    void FillHoleRows();
    // One row per probe / synchronizer record of the store, replacing every row.
    void FillProbeRows();
    void FillSyncRows();

    // Whether the row shows a record of m_holes, and which.
    struct HoleRecordRef {
        int hole = -1;
        int record = -1;
    };
    HoleRecordRef HoleRecordOfRow(int row) const;
    // The row that shows record `record` of hole `hole`, or -1.
    int RowOfRecord(int hole, int record) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    // hole >= 0: record `index` of m_holes[hole]; otherwise a raw record.
    static constexpr std::int32_t kProbeRow = -1;
    static constexpr std::int32_t kSyncRow = -2;
    struct RowRef {
        std::int32_t hole;
        std::int32_t index;
    };

    bool MayEdit(int row, int column) const;
    bool NearEndOfHole(int row) const;
    QString HoleRowText(const RowRef& ref, int row, int column) const;
    QString ProbeRowText(const RowRef& ref, int row, int column) const;
    QString SyncRowText(const RowRef& ref, int row, int column) const;
    bool CommitEdit(int row, int column, const QString& text);
    void OnRecordChanged(int hole, int record, int column, bool typed, const QString& typedText);
    void AppendRow(RowRef ref);
    void FillRawRows(std::int32_t kind, std::size_t count);

    SurveyDocument& document_;
    sondara::SurveyStore& store_;
    std::vector<RowRef> rows_;
    // Cells committed by an edit show the typed text until the table is refilled.
    QHash<std::uint64_t, QString> typedTexts_;
    bool showAll_ = true;
};
