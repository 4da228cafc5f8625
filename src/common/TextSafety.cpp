#include "common/TextSafety.h"

#include "common/TextCodec.h"

#include <cstdio>

namespace kuji {
namespace {

bool isControl(char32_t ch, bool allowTab)
{
    if (ch == U'\n' || ch == U'\r' || (allowTab && ch == U'\t'))
        return false;
    return ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch <= 0x9F);
}

// Marks that turn the direction of the text: a line can be made to read backwards.
bool isBidiControl(char32_t ch)
{
    return (ch >= 0x202A && ch <= 0x202E) || (ch >= 0x2066 && ch <= 0x2069) || ch == 0x200E || ch == 0x200F
        || ch == 0x061C;
}

std::string codePointName(char32_t ch)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(ch));
    return name;
}

} // namespace

std::optional<UnsafeSpot> findUnsafeText(std::string_view text, bool allowTab)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (isControl(byte, allowTab))
                return UnsafeSpot { i, "制御文字 " + codePointName(byte) };
            ++i;
            continue;
        }
        const std::size_t length = text::utf8SequenceLength(text.substr(i));
        if (length == 0) {
            char cause[64];
            std::snprintf(cause, sizeof cause, "正しくない UTF-8 のバイト 0x%02X", byte);
            return UnsafeSpot { i, cause };
        }
        const char32_t ch = text::utf8CodePoint(text.substr(i), length);
        if (isControl(ch, allowTab))
            return UnsafeSpot { i, "制御文字 " + codePointName(ch) };
        i += length;
    }
    return std::nullopt;
}

std::string printableText(std::string_view text, std::size_t maxChars)
{
    std::string out;
    out.reserve(std::min(text.size(), maxChars * 4) + 8);
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (chars >= maxChars) {
            out += "…";
            break;
        }
        ++chars;
        const auto byte = static_cast<unsigned char>(text[i]);
        char escape[16];
        if (byte < 0x80) {
            if (byte == '\\')
                out += "\\\\";
            else if (isControl(byte, false) || byte == '\n' || byte == '\r' || byte == '\t') {
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                out += escape;
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        const std::size_t length = text::utf8SequenceLength(text.substr(i));
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
            ++i;
            continue;
        }
        const char32_t ch = text::utf8CodePoint(text.substr(i), length);
        if (isControl(ch, false) || isBidiControl(ch)) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(ch));
            out += escape;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

} // namespace kuji
