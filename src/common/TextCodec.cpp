#include "common/TextCodec.h"

#include <cerrno>
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

// Length of the well-formed UTF-8 sequence at the start of s, or 0 when it is malformed.
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

namespace {

// CP932 to UTF-8 through a table made once from the system's converter: every single byte
// and every lead/trail pair, with what the converter makes of it. Decoding is then a lookup
// per character, several times faster than the converter itself on large files.
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

    Cp932Table()
        : m_pairs(60 * 256)
    {
        Iconv cd("UTF-8", "CP932");
        if (!cd.valid())
            return;
        const auto convertOne = [&cd](std::string_view in, Utf8Char& into) {
            std::string out;
            bool ok = true;
            cd.convert(in, out, [&ok](std::string&) {
                ok = false;
                return false;
            });
            // Only a whole, single character counts: anything else is decoded byte by byte.
            if (ok && !out.empty() && out.size() <= 4 && isValidUtf8(out) && utf8SequenceLength(out) == out.size()) {
                out.copy(into.bytes, out.size());
                into.length = static_cast<unsigned char>(out.size());
            }
        };
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char byte = static_cast<char>(c);
            convertOne(std::string_view(&byte, 1), m_singles[c]);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLead(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = { static_cast<char>(lead), static_cast<char>(trail) };
                convertOne(std::string_view(pair, 2),
                    m_pairs[pairIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))]);
            }
        }
        m_valid = true;
    }

    Utf8Char m_singles[256];
    std::vector<Utf8Char> m_pairs;
    bool m_valid = false;
};

} // namespace

std::string cp932ToUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const Cp932Table& table = Cp932Table::instance();
    if (table.valid()) {
        table.decode(bytes, out);
        return out;
    }
    // Without the converter keep what is ASCII and mark the rest.
    for (unsigned char c : bytes) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
            out.append(kReplacement);
    }
    return out;
}

Decoded decode(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        Decoded d { std::string(), Encoding::Utf8Bom };
        if (isValidUtf8(bytes)) {
            d.utf8.assign(bytes);
            return d;
        }
        d.utf8.reserve(bytes.size());
        std::size_t i = 0;
        while (i < bytes.size()) {
            const std::size_t len = utf8SequenceLength(bytes.substr(i));
            if (len == 0) {
                d.utf8.append(kReplacement);
                ++i;
            } else {
                d.utf8.append(bytes.substr(i, len));
                i += len;
            }
        }
        return d;
    }
    if (isValidUtf8(bytes))
        return { std::string(bytes), Encoding::Utf8 };
    return { cp932ToUtf8(bytes), Encoding::Cp932 };
}

std::optional<std::string> toCp932Exact(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    Iconv cd("CP932", "UTF-8");
    if (!cd.valid())
        return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    if (!cd.convert(utf8, out, [](std::string&) { return false; }))
        return std::nullopt;
    if (cp932ToUtf8(out) != utf8)
        return std::nullopt;
    return out;
}

std::string encodeForFile(std::string_view utf8)
{
    if (auto cp = toCp932Exact(utf8))
        return std::move(*cp);
    std::string out(kUtf8Bom);
    out.append(utf8);
    return out;
}

std::string truncateToEncodedBytes(std::string_view utf8, std::size_t maxBytes)
{
    const bool cp932 = toCp932Exact(utf8).has_value();
    std::string out;
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t len = utf8SequenceLength(utf8.substr(i));
        if (len == 0)
            len = 1;
        const std::string_view ch = utf8.substr(i, len);
        std::size_t cost = len;
        if (cp932 && len > 1) {
            const auto enc = toCp932Exact(ch);
            cost = enc ? enc->size() : len;
        }
        if (used + cost > maxBytes)
            break;
        out.append(ch);
        used += cost;
        i += len;
    }
    return out;
}

} // namespace kuji::text
