#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// A condition's phrase, prepared once per filter run so that judging a record does no
// parsing.
//
// A phrase without "*", "?" and "#" is looked for as a substring of the field, byte for byte
// (so case-, width- and kana-sensitive); square brackets in it are ordinary text. The empty
// phrase is found in every field.
//
// Any other phrase is a wildcard phrase and must match the whole field:
//   ?      any one character (code point), CR and LF included
//   *      any run of characters, also none, line breaks included
//   #      one ASCII digit 0-9 (a full-width digit is not one)
//   [abc]  one character of the list; "a-z" in it is a range of code points
//   [!abc] one character not in the list
//   anything else matches itself, case-sensitively.
// Inside brackets "*", "?", "#" and "[" are ordinary characters; "!" negates only right
// after the opening bracket; "-" is itself at the start or the end of the list ([a-] holds
// "a" and "-"). A reversed range such as 9-0 holds no character. "[]" stands for nothing and
// consumes no character (a[]b matches ab); "[!]" is any one character. A "[" that is never
// closed is an ordinary character, and so is a "]" outside a list.
//
// Texts inside the program are well-formed UTF-8; a byte that starts no well-formed sequence
// (an overlong form, a surrogate, a cut-off character) counts as one character of its own,
// in the phrase and in the field alike.
//
// Matching takes time linear in the field whatever the phrase: the parts between the "*"
// take a fixed number of characters each, so each is placed at its first occurrence after
// the one before, and an occurrence is found in one pass over the field, by a substring
// search for plain text and by a bit-parallel automaton (64 characters of the part to a
// machine word) for the rest. A field of n characters and a phrase of m costs about n * m / 64
// word operations at worst, with no retries.
class PhrasePattern {
public:
    explicit PhrasePattern(std::string_view phrase);

    // True when the phrase is met by the field.
    bool matches(std::string_view field) const;

    // True when the phrase holds "*", "?" or "#" and so is matched as a pattern.
    bool isWildcard() const { return m_wildcard; }

    // True when text holds one of the characters that make a wildcard phrase.
    static bool hasWildcards(std::string_view phrase);

private:
    enum class Kind : std::uint8_t { Char, AnyOne, Digit, List };

    // One character of a part: Char holds it; List holds its ranges in m_ranges.
    struct Token {
        Kind kind = Kind::Char;
        bool negated = false;
        char32_t ch = 0;
        std::uint32_t rangesBegin = 0;
        std::uint32_t rangesEnd = 0;
    };

    struct Range {
        char32_t first;
        char32_t last;
    };

    // Plain text, found with the library's search when short and with a failure table (no
    // step back in the field) when long.
    struct Literal {
        std::string bytes;
        std::vector<std::uint32_t> failure;
        void prepare();
        std::size_t find(std::string_view text, std::size_t from) const;
    };

    // A part between two "*" (or before the first, or after the last).
    struct Segment {
        std::uint32_t tokensBegin = 0;
        std::uint32_t tokensEnd = 0;
        // Set when every token is one well-formed character: the part is then that text.
        bool isLiteral = false;
        Literal literal;
        // The automaton: one block of words per 64 tokens, in m_blocks.
        std::uint32_t blocksBegin = 0;
        std::uint32_t blocksEnd = 0;
        std::size_t length() const { return tokensEnd - tokensBegin; }
    };

    // For up to 64 tokens, the characters each takes: the code points split into intervals
    // (m_starts from begin to end, the first starting at 0), each with one word whose bit j
    // says token j takes its characters (m_words). A part of several blocks reads every block
    // for every character, so its blocks also keep the word of each ASCII character at hand
    // (m_ascii from ascii on).
    struct Block {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        std::uint32_t ascii = kNoAsciiTable;
    };
    static constexpr std::uint32_t kNoAsciiTable = 0xFFFFFFFF;

    void compile(std::string_view phrase);
    std::size_t compileList(std::string_view phrase, std::size_t open);
    void finishSegment(Segment& segment);
    void addBlock(std::uint32_t tokensBegin, std::uint32_t tokensEnd, bool asciiTable);
    bool takes(const Token& token, char32_t ch) const;
    std::uint64_t wordFor(const Block& block, char32_t ch) const;
    bool matchesAt(const Segment& segment, std::string_view field, std::size_t& pos) const;
    std::size_t scan(const Segment& segment, std::string_view field, std::size_t pos, bool toEnd) const;
    bool matchesWhole(std::string_view field) const;

    Literal m_plain; // plain phrases
    bool m_wildcard = false;
    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;
    std::vector<Segment> m_segments; // the part before the first "*", then the part after each
    std::vector<Block> m_blocks;
    std::vector<char32_t> m_starts;
    std::vector<std::uint64_t> m_words;
    std::vector<std::uint64_t> m_ascii;
};

} // namespace kuji
