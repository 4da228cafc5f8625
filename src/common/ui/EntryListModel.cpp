#include "common/ui/EntryListModel.h"

namespace kuji {

EntryListModel::EntryListModel(QString textCaption, QObject* parent)
    : QAbstractTableModel(parent)
    , m_textCaption(std::move(textCaption))
{
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) {
        if (index.column() == KeyColumn)
            return QString::fromStdString(formatSequenceKey(static_cast<std::uint32_t>(row + 1)));
        return QString::fromStdString(listDisplayText(m_rows->text(row)));
    }
    if (role == Qt::EditRole && index.column() == TextColumn) {
        const std::string_view text = m_rows->text(row);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return {};
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TextColumn ? m_textCaption : QString();
}

void EntryListModel::setEntries(EntryList entries)
{
    beginResetModel();
    m_rows = std::make_shared<const EntryList>(std::move(entries));
    endResetModel();
}

void EntryListModel::clear()
{
    setEntries({});
}

} // namespace kuji
