#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// A condition's phrase, prepared once per filter run so that judging a record does no
// parsing and no allocation.
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
// Matching runs in time proportional to field length times pattern length at worst: only the
// most recent "*" is ever retried, once per field position at most, and runs of ordinary
// characters after a "*" are found with a substring search rather than character by character.
// Texts inside the program are well-formed UTF-8; a stray byte counts as one character.
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
    enum class Kind : std::uint8_t { Literal, AnyOne, Digit, List, Star };

    struct Token {
        Kind kind = Kind::Literal;
        bool negated = false; // List only
        // Literal: its bytes in m_literals (a run of ordinary characters); List: its ranges in m_ranges.
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };

    struct Range {
        char32_t first;
        char32_t last;
    };

    void compile(std::string_view phrase);
    void appendLiteral(std::string_view bytes);
    std::size_t compileList(std::string_view phrase, std::size_t open);
    std::string_view literal(const Token& token) const;
    bool matchesOne(const Token& token, char32_t ch) const;
    bool matchesToken(const Token& token, std::string_view field, std::size_t& pos) const;
    bool seekSegment(std::size_t token, std::string_view field, std::size_t& pos) const;
    bool matchesWhole(std::string_view field) const;

    std::string m_phrase; // plain phrases
    bool m_wildcard = false;
    std::vector<Token> m_tokens;
    std::string m_literals;
    std::vector<Range> m_ranges;
};

} // namespace kuji
