#include "pickup/PhrasePattern.h"

namespace kuji {

namespace {

// A byte that does not start a well-formed UTF-8 sequence stands alone as a value no
// character has, so in a phrase it matches only the same stray byte in a field.
constexpr char32_t kStrayByteBase = 0x110000;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The character at pos of UTF-8 text and the number of bytes it takes.
char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t& length)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    std::size_t need = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
    }
    if (need == 0 || pos + need >= text.size()) {
        length = 1;
        return kStrayByteBase + lead;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(next)) {
            length = 1;
            return kStrayByteBase + lead;
        }
        value = (value << 6) | (next & 0x3F);
    }
    length = need + 1;
    return value;
}

} // namespace

PhrasePattern::PhrasePattern(std::string_view phrase)
{
    m_wildcard = hasWildcards(phrase);
    if (m_wildcard)
        compile(phrase);
    else
        m_phrase = phrase;
}

bool PhrasePattern::hasWildcards(std::string_view phrase)
{
    return phrase.find_first_of("*?#") != std::string_view::npos;
}

bool PhrasePattern::matches(std::string_view field) const
{
    if (!m_wildcard)
        return field.find(m_phrase) != std::string_view::npos;
    return matchesWhole(field);
}

void PhrasePattern::compile(std::string_view phrase)
{
    std::size_t pos = 0;
    while (pos < phrase.size()) {
        const char c = phrase[pos];
        if (c == '*') {
            // A run of stars matches what one star matches.
            if (m_tokens.empty() || m_tokens.back().kind != Kind::Star)
                m_tokens.push_back({ Kind::Star });
            ++pos;
        } else if (c == '?') {
            m_tokens.push_back({ Kind::AnyOne });
            ++pos;
        } else if (c == '#') {
            m_tokens.push_back({ Kind::Digit });
            ++pos;
        } else if (c == '[') {
            const std::size_t used = compileList(phrase, pos);
            if (used == 0)
                appendLiteral("[");
            pos += used == 0 ? 1 : used;
        } else {
            std::size_t length = 0;
            decodeAt(phrase, pos, length);
            appendLiteral(phrase.substr(pos, length));
            pos += length;
        }
    }
}

// Ordinary characters in a row make one token, compared as bytes: in well-formed UTF-8 a
// byte match starting at a character is a match of whole characters.
void PhrasePattern::appendLiteral(std::string_view bytes)
{
    const auto end = static_cast<std::uint32_t>(m_literals.size());
    if (m_tokens.empty() || m_tokens.back().kind != Kind::Literal || m_tokens.back().end != end)
        m_tokens.push_back({ Kind::Literal, false, end, end });
    m_literals.append(bytes);
    m_tokens.back().end = static_cast<std::uint32_t>(m_literals.size());
}

// Compiles the list whose "[" is at open; returns the bytes it takes up to and including its
// "]", or 0 when the list is never closed.
std::size_t PhrasePattern::compileList(std::string_view phrase, std::size_t open)
{
    std::size_t pos = open + 1;
    const bool negated = pos < phrase.size() && phrase[pos] == '!';
    if (negated)
        ++pos;
    const std::size_t close = phrase.find(']', pos);
    if (close == std::string_view::npos)
        return 0;

    std::vector<char32_t> members;
    for (std::size_t i = pos; i < close;) {
        std::size_t length = 0;
        members.push_back(decodeAt(phrase, i, length));
        i += length;
    }

    const auto rangesBegin = static_cast<std::uint32_t>(m_ranges.size());
    for (std::size_t i = 0; i < members.size();) {
        // "-" between two members makes a range; at either end it is itself.
        if (i + 2 < members.size() && members[i + 1] == U'-') {
            m_ranges.push_back({ members[i], members[i + 2] });
            i += 3;
        } else {
            m_ranges.push_back({ members[i], members[i] });
            ++i;
        }
    }
    const auto rangesEnd = static_cast<std::uint32_t>(m_ranges.size());

    if (rangesBegin == rangesEnd) {
        // "[]" consumes nothing; "[!]" excludes nothing and so is any one character.
        if (negated)
            m_tokens.push_back({ Kind::AnyOne });
    } else {
        m_tokens.push_back({ Kind::List, negated, rangesBegin, rangesEnd });
    }
    return close + 1 - open;
}

std::string_view PhrasePattern::literal(const Token& token) const
{
    return std::string_view(m_literals).substr(token.begin, token.end - token.begin);
}

bool PhrasePattern::matchesOne(const Token& token, char32_t ch) const
{
    switch (token.kind) {
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return ch >= U'0' && ch <= U'9';
    case Kind::List: {
        bool inList = false;
        for (std::uint32_t i = token.begin; i < token.end && !inList; ++i)
            inList = ch >= m_ranges[i].first && ch <= m_ranges[i].last;
        return inList != token.negated;
    }
    case Kind::Literal:
    case Kind::Star:
        break;
    }
    return false;
}

// Matches one token other than "*" at pos and moves pos past what it took.
bool PhrasePattern::matchesToken(const Token& token, std::string_view field, std::size_t& pos) const
{
    if (token.kind == Kind::Literal) {
        const std::string_view bytes = literal(token);
        if (field.substr(pos, bytes.size()) != bytes)
            return false;
        pos += bytes.size();
        return true;
    }
    if (pos >= field.size())
        return false;
    std::size_t length = 0;
    if (!matchesOne(token, decodeAt(field, pos, length)))
        return false;
    pos += length;
    return true;
}

// Moves pos to the first place at or after it where the part after a "*" could begin: where
// its leading ordinary characters occur. False when they occur nowhere.
bool PhrasePattern::seekSegment(std::size_t token, std::string_view field, std::size_t& pos) const
{
    if (m_tokens[token].kind != Kind::Literal)
        return true;
    pos = field.find(literal(m_tokens[token]), pos);
    return pos != std::string_view::npos;
}

// Every token but "*" takes a fixed number of characters, so when a later part fails it is
// enough to let the most recent "*" take one more character and retry from there: an earlier
// "*" could only take over what the later one already covers.
bool PhrasePattern::matchesWhole(std::string_view field) const
{
    const std::size_t tokenCount = m_tokens.size();
    std::size_t t = 0; // token
    std::size_t pos = 0; // byte in field
    std::size_t starToken = tokenCount; // token after the last "*" met; none yet
    std::size_t starPos = 0; // where the part after that "*" is being tried

    for (;;) {
        if (t < tokenCount) {
            const Token& token = m_tokens[t];
            if (token.kind == Kind::Star) {
                if (t + 1 == tokenCount)
                    return true; // a final "*" takes whatever is left
                starToken = ++t;
                starPos = pos;
                if (!seekSegment(starToken, field, starPos))
                    return false;
                pos = starPos;
                continue;
            }
            if (matchesToken(token, field, pos)) {
                ++t;
                continue;
            }
        } else if (pos == field.size()) {
            return true;
        }
        // The part after a "*" takes at least one character, so it cannot start at the end.
        if (starToken == tokenCount || starPos >= field.size())
            return false;
        std::size_t length = 0;
        decodeAt(field, starPos, length);
        starPos += length;
        if (!seekSegment(starToken, field, starPos))
            return false;
        pos = starPos;
        t = starToken;
    }
}

} // namespace kuji
