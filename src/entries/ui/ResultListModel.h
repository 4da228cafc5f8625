#pragma once

#include "common/ResultList.h"
#include "entries/ui/EditableList.h"

#include <QAbstractTableModel>

#include <vector>

namespace kuji {

// The result list as the view sees it: the hidden sequence key and the text "抽選結果".
class ResultListModel final : public QAbstractTableModel, public EditableList {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, TextColumn = 1, ColumnCount };

    explicit ResultListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ResultList& results() const { return m_results; }
    bool isEmpty() const { return m_results.empty(); }
    // Changes the list in place and tells the views: a draw fills it, a reset empties it.
    template <typename Change> void change(Change&& change)
    {
        beginResetModel();
        change(m_results);
        endResetModel();
    }
    void clear();
    // Rows whose keys are listed (sorted) show the mark after their text, such as "（欠席）";
    // what is copied, saved and printed stays the row's own text.
    void setMarkedKeys(std::vector<std::uint32_t> sortedKeys, const QString& mark);

    std::size_t rows() const override { return m_results.size(); }
    RowOrder sortRows(ListOrder order) override;
    void removeRows(const RowSelection& selected) override;
    std::string copyText(const RowSelection& selected) const override;
    std::string rowText(std::size_t row) const override { return m_results.text(row); }
    std::uint32_t rowKey(std::size_t row) const override { return m_results.key(row); }
    std::string_view rowTextView(std::size_t row, std::string& scratch) const override
    {
        return m_results.textView(row, scratch);
    }
    void applyOrder(const RowOrder& order) override;

private:
    ResultList m_results;
    std::vector<std::uint32_t> m_markedKeys;
    QString m_mark;
};

} // namespace kuji
