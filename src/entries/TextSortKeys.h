#pragma once

#include "entries/RowSelection.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace kuji {

// The text order of the result lists: Japanese collation that ignores letter case and the
// difference between full-width and half-width forms ("a" = "A", "10" = "１０"), but keeps
// voiced marks apart ("か" < "が"). Texts compare as text, so "10" comes before "9".
//
// Each row's text becomes a collation key once; sorting then compares key bytes only, so a
// million rows cost a million key computations and no work of the collator per comparison.
// Keys of plain digit strings, the bulk of a number draw, are put together from the digits'
// weights instead of asking the collator, after checking at start that both ways agree.
class TextSortKeys {
public:
    // digitShortcut false asks the collator for every key (for tests comparing the two).
    explicit TextSortKeys(bool digitShortcut = true);
    ~TextSortKeys();
    TextSortKeys(const TextSortKeys&) = delete;
    TextSortKeys& operator=(const TextSortKeys&) = delete;

    // Room for this many rows, so adding them does not move the keys around.
    void reserve(std::size_t rows);
    // Adds the key of the next row's text (UTF-8; invalid bytes count as U+FFFD).
    void add(std::string_view text);

    // True when digit strings get their keys without the collator.
    bool usesDigitShortcut() const;

    std::size_t size() const { return m_ends.size(); }
    // The key of a row: bytes that compare as the texts do (byte by byte, shorter first).
    std::span<const std::uint8_t> key(std::size_t row) const;

    // The rows in text order, ascending or descending (order[new] = old). Rows whose texts
    // tie stay in the order of their tie keys (the draw order) in both directions.
    RowOrder order(bool descending, const std::vector<std::uint32_t>& tieKeys) const;

    // The same in pieces, for a sort made a slice at a time: one Row per row to put in order
    // with a RowLess, which orders every two rows (ties broken by tie key, then position).
    // The key's first sixteen bytes sit in the row itself, so most comparisons never reach
    // the key block: three kana and ten digits fit.
    struct Row {
        std::uint64_t head[2];
        std::uint32_t length;
        std::uint32_t tie;
        std::uint32_t row;
    };
    class RowLess {
    public:
        RowLess(const TextSortKeys& keys, bool descending)
            : m_keys(&keys)
            , m_descending(descending)
        {
        }
        bool operator()(const Row& a, const Row& b) const;

    private:
        const TextSortKeys* m_keys;
        bool m_descending;
    };
    std::vector<Row> rows(const std::vector<std::uint32_t>& tieKeys) const;

private:
    class Collator;

    void addDigits(std::string_view digits);
    void growKeys(std::size_t bytes);

    std::unique_ptr<Collator> m_collator;
    std::vector<std::uint8_t> m_keys; // every key, one after the other
    std::size_t m_used = 0; // bytes of m_keys in use
    std::vector<std::size_t> m_ends; // end of each row's key in m_keys
};

} // namespace kuji
