#pragma once

#include "common/EntryList.h"
#include "common/ListRows.h"

#include <QAbstractTableModel>
#include <memory>

namespace kuji {

// The work list as the view sees it: the hidden sequence key and the entry text
// "ファイルの内容", shown cut to a list's length and given whole for editing roles. The entries are shared and never
// change once set: a draw's results keep the entries they came from, whatever is loaded next.
class EntryListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, TextColumn = 1, ColumnCount };

    EntryListModel(QString textCaption, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const EntryList& entries() const { return *m_rows; }
    std::shared_ptr<const EntryList> sharedEntries() const { return m_rows; }
    // Replaces every entry at once.
    void setEntries(EntryList entries);
    void clear();
    bool isEmpty() const { return m_rows->empty(); }

private:
    QString m_textCaption;
    std::shared_ptr<const EntryList> m_rows = std::make_shared<const EntryList>();
};

} // namespace kuji
