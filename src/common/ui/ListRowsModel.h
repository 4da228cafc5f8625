#pragma once

#include "common/ListRows.h"

#include <QAbstractTableModel>
#include <memory>

namespace kuji {

// A record that spans lines shows on one row of a list; the stored text keeps its breaks.
QString singleLineText(QString text);

// A two-column list over plain rows: the hidden sequence key and the visible text. Serves
// the work list and the result list; a million rows cost only what the rows themselves take.
class ListRowsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, TextColumn = 1, ColumnCount };

    ListRowsModel(QString textCaption, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ListRows& rows() const { return *m_rows; }
    // The rows as a shared, unchanging list: a draw's results keep the entries they came from.
    std::shared_ptr<const ListRows> sharedRows() const { return m_rows; }
    // Replaces every row at once.
    void setRows(ListRows rows);
    void clear();
    bool isEmpty() const { return m_rows->empty(); }

private:
    QString m_textCaption;
    std::shared_ptr<const ListRows> m_rows = std::make_shared<const ListRows>();
};

}  // namespace kuji
