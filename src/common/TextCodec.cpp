#include "common/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <vector>

namespace kuji::text {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool isAscii(std::string_view bytes)
{
    for (unsigned char c : bytes)
        if (c >= 0x80)
            return false;
    return true;
}

class Iconv {
public:
    Iconv(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Iconv()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in; on an invalid or incomplete sequence calls onInvalid with the
    // output so far and skips one input byte (returning false from onInvalid stops).
    template <typename OnInvalid> bool convert(std::string_view in, std::string& out, OnInvalid onInvalid)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1 << 16];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                if (!onInvalid(out))
                    return false;
                ++src;
                --srcLeft;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

std::size_t utf8SequenceLength(std::string_view s)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < len)
        return 0;
    if (b(1) < lo || b(1) > hi)
        return 0;
    for (std::size_t i = 2; i < len; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF)
            return 0;
    return len;
}

char32_t utf8CodePoint(std::string_view s, std::size_t len)
{
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[i])); };
    switch (len) {
    case 1:
        return b(0);
    case 2:
        return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3:
        return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    default:
        return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    }
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Skip runs of ASCII quickly: most files are mostly ASCII.
        while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
            ++i;
        if (i == bytes.size())
            break;
        const std::size_t len = utf8SequenceLength(bytes.substr(i));
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string repairUtf8(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t len = utf8SequenceLength(bytes.substr(i));
        if (len == 0) {
            out.append(kReplacement);
            ++i;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    return out;
}

namespace {

// CP932 to UTF-8 through a table made once from the system's converter: every single byte
// and every lead/trail pair, with what the converter makes of it. Decoding is then a lookup
// per character, several times faster than the converter itself on large files. The reverse
// table holds, for every character some code decodes to, the code the converter writes for
// it, so encoding is a lookup as well and exact by construction.
class Cp932Table {
public:
    static const Cp932Table& instance()
    {
        static const Cp932Table table;
        return table;
    }

    bool valid() const { return m_valid; }

    void decode(std::string_view bytes, std::string& out) const
    {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        std::size_t i = 0;
        while (i < n) {
            const unsigned char c = p[i];
            if (c < 0x80) {
                // Copy the run of ASCII in one go.
                std::size_t j = i + 1;
                while (j < n && p[j] < 0x80)
                    ++j;
                out.append(bytes.data() + i, j - i);
                i = j;
                continue;
            }
            if (isLead(c) && i + 1 < n) {
                const Utf8Char& pair = m_pairs[pairIndex(c, p[i + 1])];
                if (pair.length != 0) {
                    out.append(pair.bytes, pair.length);
                    i += 2;
                    continue;
                }
            }
            const Utf8Char& single = m_singles[c];
            if (single.length != 0)
                out.append(single.bytes, single.length);
            else
                out.append(kReplacement);
            ++i;
        }
    }

    // The CP932 code of a character beyond ASCII: a single byte below 0x100, a lead and trail
    // byte pair above; 0 when no code decodes to it.
    std::uint16_t code(char32_t cp) const { return cp < m_codes.size() ? m_codes[cp] : 0; }

private:
    struct Utf8Char {
        char bytes[4] = {};
        unsigned char length = 0; // 0: the converter refuses it
    };

    static bool isLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
    static std::size_t pairIndex(unsigned char lead, unsigned char trail)
    {
        return static_cast<std::size_t>(lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 31) * 256 + trail;
    }

    // What a whole code decodes to, or nothing when it is not one character of the table.
    const Utf8Char* decoded(std::string_view code) const
    {
        const auto c = static_cast<unsigned char>(code[0]);
        const Utf8Char* ch = nullptr;
        if (code.size() == 1)
            ch = &m_singles[c];
        else if (code.size() == 2 && isLead(c))
            ch = &m_pairs[pairIndex(c, static_cast<unsigned char>(code[1]))];
        return ch && ch->length != 0 ? ch : nullptr;
    }

    Cp932Table()
        : m_pairs(60 * 256)
        , m_codes(0x10000, 0)
    {
        Iconv toUtf8("UTF-8", "CP932");
        Iconv toCp932("CP932", "UTF-8");
        if (!toUtf8.valid() || !toCp932.valid())
            return;
        // Only a whole, single character counts: anything else is converted byte by byte.
        const auto convertOne = [](Iconv& cd, std::string_view in, std::string& out) {
            out.clear();
            bool ok = true;
            cd.convert(in, out, [&ok](std::string&) {
                ok = false;
                return false;
            });
            return ok && !out.empty();
        };
        std::string out;
        const auto decodeOne = [&](std::string_view in, Utf8Char& into) {
            if (convertOne(toUtf8, in, out) && out.size() <= 4 && isValidUtf8(out)
                && utf8SequenceLength(out) == out.size()) {
                out.copy(into.bytes, out.size());
                into.length = static_cast<unsigned char>(out.size());
            }
        };
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char byte = static_cast<char>(c);
            decodeOne(std::string_view(&byte, 1), m_singles[c]);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLead(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = { static_cast<char>(lead), static_cast<char>(trail) };
                decodeOne(std::string_view(pair, 2),
                    m_pairs[pairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))]);
            }
        }

        // Several codes may decode to one character (NEC and IBM duplicates): the code the
        // converter itself writes wins, the first such code otherwise.
        const auto addCode = [&](std::string_view code, const Utf8Char& ch) {
            const std::string_view utf8(ch.bytes, ch.length);
            const char32_t cp = utf8CodePoint(utf8, utf8.size());
            if (cp < 0x80 || cp >= m_codes.size() || m_codes[cp] != 0)
                return;
            std::string_view chosen = code;
            std::string written;
            if (convertOne(toCp932, utf8, written)) {
                const Utf8Char* back = decoded(written);
                if (back && std::string_view(back->bytes, back->length) == utf8)
                    chosen = written;
            }
            m_codes[cp] = chosen.size() == 1 ? static_cast<std::uint16_t>(static_cast<unsigned char>(chosen[0]))
                                             : static_cast<std::uint16_t>(static_cast<unsigned char>(chosen[0]) << 8
                                                 | static_cast<unsigned char>(chosen[1]));
        };
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char byte = static_cast<char>(c);
            if (m_singles[c].length != 0)
                addCode(std::string_view(&byte, 1), m_singles[c]);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLead(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = { static_cast<char>(lead), static_cast<char>(trail) };
                const Utf8Char& ch
                    = m_pairs[pairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))];
                if (ch.length != 0)
                    addCode(std::string_view(pair, 2), ch);
            }
        }
        m_valid = true;
    }

    Utf8Char m_singles[256];
    std::vector<Utf8Char> m_pairs;
    std::vector<std::uint16_t> m_codes; // by code point below 0x10000
    bool m_valid = false;
};

