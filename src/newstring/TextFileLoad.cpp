#include "newstring/TextFileLoad.h"

#include "newstring/EditorText.h"

#include <cstring>
#include <utility>

namespace kuji {
namespace {

// About a megabyte of the file is decoded at a time: a few milliseconds of work.
constexpr std::size_t kStretchBytes = 1 << 20;

bool isUtf16(text::Encoding encoding)
{
    return encoding == text::Encoding::Utf16Le || encoding == text::Encoding::Utf16Be;
}

// The encoding a byte-order mark at the start tells; UTF-8 when there is none.
text::Encoding markedEncoding(std::string_view bytes)
{
    for (const text::Encoding marked : { text::Encoding::Utf8Bom, text::Encoding::Utf16Le, text::Encoding::Utf16Be })
        if (bytes.starts_with(text::byteOrderMark(marked)))
            return marked;
    return text::Encoding::Utf8;
}

} // namespace

TextFileLoad::TextFileLoad(std::string path)
    : m_path(std::move(path))
{
}

void TextFileLoad::fail()
{
    m_bytes.release();
    m_decoded.clear();
    m_phase = Phase::Failed;
}

// Stretches end after a line break, where every decoder starts afresh: decoding them one by
// one gives the text that decoding the whole file gives, and no line is cut in two. In UTF-16
// the break is the unit LF at an even place; in the other encodings the byte LF, which is
// never part of a CP932 or UTF-8 character.
std::size_t TextFileLoad::stretchEnd(std::size_t from) const
{
    const std::string_view bytes = m_bytes.view();
    if (bytes.size() - from <= kStretchBytes)
        return bytes.size();
    if (!isUtf16(m_encoding)) {
        const void* lf = std::memchr(bytes.data() + from + kStretchBytes, '\n', bytes.size() - from - kStretchBytes);
        return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) + 1 : bytes.size();
    }
    const std::size_t first = from + kStretchBytes;
    const std::size_t lowByte = m_encoding == text::Encoding::Utf16Le ? 0 : 1;
    const std::size_t bom = text::byteOrderMark(m_encoding).size();
    // The unit that starts at or after first.
    for (std::size_t unit = first + (first - bom) % 2; unit + 1 < bytes.size(); unit += 2) {
        if (bytes[unit + lowByte] == '\n' && bytes[unit + 1 - lowByte] == '\0')
            return unit + 2;
    }
    return bytes.size();
}

bool TextFileLoad::step(Clock::time_point deadline)
{
    // Each stretch is a few milliseconds; the clock is looked at after each.
    for (;;) {
        switch (m_phase) {
        case Phase::Open:
            if (!m_bytes.open(m_path, m_error)) {
                fail();
                return true;
            }
            m_phase = Phase::Read;
            break;
        case Phase::Read:
            if (!m_bytes.readSome(deadline, m_error)) {
                fail();
                return true;
            }
            if (m_bytes.reading())
                return false;
            m_encoding = markedEncoding(m_bytes.view());
            m_raw = text::byteOrderMark(m_encoding).size();
            m_phase = m_encoding == text::Encoding::Utf8 ? Phase::Detect : Phase::Decode;
            break;
        case Phase::Detect: {
            // Without a byte-order mark the file is UTF-8 when all of it is valid UTF-8.
            const std::size_t end = stretchEnd(m_raw);
            if (!text::isValidUtf8(m_bytes.view().substr(m_raw, end - m_raw))) {
                m_encoding = text::Encoding::Cp932;
                m_raw = m_bytes.size();
            } else {
                m_raw = end;
            }
            if (m_raw == m_bytes.size()) {
                m_raw = 0;
                m_phase = Phase::Decode;
            }
            break;
        }
        case Phase::Decode: {
            const std::size_t end = stretchEnd(m_raw);
            const std::string_view raw = m_bytes.view().substr(m_raw, end - m_raw);
            std::string decoded;
            switch (m_encoding) {
            case text::Encoding::Utf8:
                decoded = raw;
                break;
            case text::Encoding::Utf8Bom:
                decoded = text::repairUtf8(raw);
                break;
            case text::Encoding::Utf16Le:
            case text::Encoding::Utf16Be:
                decoded = text::utf16ToUtf8(raw, m_encoding == text::Encoding::Utf16Be);
                break;
            case text::Encoding::Cp932:
                decoded = text::cp932ToUtf8(raw);
                break;
            }
            if (EditorText::hasLineLongerThan(decoded)) {
                fail();
                m_phase = Phase::TooLong;
                return true;
            }
            m_decodedBytes += decoded.size();
            if (!decoded.empty())
                m_decoded.push_back(std::move(decoded));
            m_raw = end;
            if (m_raw == m_bytes.size()) {
                m_bytes.release();
                m_phase = Phase::Ready;
                return true;
            }
            break;
        }
        case Phase::Ready:
        case Phase::Failed:
        case Phase::TooLong:
            return true;
        }
        if (Clock::now() >= deadline)
            return false;
    }
}

std::string_view TextFileLoad::nextPiece(std::size_t maxBytes)
{
    // The piece handed out last stays until now.
    while (!m_decoded.empty() && m_offset == m_decoded.front().size()) {
        m_decoded.pop_front();
        m_offset = 0;
    }
    if (m_phase != Phase::Ready || m_decoded.empty())
        return {};
    const std::string& stretch = m_decoded.front();
    const std::size_t end = EditorText::pieceEnd(stretch, m_offset, maxBytes);
    const std::string_view piece = std::string_view(stretch).substr(m_offset, end - m_offset);
    m_offset = end;
    m_taken += piece.size();
    return piece;
}

int TextFileLoad::progress() const
{
    switch (m_phase) {
    case Phase::Open:
    case Phase::Read:
    case Phase::Detect:
        return 0;
    case Phase::Decode:
        return m_bytes.size() == 0 ? 100 : static_cast<int>(100.0 * static_cast<double>(m_raw) / m_bytes.size());
    case Phase::Ready:
        return m_decodedBytes == 0 ? 1000
                                   : 100 + static_cast<int>(900.0 * static_cast<double>(m_taken) / m_decodedBytes);
    case Phase::Failed:
    case Phase::TooLong:
        break;
    }
    return 1000;
}

} // namespace kuji
