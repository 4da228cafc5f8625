#pragma once

#include "entries/ui/EditableList.h"
#include "pickup/PickupRun.h"

#include <QAbstractTableModel>

namespace kuji {

// The result list lvwPickupData: one column "実行結果" holding the whole line of every kept
// record, in the order the list shows them. The shared result-list commands work on it.
class PickupResultModel final : public QAbstractTableModel, public EditableList {
    Q_OBJECT
public:
    explicit PickupResultModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const PickupResult& result() const { return m_result; }
    bool isEmpty() const { return m_result.empty(); }
    // Changes the rows in place (a sort reorders them) and tells the views.
    template <typename Change> void change(Change&& change)
    {
        beginResetModel();
        change(m_result);
        endResetModel();
    }
    void setResult(PickupResult result);
    void clear();

    std::size_t rows() const override { return m_result.size(); }
    // Sorts by the full lines; equal lines keep their places. The list has no draw order of
    // its own, so that order leaves it as it is.
    RowOrder sortRows(ListOrder order) override;
    void removeRows(const RowSelection& selected) override;
    std::string copyText(const RowSelection& selected) const override;
    std::string rowText(std::size_t row) const override { return std::string(m_result.text(row)); }
    std::uint32_t rowKey(std::size_t row) const override { return static_cast<std::uint32_t>(row); }
    std::string_view rowTextView(std::size_t row, std::string&) const override { return m_result.text(row); }
    void applyOrder(const RowOrder& order) override;

private:
    PickupResult m_result;
};

} // namespace kuji
