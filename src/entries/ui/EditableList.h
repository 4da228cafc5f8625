#pragma once

#include "entries/ListOperations.h"
#include "entries/RowSelection.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kuji {

// A result list the editing commands can work on: the main window's results and Pickup
// Record's one-column list. The model behind the view implements it and tells its views
// of every change.
class EditableList {
public:
    virtual ~EditableList() = default;

    virtual std::size_t rows() const = 0;
    // Reorders the rows and returns the order applied (order[new] = old).
    virtual RowOrder sortRows(ListOrder order) = 0;
    // Removes the selected rows in one pass; the others keep order and keys.
    virtual void removeRows(const RowSelection& selected) = 0;
    // The full texts of the selected rows, top to bottom, joined with CR LF.
    virtual std::string copyText(const RowSelection& selected) const = 0;
    // One row's full text, as saving and printing take it.
    virtual std::string rowText(std::size_t row) const = 0;

    // For the commands that work a slice at a time: a row's sequence key (its position, in a
    // list that has none), its full text without a copy (written into scratch when it must be
    // made), and the rows put in an order computed apart (order[new] = old).
    virtual std::uint32_t rowKey(std::size_t row) const = 0;
    virtual std::string_view rowTextView(std::size_t row, std::string& scratch) const = 0;
    virtual void applyOrder(const RowOrder& order) = 0;
};

} // namespace kuji
