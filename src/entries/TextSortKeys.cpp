#include "entries/TextSortKeys.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>

namespace kuji {
namespace {

// Digit strings up to this length get their keys without the collator; a drawn number has
// at most nine digits, an entry can be longer.
constexpr std::size_t kMaxShortcutDigits = 24;

bool isDigitString(std::string_view text)
{
    if (text.empty() || text.size() > kMaxShortcutDigits)
        return false;
    for (char ch : text)
        if (ch < '0' || ch > '9')
            return false;
    return true;
}

} // namespace

// The ICU collator, and what the digit shortcut needs to know of it.
class TextSortKeys::Collator {
public:
    explicit Collator(bool digitShortcut)
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open("ja", &status);
        if (U_FAILURE(status)) {
            if (m_collator)
                ucol_close(m_collator);
            m_collator = nullptr;
            return;
        }
        // Secondary strength: accents and voiced marks count, case and width do not.
        ucol_setStrength(m_collator, UCOL_SECONDARY);
        if (digitShortcut)
            m_digitsReady = learnDigits();
    }
    ~Collator()
    {
        if (m_collator)
            ucol_close(m_collator);
    }
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    // Without the collator's data the texts sort by their bytes.
    bool available() const { return m_collator != nullptr; }
    bool digitsReady() const { return m_digitsReady; }

    // Writes the key of text to out, which has room bytes; returns the key's length, which
    // may be larger than room (then nothing usable was written and the caller retries).
    std::size_t writeKey(std::string_view text, std::uint8_t* out, std::size_t room)
    {
        const std::size_t units = toUtf16(text);
        const int32_t capacity = static_cast<int32_t>(std::min<std::size_t>(room, INT32_MAX));
        return static_cast<std::size_t>(
            ucol_getSortKey(m_collator, m_utf16.data(), static_cast<int32_t>(units), out, capacity));
    }

    // The key of a digit string put together from the digits' weights: one primary byte per
    // digit, then the part that only depends on the length (level separator, the compressed
    // common secondary weights, the end).
    std::size_t writeDigitKey(std::string_view digits, std::uint8_t* out) const
    {
        std::size_t n = 0;
        for (char ch : digits)
            out[n++] = m_digitWeight[static_cast<std::size_t>(ch - '0')];
        const std::vector<std::uint8_t>& tail = m_lengthTail[digits.size()];
        std::memcpy(out + n, tail.data(), tail.size());
        return n + tail.size();
    }

    std::size_t digitKeyLength(std::size_t digits) const { return digits + m_lengthTail[digits].size(); }

private:
    std::vector<std::uint8_t> collatorKey(std::string_view text)
    {
        std::vector<std::uint8_t> key(64);
        std::size_t length = writeKey(text, key.data(), key.size());
        if (length > key.size()) {
            key.resize(length);
            length = writeKey(text, key.data(), key.size());
        }
        key.resize(length);
        return key;
    }

    // Learns the digits' weights and the length parts from the collator, then checks that
    // keys put together from them equal the collator's own; any difference (another ICU
    // with another key layout) leaves the shortcut off.
    bool learnDigits()
    {
        m_lengthTail.resize(kMaxShortcutDigits + 1);
        for (std::size_t n = 1; n <= kMaxShortcutDigits; ++n) {
            const std::vector<std::uint8_t> zeros = collatorKey(std::string(n, '0'));
            if (zeros.size() <= n
                || std::count(zeros.begin(), zeros.begin() + static_cast<std::ptrdiff_t>(n), zeros[0])
                    != static_cast<std::ptrdiff_t>(n))
                return false;
            m_lengthTail[n].assign(zeros.begin() + static_cast<std::ptrdiff_t>(n), zeros.end());
        }
        for (std::size_t d = 0; d < 10; ++d) {
            const std::vector<std::uint8_t> key = collatorKey(std::string(1, static_cast<char>('0' + d)));
            if (key.size() != 1 + m_lengthTail[1].size())
                return false;
            m_digitWeight[d] = key[0];
        }
        for (const char* sample :
            { "0123456789", "9876543210", "5", "42", "100000000", "000000007", "314159265358979323846264" }) {
            const std::vector<std::uint8_t> expected = collatorKey(sample);
            std::vector<std::uint8_t> made(digitKeyLength(std::strlen(sample)));
            writeDigitKey(sample, made.data());
            if (made != expected)
                return false;
        }
        return true;
    }

