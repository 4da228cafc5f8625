#pragma once

#include <cstddef>
#include <string_view>

namespace kuji::fuzz {

// The length of the well-formed UTF-8 sequence at byte i of s, by the table of the Unicode
// standard (3.9, table 3-7), or 0 when the bytes there form none. Written apart from the
// program's codec so that the two check each other.
inline std::size_t sequenceAt(std::string_view s, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const auto in = [](unsigned char b, unsigned char lo, unsigned char hi) { return b >= lo && b <= hi; };
    const unsigned char b = at(i);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b <= 0x7F)
        return 1;
    if (in(b, 0xC2, 0xDF))
        n = 2;
    else if (b == 0xE0)
        n = 3, lo = 0xA0;
    else if (in(b, 0xE1, 0xEC) || in(b, 0xEE, 0xEF))
        n = 3;
    else if (b == 0xED)
        n = 3, hi = 0x9F;
    else if (b == 0xF0)
        n = 4, lo = 0x90;
    else if (in(b, 0xF1, 0xF3))
        n = 4;
    else if (b == 0xF4)
        n = 4, hi = 0x8F;
    else
        return 0;
    if (i + n > s.size() || !in(at(i + 1), lo, hi))
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (!in(at(i + k), 0x80, 0xBF))
            return 0;
    return n;
}

inline bool wellFormedUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = sequenceAt(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

} // namespace kuji::fuzz
