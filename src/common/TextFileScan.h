#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/TextCodec.h"

namespace kuji {

// What a reader of a text file learns from its bytes before it splits them: the encoding (a
// byte-order mark, else whether the text is valid UTF-8) and the number of line breaks.
// The bytes are looked at piece by piece as they come in, so that a large file is read in
// short slices and each piece is looked at while it is still in the cache.
class TextFileScan {
public:
    // checkUtf8: false when only the line breaks are wanted.
    explicit TextFileScan(bool checkUtf8 = true);

    // Forgets the bytes looked at so far, for another file.
    void reset();

    // Looks at the bytes that came in since the last call. bytes: everything read so far,
    // from the file's first byte; complete: nothing more will come.
    void advance(std::string_view bytes, bool complete);

    // True once advance has seen the complete file.
    bool complete() const { return m_complete; }

    // Line breaks of the bytes looked at: CR LF, a lone LF and a lone CR each count one, by
    // 16-bit units after a UTF-16 byte-order mark, by bytes otherwise. Exact once complete.
    std::int64_t lineBreaks() const { return m_breaks; }

    // Once complete: the encoding that text::detectEncoding gives for the whole file.
    text::Encoding encoding() const;

    // Once complete (and only when checking): true when the text after a UTF-8 byte-order
    // mark, or the whole file without one, is valid UTF-8. Always false for UTF-16.
    bool validUtf8() const { return m_valid; }

private:
    enum class Mode { Unknown, Bytes, Utf16Le, Utf16Be };

    void countBytes(std::string_view bytes);
    void countUnits(std::string_view bytes);
    void checkUtf8(std::string_view bytes, bool complete);

    bool m_checkUtf8;
    Mode m_mode = Mode::Unknown;
    bool m_utf8Bom = false;
    bool m_complete = false;
    std::size_t m_counted = 0; // bytes whose breaks are counted
    std::size_t m_checked = 0; // bytes checked for UTF-8
    bool m_valid = true;
    bool m_lastWasCr = false; // the last byte or unit counted was a CR, counted as a lone one
    std::int64_t m_breaks = 0;
};

} // namespace kuji