    // Converts to UTF-16 in m_utf16; returns the number of code units.
    std::size_t toUtf16(std::string_view text)
    {
        const int32_t length = static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
        if (m_utf16.size() < text.size() + 1)
            m_utf16.resize(text.size() + 1);
        int32_t units = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(m_utf16.data(), static_cast<int32_t>(std::min<std::size_t>(m_utf16.size(), INT32_MAX)),
            &units, text.data(), length, 0xFFFD, nullptr, &status);
        // UTF-16 never needs more units than UTF-8 has bytes, so the buffer always suffices.
        return U_FAILURE(status) ? 0 : static_cast<std::size_t>(units);
    }

    UCollator* m_collator = nullptr;
    std::vector<UChar> m_utf16;
    bool m_digitsReady = false;
    std::array<std::uint8_t, 10> m_digitWeight {};
    std::vector<std::vector<std::uint8_t>> m_lengthTail; // by digit count
};

TextSortKeys::TextSortKeys(bool digitShortcut)
    : m_collator(std::make_unique<Collator>(digitShortcut))
{
}

TextSortKeys::~TextSortKeys() = default;

bool TextSortKeys::usesDigitShortcut() const
{
    return m_collator->available() && m_collator->digitsReady();
}

void TextSortKeys::reserve(std::size_t rows)
{
    m_ends.reserve(rows);
    // A drawn number's key takes about a dozen bytes.
    growKeys(rows * 12);
}

void TextSortKeys::growKeys(std::size_t bytes)
{
    if (m_keys.size() - m_used >= bytes)
        return;
    m_keys.resize(std::max(m_used + bytes, 2 * m_keys.size()));
}

void TextSortKeys::add(std::string_view text)
{
    if (!m_collator->available()) {
        growKeys(text.size());
        std::memcpy(m_keys.data() + m_used, text.data(), text.size());
        m_used += text.size();
    } else if (m_collator->digitsReady() && isDigitString(text)) {
        growKeys(m_collator->digitKeyLength(text.size()));
        m_used += m_collator->writeDigitKey(text, m_keys.data() + m_used);
    } else {
        growKeys(64);
        std::size_t length = m_collator->writeKey(text, m_keys.data() + m_used, m_keys.size() - m_used);
        if (length > m_keys.size() - m_used) {
            growKeys(length);
            length = m_collator->writeKey(text, m_keys.data() + m_used, m_keys.size() - m_used);
        }
        m_used += length;
    }
    m_ends.push_back(m_used);
}

std::span<const std::uint8_t> TextSortKeys::key(std::size_t row) const
{
    const std::size_t begin = row == 0 ? 0 : m_ends[row - 1];
    return { m_keys.data() + begin, m_ends[row] - begin };
}

namespace {

constexpr std::size_t kHeadBytes = 16;

std::uint64_t keyWord(const std::uint8_t* key, std::size_t length, std::size_t from)
{
    std::uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        word = (word << 8) | (i < length ? key[i] : 0);
    return word;
}

} // namespace

std::vector<TextSortKeys::Row> TextSortKeys::rows(const std::vector<std::uint32_t>& tieKeys) const
{
    std::vector<Row> rows(size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::span<const std::uint8_t> k = key(i);
        rows[i] = { { keyWord(k.data(), k.size(), 0), keyWord(k.data(), k.size(), 8) },
            static_cast<std::uint32_t>(k.size()), i < tieKeys.size() ? tieKeys[i] : 0, static_cast<std::uint32_t>(i) };
    }
    return rows;
}

bool TextSortKeys::RowLess::operator()(const Row& a, const Row& b) const
{
    // Byte order, and a key that is the start of another comes first. Equal heads leave only
    // the bytes after the head to compare.
    int c = 0;
    if (a.head[0] != b.head[0]) {
        c = a.head[0] < b.head[0] ? -1 : 1;
    } else if (a.head[1] != b.head[1]) {
        c = a.head[1] < b.head[1] ? -1 : 1;
    } else {
        const std::size_t shorter = std::min(a.length, b.length);
        if (shorter > kHeadBytes)
            c = std::memcmp(
                m_keys->key(a.row).data() + kHeadBytes, m_keys->key(b.row).data() + kHeadBytes, shorter - kHeadBytes);
        if (c == 0 && a.length != b.length)
            c = a.length < b.length ? -1 : 1;
    }
    if (c != 0)
        return m_descending ? c > 0 : c < 0;
    // Equal texts keep the draw order, whichever way the texts go.
    if (a.tie != b.tie)
        return a.tie < b.tie;
    return a.row < b.row;
}

RowOrder TextSortKeys::order(bool descending, const std::vector<std::uint32_t>& tieKeys) const
{
    std::vector<Row> sorted = rows(tieKeys);
    std::sort(sorted.begin(), sorted.end(), RowLess(*this, descending));
    RowOrder order(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        order[i] = sorted[i].row;
    return order;
}

} // namespace kuji