// Bytes the character at the start of s takes in CP932 (0 when it has no code there), and
// the length of its UTF-8 sequence in len (1 for a malformed byte).
std::size_t cp932Cost(std::string_view s, std::size_t& len)
{
    const auto c = static_cast<unsigned char>(s[0]);
    if (c < 0x80) {
        len = 1;
        return 1;
    }
    len = utf8SequenceLength(s);
    if (len == 0) {
        len = 1;
        return 0;
    }
    const std::uint16_t code = Cp932Table::instance().code(utf8CodePoint(s, len));
    return code == 0 ? 0 : (code < 0x100 ? 1 : 2);
}

} // namespace

Encoding detectEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        return Encoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeBom))
        return Encoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeBom))
        return Encoding::Utf16Be;
    return isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
}

std::string_view byteOrderMark(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8Bom:
        return kUtf8Bom;
    case Encoding::Utf16Le:
        return kUtf16LeBom;
    case Encoding::Utf16Be:
        return kUtf16BeBom;
    case Encoding::Utf8:
    case Encoding::Cp932:
        break;
    }
    return {};
}

namespace {

void appendCp932AsUtf8(std::string_view bytes, std::string& out)
{
    const Cp932Table& table = Cp932Table::instance();
    if (table.valid()) {
        table.decode(bytes, out);
        return;
    }
    // Without the converter keep what is ASCII and mark the rest.
    for (unsigned char c : bytes) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
            out.append(kReplacement);
    }
}

} // namespace

