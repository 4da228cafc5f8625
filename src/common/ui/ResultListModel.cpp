#include "common/ui/ResultListModel.h"

#include "common/ui/EntryListModel.h"

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
    const QString text = QString::fromStdString(m_results.text(row));
    return role == Qt::DisplayRole ? singleLineText(text) : text;
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TextColumn ? QStringLiteral("抽選結果") : QString();
}

void ResultListModel::clear()
{
    change([](ResultList& results) { results.clear(); });
}

} // namespace kuji
