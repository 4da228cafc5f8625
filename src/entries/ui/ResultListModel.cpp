#include "entries/ui/ResultListModel.h"

#include <algorithm>

#include "entries/ListOperations.h"

#include "common/ListRows.h"

namespace kuji {

ResultListModel::ResultListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_results.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (index.column() == KeyColumn)
        return QString::fromStdString(formatSequenceKey(m_results.key(row)));
    if (role != Qt::DisplayRole)
        return QString::fromStdString(m_results.text(row));
    QString shown = QString::fromStdString(m_results.displayText(row));
    if (!m_markedKeys.empty() && std::binary_search(m_markedKeys.begin(), m_markedKeys.end(), m_results.key(row)))
        shown += m_mark;
    return shown;
}

void ResultListModel::setMarkedKeys(std::vector<std::uint32_t> sortedKeys, const QString& mark)
{
    m_markedKeys = std::move(sortedKeys);
    m_mark = mark;
    if (rowCount() > 0)
        emit dataChanged(index(0, TextColumn), index(rowCount() - 1, TextColumn), { Qt::DisplayRole });
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TextColumn ? QStringLiteral("抽選結果") : QString();
}

RowOrder ResultListModel::sortRows(ListOrder order)
{
    RowOrder applied;
    change([&](ResultList& results) { applied = sortResults(results, order); });
    return applied;
}

void ResultListModel::applyOrder(const RowOrder& order)
{
    change([&](ResultList& results) { applyRowOrder(results.rows(), order); });
}

void ResultListModel::removeRows(const RowSelection& selected)
{
    RowSelection done = selected;
    change([&](ResultList& results) { deleteSelectedResults(results, done); });
}

std::string ResultListModel::copyText(const RowSelection& selected) const
{
    return copySelectedResults(m_results, selected);
}

void ResultListModel::clear()
{
    change([](ResultList& results) { results.clear(); });
}

} // namespace kuji
