#pragma once

#include "common/EntryList.h"
#include "common/ListRows.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kuji {

// Result text of a drawn number: zero padded to the length of the minimum as typed.
std::string formatDrawnNumber(std::int64_t value, std::size_t minimumLength);

// The result list of a draw. A row is eight bytes: its sequence key and a reference to its
// text (a drawn number, an entry of the work list the draw read, a round header, or empty).
// The text is made when asked for, so a million results cost eight megabytes, not a million
// strings, and the draw itself stays a tight loop.
class ResultList {
public:
    struct Row {
        std::uint32_t key = 0;
        std::uint32_t item = 0; // kind in the top two bits, index or number below
    };

    // What the texts of the next rows refer to. entries may be null in number mode.
    void reset(std::int64_t minimum, std::size_t minimumLength, std::shared_ptr<const EntryList> entries);
    void clear();

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    void reserve(std::size_t rows) { m_rows.reserve(rows); }

    std::uint32_t key(std::size_t row) const { return m_rows[row].key; }
    std::string text(std::size_t row) const;
    // The same text without making a string for it: a view of the entry or the header, or of
    // the number written into scratch. Valid until scratch or the list changes. Digesting a
    // million results row by row costs no allocation this way.
    std::string_view textView(std::size_t row, std::string& scratch) const;
    // The row as a list shows it (see listDisplayText), made without copying a long entry.
    std::string displayText(std::size_t row) const;
    // What a drawn row drew: the offset from the minimum (number mode) or the 0-based entry
    // index (file mode); false for a round header or an empty row.
    bool drawnIndex(std::size_t row, std::uint32_t& index) const
    {
        const std::uint32_t item = m_rows[row].item;
        index = item & ~kKindMask;
        return (item & kKindMask) == kNumber;
    }
    // The minimum the numbers of the rows count from.
    std::int64_t minimum() const { return m_minimum; }
    bool holdsEntries() const { return m_entries != nullptr; }

    // Each append keys the row with the number of rows appended before it since the list was
    // last reset: a draw's rows are keyed by their place, and rows appended later (the
    // replacements of absent winners) come after every row of the draw, deleted ones too.
    void appendNumber(std::uint32_t offsetFromMinimum) { append(kNumber | offsetFromMinimum); }
    void appendEntry(std::uint32_t entryIndex) { append(kNumber | entryIndex); }
    void appendHeader(std::string text);
    void appendEmpty() { append(kEmpty); }
    // The key the next appended row gets.
    std::uint32_t nextKey() const { return m_nextKey; }

    // The rows in display order, for reordering and deleting without touching the texts.
    std::vector<Row>& rows() { return m_rows; }
    const std::vector<Row>& rows() const { return m_rows; }

private:
    static constexpr std::uint32_t kKindMask = 0xC0000000u;
    static constexpr std::uint32_t kNumber = 0x00000000u;
    static constexpr std::uint32_t kHeader = 0x40000000u;
    static constexpr std::uint32_t kEmpty = 0x80000000u;

    void append(std::uint32_t item) { m_rows.push_back({ m_nextKey++, item }); }

    std::vector<Row> m_rows;
    std::uint32_t m_nextKey = 0;
    std::vector<std::string> m_headers;
    std::int64_t m_minimum = 0;
    std::size_t m_minimumLength = 0;
    std::shared_ptr<const EntryList> m_entries;
};

} // namespace kuji
