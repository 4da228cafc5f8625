#include "common/ui/ListRowsModel.h"

namespace kuji {

QString singleLineText(QString text)
{
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QStringLiteral(" ↵ "));
        text.replace(QLatin1Char('\n'), QStringLiteral(" ↵ "));
        text.replace(QLatin1Char('\r'), QStringLiteral(" ↵ "));
    }
    return text;
}

ListRowsModel::ListRowsModel(QString textCaption, QObject* parent)
    : QAbstractTableModel(parent), m_textCaption(std::move(textCaption))
{
}

int ListRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->size());
}

int ListRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ListRow& row = (*m_rows)[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        if (index.column() == KeyColumn)
            return QString::fromStdString(formatSequenceKey(row.key));
        return singleLineText(QString::fromUtf8(row.text.data(), static_cast<qsizetype>(row.text.size())));
    }
    if (role == Qt::EditRole && index.column() == TextColumn)
        return QString::fromUtf8(row.text.data(), static_cast<qsizetype>(row.text.size()));
    return {};
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TextColumn ? m_textCaption : QString();
}

void ListRowsModel::setRows(ListRows rows)
{
    beginResetModel();
    m_rows = std::make_shared<const ListRows>(std::move(rows));
    endResetModel();
}

void ListRowsModel::clear()
{
    setRows({});
}

}  // namespace kuji
