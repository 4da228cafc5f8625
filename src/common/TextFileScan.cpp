#include "common/TextFileScan.h"

#include "common/FileReading.h"

#include <algorithm>

namespace kuji {

TextFileScan::TextFileScan(bool checkUtf8)
    : m_checkUtf8(checkUtf8)
{
}

void TextFileScan::reset()
{
    *this = TextFileScan(m_checkUtf8);
}

void TextFileScan::advance(std::string_view bytes, bool complete)
{
    if (m_mode == Mode::Unknown) {
        // The longest byte-order mark has three bytes.
        if (bytes.size() < text::kUtf8Bom.size() && !complete)
            return;
        if (bytes.starts_with(text::kUtf8Bom)) {
            m_mode = Mode::Bytes;
            m_utf8Bom = true;
            m_checked = text::kUtf8Bom.size();
        } else if (bytes.starts_with(text::kUtf16LeBom) || bytes.starts_with(text::kUtf16BeBom)) {
            m_mode = bytes.starts_with(text::kUtf16LeBom) ? Mode::Utf16Le : Mode::Utf16Be;
            m_counted = text::kUtf16LeBom.size();
            m_valid = false;
        } else {
            m_mode = Mode::Bytes;
        }
    }
    if (m_mode == Mode::Bytes) {
        countBytes(bytes);
        if (m_checkUtf8 && m_valid)
            checkUtf8(bytes, complete);
    } else {
        countUnits(bytes);
    }
    m_complete = complete;
}

void TextFileScan::countBytes(std::string_view bytes)
{
    const std::string_view piece = bytes.substr(m_counted);
    if (piece.empty())
        return;
    // A CR LF split between two pieces was counted as a lone CR at the end of the first.
    if (m_lastWasCr && piece.front() == '\n')
        --m_breaks;
    m_breaks += countLineBreaks(piece);
    m_lastWasCr = piece.back() == '\r';
    m_counted = bytes.size();
}

void TextFileScan::countUnits(std::string_view bytes)
{
    // The same rule by 16-bit units; the bytes of CR and LF also occur inside other
    // characters. An odd last byte waits for its partner (and is no unit at the very end).
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + m_counted;
    const std::size_t units = (bytes.size() - m_counted) / 2;
    if (units == 0)
        return;
    const int high = m_mode == Mode::Utf16Be ? 0 : 1;
    const auto unit = [&](std::size_t i) -> unsigned { return p[2 * i + high] << 8 | p[2 * i + 1 - high]; };
    if (m_lastWasCr && unit(0) == '\n')
        --m_breaks;
    std::int64_t breaks = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned u = unit(i);
        if (u == '\n' || (u == '\r' && (i + 1 == units || unit(i + 1) != '\n')))
            ++breaks;
    }
    m_breaks += breaks;
    m_lastWasCr = unit(units - 1) == '\r';
    m_counted += 2 * units;
}

void TextFileScan::checkUtf8(std::string_view bytes, bool complete)
{
    std::size_t end = bytes.size();
    if (!complete) {
        // Stop before the last character, which may not be complete yet: at its lead byte
        // (or after it, when it is ASCII). A character has at most three continuation bytes
        // (10xxxxxx), so four in a row are invalid however the pieces fall; otherwise no
        // character runs across the cut, and the pieces are valid exactly when the whole is.
        const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        const std::size_t floor = std::max(m_checked, end >= 4 ? end - 4 : 0);
        std::size_t cut = end;
        while (cut > floor && (at(cut - 1) & 0xC0) == 0x80)
            --cut;
        if (cut > floor)
            end = at(cut - 1) < 0x80 ? cut : cut - 1;
        else if (end - floor < 4)
            end = m_checked;
    }
    if (end <= m_checked)
        return;
    m_valid = text::isValidUtf8(bytes.substr(m_checked, end - m_checked));
    m_checked = end;
}

text::Encoding TextFileScan::encoding() const
{
    switch (m_mode) {
    case Mode::Utf16Le:
        return text::Encoding::Utf16Le;
    case Mode::Utf16Be:
        return text::Encoding::Utf16Be;
    case Mode::Unknown:
    case Mode::Bytes:
        break;
    }
    if (m_utf8Bom)
        return text::Encoding::Utf8Bom;
    return m_valid ? text::Encoding::Utf8 : text::Encoding::Cp932;
}

} // namespace kuji
