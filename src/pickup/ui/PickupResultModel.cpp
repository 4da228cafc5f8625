#include "pickup/ui/PickupResultModel.h"

#include "common/ListRows.h"

namespace kuji {

PickupResultModel::PickupResultModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int PickupResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_result.size());
}

int PickupResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant PickupResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0)
        return {};
    const std::string_view text = m_result.text(static_cast<std::size_t>(index.row()));
    if (role == Qt::DisplayRole)
        return QString::fromStdString(listDisplayText(text));
    if (role == Qt::EditRole)
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {};
}

QVariant PickupResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section != 0)
        return {};
    return QStringLiteral("実行結果");
}

void PickupResultModel::setResult(PickupResult result)
{
    change([&result](PickupResult& current) { current = std::move(result); });
}

RowOrder PickupResultModel::sortRows(ListOrder order)
{
    RowOrder applied;
    change([&](PickupResult& result) {
        const auto position = [](std::size_t row) { return static_cast<std::uint32_t>(row); };
        const auto text = [&result](std::size_t row) { return result.text(row); };
        applied = sortedRowOrder(result.size(), order, position, text);
        applyRowOrder(result.rows(), applied);
    });
    return applied;
}

void PickupResultModel::applyOrder(const RowOrder& order)
{
    change([&](PickupResult& result) { applyRowOrder(result.rows(), order); });
}

void PickupResultModel::removeRows(const RowSelection& selected)
{
    change([&](PickupResult& result) { removeSelectedRows(result.rows(), selected); });
}

std::string PickupResultModel::copyText(const RowSelection& selected) const
{
    return joinSelectedTexts(m_result.size(), selected, [this](std::size_t row) { return m_result.text(row); });
}

void PickupResultModel::clear()
{
    change([](PickupResult& current) { current.clear(); });
}

} // namespace kuji
