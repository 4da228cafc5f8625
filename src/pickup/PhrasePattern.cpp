#include "pickup/PhrasePattern.h"

#include "common/TextCodec.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kuji {

namespace {

// A byte that starts no well-formed UTF-8 sequence stands alone as a value no character has,
// so in a phrase it matches only the same stray byte in a field.
constexpr char32_t kStrayByteBase = 0x110000;

// Plain text up to this many bytes is found by the library's search: a scan for its first
// byte, then a compare, so at most this many compares for each byte of the field.
constexpr std::size_t kShortLiteral = 32;

constexpr std::size_t kBlockTokens = 64;

// The character at pos of a text and the number of bytes it takes.
char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t& length)
{
    const std::string_view rest = text.substr(pos);
    length = text::utf8SequenceLength(rest);
    if (length == 0) {
        length = 1;
        return kStrayByteBase + static_cast<unsigned char>(rest[0]);
    }
    return text::utf8CodePoint(rest, length);
}

} // namespace

void PhrasePattern::Literal::prepare()
{
    if (bytes.size() <= kShortLiteral)
        return;
    // failure[i]: the longest proper prefix of bytes[0..i] that also ends there.
    failure.assign(bytes.size(), 0);
    for (std::size_t i = 1, k = 0; i < bytes.size(); ++i) {
        while (k > 0 && bytes[i] != bytes[k])
            k = failure[k - 1];
        if (bytes[i] == bytes[k])
            ++k;
        failure[i] = static_cast<std::uint32_t>(k);
    }
}

std::size_t PhrasePattern::Literal::find(std::string_view text, std::size_t from) const
{
    if (failure.empty())
        return text.find(bytes, from);
    std::size_t k = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        while (k > 0 && text[i] != bytes[k])
            k = failure[k - 1];
        if (text[i] == bytes[k])
            ++k;
        if (k == bytes.size())
            return i + 1 - k;
    }
    return std::string_view::npos;
}

PhrasePattern::PhrasePattern(std::string_view phrase)
{
    m_wildcard = hasWildcards(phrase);
    if (m_wildcard) {
        compile(phrase);
    } else {
        m_plain.bytes = phrase;
        m_plain.prepare();
    }
}

bool PhrasePattern::hasWildcards(std::string_view phrase)
{
    return phrase.find_first_of("*?#") != std::string_view::npos;
}

bool PhrasePattern::matches(std::string_view field) const
{
    if (!m_wildcard)
        return m_plain.find(field, 0) != std::string_view::npos;
    return matchesWhole(field);
}

void PhrasePattern::compile(std::string_view phrase)
{
    Segment current;
    current.isLiteral = true;
    const auto endSegment = [&] {
        current.tokensEnd = static_cast<std::uint32_t>(m_tokens.size());
        finishSegment(current);
        m_segments.push_back(std::move(current));
        current = Segment();
        current.tokensBegin = static_cast<std::uint32_t>(m_tokens.size());
        current.isLiteral = true;
    };

    std::size_t pos = 0;
    while (pos < phrase.size()) {
        const char c = phrase[pos];
        if (c == '*') {
            // A run of stars matches what one star matches.
            if (m_segments.empty() || m_tokens.size() > current.tokensBegin)
                endSegment();
            ++pos;
        } else if (c == '?' || c == '#') {
            m_tokens.push_back({ c == '?' ? Kind::AnyOne : Kind::Digit });
            current.isLiteral = false;
            ++pos;
        } else {
            const std::size_t tokens = m_tokens.size();
            const std::size_t used = c == '[' ? compileList(phrase, pos) : 0;
            if (used > 0) {
                if (m_tokens.size() > tokens)
                    current.isLiteral = false;
                pos += used;
                continue;
            }
            std::size_t length = 0;
            const char32_t ch = decodeAt(phrase, pos, length);
            m_tokens.push_back({ Kind::Char, false, ch });
            if (ch >= kStrayByteBase)
                current.isLiteral = false;
            else
                current.literal.bytes.append(phrase.substr(pos, length));
            pos += length;
        }
    }
    endSegment();
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
        m_tokens.push_back({ Kind::List, negated, 0, rangesBegin, rangesEnd });
    }
    return close + 1 - open;
}

