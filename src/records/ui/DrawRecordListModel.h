#pragma once

#include "records/RecordStore.h"

#include <QAbstractTableModel>

#include <vector>

namespace kuji {

// The list of records, newest first: date, mode, draw count, number of result rows and the
// first results, each row read from the beginning of its record file.
class DrawRecordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DateColumn, ModeColumn, CountColumn, ResultCountColumn, FirstResultsColumn, ColumnCount };

    explicit DrawRecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Reads the records of the store afresh.
    void reload(const RecordStore& store);
    // The record file of a row.
    QString pathAt(int row) const;
    // The row of a record file, or -1.
    int rowOf(const QString& path) const;

private:
    std::vector<RecordSummary> m_rows;
};

} // namespace kuji
