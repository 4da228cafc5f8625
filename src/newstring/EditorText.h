#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// Rules for the string window's text. The window hands its text over as UTF-8 with its line
// breaks as CR LF, or a line (a block of its document) at a time in UTF-16.
class EditorText {
public:
    // The longest line, in characters, that a file may hold to be opened: the editor lays a
    // line out as a whole and freezes on longer ones.
    static constexpr std::size_t kMaxLineChars = 100000;

    // True when a line of text holds more than maxChars characters. Lines end at CR LF, a
    // lone LF, a lone CR, U+2028 or U+2029, as the editor splits a file's text.
    static bool hasLineLongerThan(std::string_view utf8, std::size_t maxChars = kMaxLineChars);
    static bool hasLineLongerThan(std::u16string_view utf16, std::size_t maxChars = kMaxLineChars);

    // The same for UTF-16 text that comes a piece at a time (a piece may end anywhere).
    class LineLengthCheck {
    public:
        explicit LineLengthCheck(std::size_t maxChars = kMaxLineChars)
            : m_maxChars(maxChars)
        {
        }
        // Adds the next piece; true once a line has held more than maxChars characters.
        bool add(std::u16string_view piece);

    private:
        std::size_t m_maxChars;
        std::size_t m_chars = 0; // of the line the last piece ended in
        bool m_over = false;
    };

    // The one value a save writes, the list file adding its CR LF: the text without its own
    // final line break, so an open-and-save round never grows an empty line. None for an
    // empty text, which saves as an empty file.
    static std::optional<std::string_view> saveValue(std::string_view crlfText);

    // The lines as printed: the text split at every CR LF, empty lines kept.
    static std::vector<std::string> printLines(std::string_view crlfText);

    // Appends a line of the editor's document (UTF-16, as the document holds it) to out in
    // UTF-8. A line separator (U+2028) shows as a line break, so it becomes CR LF, as does a
    // paragraph separator; a lone surrogate becomes U+FFFD.
    static void appendUtf8(std::u16string_view line, std::string& out);

    // A save of the document's lines writes them one a row, each followed by CR LF, and so
    // gives the bytes of saveValue: a last empty line is no row (the row before ends with its
    // break), and otherwise the last row loses one final break, which a line separator at the
    // end of the last line leaves.
    struct SaveRows {
        std::size_t count = 0;
        bool trimLast = false;
    };
    // The rows of a document of lineCount lines whose last line is empty or not.
    static SaveRows saveRows(std::size_t lineCount, bool lastLineEmpty);
    // The value of a row, from appendUtf8 of its line.
    static std::string_view saveRowValue(std::string_view converted, std::size_t row, const SaveRows& rows);

    // Where a piece of text that is inserted a piece at a time ends: about maxUnits code
    // units from `from`, after the last LF in that reach when there is one, and never inside
    // a character or between a CR and its LF, which the editor would take as two breaks. The
    // end of the text when less than maxUnits (at least 4) remain.
    static std::size_t pieceEnd(std::string_view utf8, std::size_t from, std::size_t maxUnits);
    static std::size_t pieceEnd(std::u16string_view utf16, std::size_t from, std::size_t maxUnits);
};

} // namespace kuji
