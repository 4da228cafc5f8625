#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The work list: the entries a file-mode draw picks from, in source order. All texts sit in
// one block, so a million entries cost their text plus eight bytes each, and loading makes no
// allocation per entry. An entry's sequence key is its 1-based position: the list is only
// ever filled whole (a file read or a transfer) and never reordered.
class EntryList {
public:
    struct Entry {
        std::uint32_t key;
        std::string_view text;
    };

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Entry;

        const_iterator(const EntryList* list, std::size_t index)
            : m_list(list)
            , m_index(index)
        {
        }
        Entry operator*() const { return (*m_list)[m_index]; }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator& other) const = default;

    private:
        const EntryList* m_list;
        std::size_t m_index;
    };

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view text(std::size_t index) const
    {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_blob).substr(begin, m_ends[index] - begin);
    }
    Entry operator[](std::size_t index) const { return { static_cast<std::uint32_t>(index + 1), text(index) }; }
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, size() }; }

    // Adds one entry.
    void append(std::string_view text)
    {
        m_blob.append(text);
        m_ends.push_back(m_blob.size());
    }
    // Builds an entry from several parts: appendPart as often as needed, then finishEntry.
    void appendPart(std::string_view part) { m_blob.append(part); }
    void finishEntry() { m_ends.push_back(m_blob.size()); }

    // Room for this many entries and text bytes, so loading does not move the list around.
    void reserve(std::size_t entries, std::size_t textBytes);
    // Gives back room that loading reserved but did not use.
    void shrinkToFit();
    void clear();
    // Takes a whole list at once: blob holds the texts back to back, ends[i] is where the text
    // of entry i ends in it (ascending, the last at most blob's size). A list made in place
    // from a text is taken over without a copy.
    void assign(std::string blob, std::vector<std::size_t> ends)
    {
        m_blob = std::move(blob);
        m_ends = std::move(ends);
    }

private:
    std::string m_blob;
    std::vector<std::size_t> m_ends; // end of each entry's text in m_blob
};

} // namespace kuji
