#pragma once

#include "pickup/ConditionLists.h"

#include <QAbstractTableModel>

namespace kuji {

// One condition list as its view shows it: the columns "列" and "語句", position 1 on top.
// The conditions live in ConditionLists; the frame calls refresh() after changing them.
class ConditionListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnNumber = 0, Phrase = 1, ColumnCount };

    ConditionListModel(const ConditionLists& lists, ConditionListId list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The conditions changed: the views show them again.
    void refresh();

private:
    const std::vector<Condition>& rows() const { return m_lists.conditions(m_list); }

    const ConditionLists& m_lists;
    ConditionListId m_list;
};

} // namespace kuji
