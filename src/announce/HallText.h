#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// What the hall sees of a file-mode winner (表示する列, 伏せ字). An entry is a record of the
// entry file, and its fields are cut at every comma, as Pickup Record cuts them: a comma between
// double quotes separates too, and the quotes stay, so column numbers mean the same in both
// windows. Only the text shown changes; the draw and the results never do.
class HallText {
public:
    // Column numbers run from 1 to the most fields a record file may have.
    static constexpr std::uint32_t kMaxColumn = 32768;

    struct Columns {
        std::vector<std::uint32_t> numbers; // 1-based; empty shows the whole entry
        std::string error; // why the text was refused; empty when taken
        bool ok() const { return error.empty(); }
    };

    // "1" or "1,3" (also "，", "、", spaces and full-width digits); empty shows everything.
    static Columns parseColumns(std::string_view text);
    // The columns as the settings file keeps them: "1,3".
    static std::string columnsText(const std::vector<std::uint32_t>& numbers);

    HallText() = default;
    HallText(std::vector<std::uint32_t> columns, bool mask)
        : m_columns(std::move(columns))
        , m_mask(mask)
    {
    }

    // The entry as the hall sees it: the chosen columns in the order chosen, joined by a
    // full-width space (a column the record does not have shows nothing), each masked when
    // the mask is on. A screen shows no more than maxCharacters of a column: the rest of a
    // longer one (a whole file read as one entry, say) is left out and marked "…".
    std::string show(std::string_view entry, std::size_t maxCharacters = std::string_view::npos) const;

    bool showsEverything() const { return m_columns.empty() && !m_mask; }

private:
    void append(std::string& out, std::string_view field, std::size_t maxCharacters) const;

    std::vector<std::uint32_t> m_columns;
    bool m_mask = false;
};

// A text with its first character kept and every further one shown as "＊": characters are
// counted as Unicode characters, not bytes, and line breaks stay line breaks. A byte that is
// not UTF-8 counts as one character.
std::string maskText(std::string_view text);

// The first count characters of a text (Unicode characters, as maskText counts them).
std::string_view leadingCharacters(std::string_view text, std::size_t count);

// Spaces around a text taken off: ASCII spaces and tabs and the full-width space.
std::string_view trimSpaces(std::string_view text);
// The pieces of a list an organiser types, cut at ",", "，" and "、".
std::vector<std::string_view> splitAtListSeparators(std::string_view text);

} // namespace kuji
