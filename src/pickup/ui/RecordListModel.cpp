#include "pickup/ui/RecordListModel.h"

#include "common/ListRows.h"
#include "pickup/RecordFields.h"

namespace kuji {

RecordListModel::RecordListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_records->size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(m_fields, 1);
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_fields)
        return {};
    const std::string_view field
        = recordField(m_records->text(static_cast<std::size_t>(index.row())), static_cast<std::size_t>(index.column()));
    if (role == Qt::DisplayRole)
        return QString::fromStdString(listDisplayText(field));
    if (role == Qt::EditRole)
        return QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size()));
    return {};
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section < m_fields ? QString::number(section + 1) : QString();
}

void RecordListModel::setRecords(std::shared_ptr<const EntryList> records, int fieldCount)
{
    beginResetModel();
    m_records = records ? std::move(records) : std::make_shared<const EntryList>();
    m_fields = std::max(fieldCount, 0);
    endResetModel();
}

void RecordListModel::clear()
{
    setRecords(nullptr, 0);
}

} // namespace kuji
