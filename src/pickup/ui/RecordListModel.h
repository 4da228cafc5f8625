#pragma once

#include "common/EntryList.h"

#include <QAbstractTableModel>

#include <memory>

namespace kuji {

// The record list lvwOriginalData: one row per loaded record, one column per field with the
// headers "1" … "n". Fields are cut out of the record text only for the cells a view asks
// for, so a million records cost their text once. Without records it shows a single column
// with an empty header.
class RecordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The records of a completed load, each with fieldCount fields.
    void setRecords(std::shared_ptr<const EntryList> records, int fieldCount);
    // No records and no field headers.
    void clear();

    std::shared_ptr<const EntryList> sharedRecords() const { return m_records; }
    std::size_t recordCount() const { return m_records->size(); }
    // Fields of the loaded file; 0 when nothing is loaded.
    int fieldCount() const { return m_fields; }

private:
    std::shared_ptr<const EntryList> m_records = std::make_shared<const EntryList>();
    int m_fields = 0;
};

} // namespace kuji