void PhrasePattern::finishSegment(Segment& segment)
{
    if (segment.isLiteral) {
        segment.literal.prepare();
        return;
    }
    segment.literal = Literal();
    segment.blocksBegin = static_cast<std::uint32_t>(m_blocks.size());
    const bool severalBlocks = segment.length() > kBlockTokens;
    for (std::uint32_t t = segment.tokensBegin; t < segment.tokensEnd; t += kBlockTokens)
        addBlock(t, std::min<std::uint32_t>(t + kBlockTokens, segment.tokensEnd), severalBlocks);
    segment.blocksEnd = static_cast<std::uint32_t>(m_blocks.size());
}

// Sweeps the code points once, in order, noting where a token starts or stops taking them,
// so a list of many ranges costs its ranges and not their product with anything.
void PhrasePattern::addBlock(std::uint32_t tokensBegin, std::uint32_t tokensEnd, bool asciiTable)
{
    struct Event {
        char32_t at;
        std::uint32_t bit;
        int delta;
    };
    std::vector<Event> events;
    std::uint64_t word = 0; // what each token takes at code point 0, before any event
    for (std::uint32_t t = tokensBegin; t < tokensEnd; ++t) {
        const Token& token = m_tokens[t];
        const std::uint32_t bit = t - tokensBegin;
        const auto span = [&](char32_t first, char32_t last) {
            if (first <= last) {
                events.push_back({ first, bit, 1 });
                events.push_back({ last + 1, bit, -1 });
            }
        };
        switch (token.kind) {
        case Kind::AnyOne:
            word |= std::uint64_t { 1 } << bit;
            break;
        case Kind::Char:
            span(token.ch, token.ch);
            break;
        case Kind::Digit:
            span(U'0', U'9');
            break;
        case Kind::List:
            if (token.negated)
                word |= std::uint64_t { 1 } << bit;
            for (std::uint32_t r = token.rangesBegin; r < token.rangesEnd; ++r)
                span(m_ranges[r].first, m_ranges[r].last);
            break;
        }
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.at < b.at; });

    Block block;
    block.begin = static_cast<std::uint32_t>(m_starts.size());
    m_starts.push_back(0);
    m_words.push_back(word);
    std::array<int, kBlockTokens> covering {}; // ranges of each token that hold the code point
    for (std::size_t i = 0; i < events.size();) {
        const char32_t at = events[i].at;
        for (; i < events.size() && events[i].at == at; ++i) {
            const std::uint32_t bit = events[i].bit;
            covering[bit] += events[i].delta;
            const Token& token = m_tokens[tokensBegin + bit];
            const bool takes = (covering[bit] > 0) != (token.kind == Kind::List && token.negated);
            const std::uint64_t mask = std::uint64_t { 1 } << bit;
            word = takes ? word | mask : word & ~mask;
        }
        if (at == m_starts.back())
            m_words.back() = word;
        else if (word != m_words.back()) {
            m_starts.push_back(at);
            m_words.push_back(word);
        }
    }
    block.end = static_cast<std::uint32_t>(m_starts.size());
    if (asciiTable) {
        std::array<std::uint64_t, 0x80> ascii {};
        for (char32_t ch = 0; ch < 0x80; ++ch)
            ascii[ch] = wordFor(block, ch);
        block.ascii = static_cast<std::uint32_t>(m_ascii.size());
        m_ascii.insert(m_ascii.end(), ascii.begin(), ascii.end());
    }
    m_blocks.push_back(block);
}

bool PhrasePattern::takes(const Token& token, char32_t ch) const
{
    switch (token.kind) {
    case Kind::Char:
        return ch == token.ch;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return ch >= U'0' && ch <= U'9';
    case Kind::List: {
        bool inList = false;
        for (std::uint32_t i = token.rangesBegin; i < token.rangesEnd && !inList; ++i)
            inList = ch >= m_ranges[i].first && ch <= m_ranges[i].last;
        return inList != token.negated;
    }
    }
    return false;
}

std::uint64_t PhrasePattern::wordFor(const Block& block, char32_t ch) const
{
    if (ch < 0x80 && block.ascii != kNoAsciiTable)
        return m_ascii[block.ascii + ch];
    const auto first = m_starts.begin() + block.begin;
    const auto after = std::upper_bound(first, m_starts.begin() + block.end, ch);
    return m_words[static_cast<std::size_t>(after - m_starts.begin()) - 1];
}