std::string cp932ToUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    appendCp932AsUtf8(bytes, out);
    return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    const int high = bigEndian ? 0 : 1;
    const auto unit
        = [&](std::size_t i) -> char32_t { return char32_t { p[2 * i + high] } << 8 | p[2 * i + 1 - high]; };
    // Written through a pointer into room for the longest result (three bytes per unit, and
    // one U+FFFD for an odd last byte), then cut to what was written.
    std::string out(units * 3 + kReplacement.size(), '\0');
    char* o = out.data();
    const auto put = [&o](char32_t cp) {
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (cp >> 12));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    };
    std::size_t i = 0;
    while (i < units) {
        const char32_t u = unit(i++);
        if (u < 0xD800 || u > 0xDFFF) {
            put(u);
        } else if (u <= 0xDBFF && i < units && unit(i) >= 0xDC00 && unit(i) <= 0xDFFF) {
            // A pair takes four bytes for its two units: within the room.
            put(0x10000 + ((u - 0xD800) << 10) + (unit(i) - 0xDC00));
            ++i;
        } else {
            put(0xFFFD);
        }
    }
    if (bytes.size() % 2 != 0)
        put(0xFFFD);
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string utf8ToUtf16(std::string_view utf8, bool bigEndian)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&](char32_t u) {
        const auto hi = static_cast<char>(u >> 8);
        const auto lo = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t len = utf8SequenceLength(utf8.substr(i));
        const char32_t cp = len == 0 ? 0xFFFD : utf8CodePoint(utf8.substr(i), len);
        i += len == 0 ? 1 : len;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

Decoded decode(std::string_view bytes)
{
    const Encoding encoding = detectEncoding(bytes);
    bytes.remove_prefix(byteOrderMark(encoding).size());
    switch (encoding) {
    case Encoding::Utf8Bom:
        return { repairUtf8(bytes), encoding };
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        return { utf16ToUtf8(bytes, encoding == Encoding::Utf16Be), encoding };
    case Encoding::Utf8:
        return { std::string(bytes), encoding };
    case Encoding::Cp932:
        break;
    }
    return { cp932ToUtf8(bytes), Encoding::Cp932 };
}

bool appendCp932Exact(std::string_view utf8, std::string& out)
{
    const std::size_t start = out.size();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            std::size_t j = i + 1;
            while (j < n && p[j] < 0x80)
                ++j;
            out.append(utf8.data() + i, j - i);
            i = j;
            continue;
        }
        const std::size_t len = utf8SequenceLength(utf8.substr(i));
        const std::uint16_t code = len == 0 ? 0 : Cp932Table::instance().code(utf8CodePoint(utf8.substr(i), len));
        if (code == 0) {
            out.resize(start);
            return false;
        }
        if (code >= 0x100)
            out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
        i += len;
    }
    return true;
}

std::optional<std::string> toCp932Exact(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    if (!appendCp932Exact(utf8, out))
        return std::nullopt;
    return out;
}

SaveEncoder::SaveEncoder(std::size_t expectedBytes)
{
    m_bytes.reserve(expectedBytes);
}

void SaveEncoder::append(std::string_view utf8)
{
    if (!m_utf8) {
        if (appendCp932Exact(utf8, m_bytes)) {
            checkReadBack();
            return;
        }
        switchToUtf8();
    }
    m_bytes.append(utf8);
}

void SaveEncoder::checkReadBack()
{
    while (m_readsAsUtf8 && m_checked < m_bytes.size()) {
        if (static_cast<unsigned char>(m_bytes[m_checked]) < 0x80) {
            ++m_checked;
            continue;
        }
        const std::size_t length = utf8SequenceLength(std::string_view(m_bytes).substr(m_checked));
        if (length == 0) {
            // Fewer bytes than the longest sequence may be one that the next piece completes.
            m_readsAsUtf8 = m_bytes.size() - m_checked < 4;
            return;
        }
        m_beyondAscii = true;
        m_checked += length;
    }
}

void SaveEncoder::settle() const
{
    if (!m_utf8 && m_readsAsUtf8 && m_beyondAscii && m_checked == m_bytes.size())
        switchToUtf8();
}

void SaveEncoder::switchToUtf8() const
{
    // Everything added so far had an exact CP932 form, so it decodes back to the very text;
    // text of ASCII alone stays where it is.
    if (isAscii(m_bytes)) {
        m_bytes.insert(0, kUtf8Bom);
    } else {
        std::string converted;
        converted.reserve(std::max(m_bytes.capacity(), m_bytes.size() * 3 / 2) + kUtf8Bom.size());
        converted += kUtf8Bom;
        appendCp932AsUtf8(m_bytes, converted);
        m_bytes = std::move(converted);
    }
    m_utf8 = true;
}

Encoding SaveEncoder::encoding() const
{
    settle();
    return m_utf8 ? Encoding::Utf8Bom : Encoding::Cp932;
}

const std::string& SaveEncoder::bytes() const
{
    settle();
    return m_bytes;
}

std::string SaveEncoder::take()
{
    settle();
    std::string out = std::move(m_bytes);
    m_bytes.clear();
    m_utf8 = false;
    m_checked = 0;
    m_readsAsUtf8 = true;
    m_beyondAscii = false;
    return out;
}

std::string encodeForSave(std::string_view utf8)
{
    SaveEncoder encoder;
    encoder.append(utf8);
    return encoder.take();
}

std::string truncateToEncodedBytes(std::string_view utf8, std::size_t maxBytes)
{
    // A character never takes more bytes in CP932 than in UTF-8.
    if (utf8.size() <= maxBytes)
        return std::string(utf8);
    bool cp932 = true;
    std::size_t len = 0;
    for (std::size_t i = 0; i < utf8.size() && cp932; i += len)
        cp932 = cp932Cost(utf8.substr(i), len) != 0;

    std::size_t used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t cost = cp932Cost(utf8.substr(i), len);
        if (used + (cp932 ? cost : len) > maxBytes)
            break;
        used += cp932 ? cost : len;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

} // namespace kuji::text
