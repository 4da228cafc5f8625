#pragma once

#include "records/RecordChain.h"
#include "records/RecordStore.h"

#include <QAbstractTableModel>

#include <map>
#include <vector>

namespace kuji {

// The list of records, newest first: sequence number, date, mode, draw count, number of result
// rows, the first results, and the state (a record --verify would refuse says why). Where the
// chain of records is broken, a note row says what is missing or altered. Each record is read
// whole and strictly, once: a record read before is taken from memory while its file is
// unchanged.
class DrawRecordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        SequenceColumn,
        DateColumn,
        ModeColumn,
        CountColumn,
        ResultCountColumn,
        FirstResultsColumn,
        StateColumn,
        ColumnCount
    };

    explicit DrawRecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Reads the records of the store afresh.
    void reload(const RecordStore& store);
    // The record file of a row; empty for a note.
    QString pathAt(int row) const;
    // The row of a record file, or -1.
    int rowOf(const QString& path) const;
    // Whether a row is a note about the chain.
    bool isNote(int row) const;
    // The summary of a record row, or null.
    const RecordSummary* summaryAt(int row) const;

private:
    struct Cached {
        std::int64_t size = -1;
        std::int64_t modified = 0;
        RecordSummary summary;
    };

    std::vector<RecordSummary> m_summaries; // oldest first
    std::vector<RecordListItem> m_items; // newest first
    std::map<std::string, Cached> m_cache;
};

} // namespace kuji