// The part's characters one by one from pos; moves pos past them.
bool PhrasePattern::matchesAt(const Segment& segment, std::string_view field, std::size_t& pos) const
{
    if (segment.isLiteral) {
        // Text of whole, well-formed characters that agrees byte for byte agrees character
        // for character.
        if (field.substr(pos, segment.literal.bytes.size()) != segment.literal.bytes)
            return false;
        pos += segment.literal.bytes.size();
        return true;
    }
    for (std::uint32_t t = segment.tokensBegin; t < segment.tokensEnd; ++t) {
        if (pos >= field.size())
            return false;
        std::size_t length = 0;
        if (!takes(m_tokens[t], decodeAt(field, pos, length)))
            return false;
        pos += length;
    }
    return true;
}

// Reads the field from pos through the part's automaton: after each character, bit j of the
// state says that the part's first j + 1 tokens match the characters just read. Returns where
// the first occurrence ends (with toEnd, an occurrence that ends the field), or npos.
std::size_t PhrasePattern::scan(const Segment& segment, std::string_view field, std::size_t pos, bool toEnd) const
{
    const std::size_t words = segment.blocksEnd - segment.blocksBegin;
    const std::uint64_t last = std::uint64_t { 1 } << ((segment.length() - 1) % kBlockTokens);
    std::size_t length = 0;
    if (words == 1) {
        const Block& block = m_blocks[segment.blocksBegin];
        std::uint64_t state = 0;
        while (pos < field.size()) {
            const char32_t ch = decodeAt(field, pos, length);
            pos += length;
            state = ((state << 1) | 1) & wordFor(block, ch);
            if ((state & last) && (!toEnd || pos == field.size()))
                return pos;
        }
        return std::string_view::npos;
    }
    std::vector<std::uint64_t> state(words, 0);
    // Words above top hold no bit; a bit moves up one place a character, so only the words up
    // to top + 1 can change. Where the part fails early, as it mostly does, few words are read.
    std::size_t top = 0;
    const Block* blocks = m_blocks.data() + segment.blocksBegin;
    while (pos < field.size()) {
        const char32_t ch = decodeAt(field, pos, length);
        pos += length;
        const std::size_t live = std::min(words, top + 2);
        std::uint64_t carry = 1;
        const auto advance = [&](std::size_t w, std::uint64_t word) {
            const std::uint64_t out = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & word;
            carry = out;
        };
        if (ch < 0x80) {
            // The blocks' ASCII tables lie one after another.
            const std::uint64_t* column = m_ascii.data() + blocks[0].ascii + ch;
            for (std::size_t w = 0; w < live; ++w)
                advance(w, column[w * 0x80]);
        } else {
            for (std::size_t w = 0; w < live; ++w)
                advance(w, wordFor(blocks[w], ch));
        }
        top = live - 1;
        while (top > 0 && state[top] == 0)
            --top;
        if ((state[words - 1] & last) && (!toEnd || pos == field.size()))
            return pos;
    }
    return std::string_view::npos;
}

// The part before the first "*" starts the field; each part after a "*" is placed at its
// first occurrence after the part before, which leaves the most room for the rest, since every
// part takes a fixed number of characters; the last part ends the field unless a "*" ends the
// phrase.
bool PhrasePattern::matchesWhole(std::string_view field) const
{
    std::size_t pos = 0;
    if (!matchesAt(m_segments.front(), field, pos))
        return false;
    if (m_segments.size() == 1)
        return pos == field.size();
    for (std::size_t i = 1; i < m_segments.size(); ++i) {
        const Segment& segment = m_segments[i];
        const bool last = i + 1 == m_segments.size();
        // Every character takes a byte at least.
        if (segment.length() > field.size() - pos)
            return false;
        if (segment.length() == 0)
            return true; // a final "*" takes whatever is left
        if (segment.isLiteral) {
            const std::string& bytes = segment.literal.bytes;
            if (last)
                return field.ends_with(bytes) && field.size() - pos >= bytes.size();
            const std::size_t at = segment.literal.find(field, pos);
            if (at == std::string_view::npos)
                return false;
            pos = at + bytes.size();
        } else {
            pos = scan(segment, field, pos, last);
            if (pos == std::string_view::npos)
                return false;
        }
    }
    return true;
}

} // namespace kuji
