#include "pickup/ui/ConditionListModel.h"

#include "common/ListRows.h"

namespace kuji {

ConditionListModel::ConditionListModel(const ConditionLists& lists, ConditionListId list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_lists(lists)
    , m_list(list)
{
}

int ConditionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows().size());
}

int ConditionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ConditionListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Condition& condition = rows()[static_cast<std::size_t>(index.row())];
    const std::string& text = index.column() == ColumnNumber ? condition.column : condition.phrase;
    if (role == Qt::DisplayRole)
        return QString::fromStdString(listDisplayText(text));
    return QString::fromStdString(text);
}

QVariant ConditionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == ColumnNumber ? QStringLiteral("列") : QStringLiteral("語句");
}

void ConditionListModel::refresh()
{
    beginResetModel();
    endResetModel();
}

} // namespace kuji
