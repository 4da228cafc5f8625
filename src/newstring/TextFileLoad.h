#pragma once

#include "common/FileReading.h"
#include "common/TextCodec.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace kuji {

// A text file read for the string window's editor a slice at a time, so that a file of a
// million lines neither freezes the window nor holds it past a Stop. The file is read whole,
// its encoding told (byte-order mark, else valid UTF-8, else CP932), decoded to UTF-8 a
// stretch of whole lines at a time and checked for lines too long for the editor, all before
// the editor is touched; then the window takes the text a piece at a time.
//
// The decoded text is kept in stretches of about a megabyte that go as soon as the window
// has taken them, so the text in memory shrinks while the editor's document grows.
class TextFileLoad {
public:
    using Clock = std::chrono::steady_clock;

    explicit TextFileLoad(std::string path);

    // Reads, decodes and checks until the deadline; true once the text is ready, the file
    // could not be read (failed) or a line is too long (tooLong). Each call does at least
    // one piece of the work, however late it starts.
    bool step(Clock::time_point deadline);

    bool failed() const { return m_phase == Phase::Failed; }
    const ErrorInfo& error() const { return m_error; }
    // A line holds more than EditorText::kMaxLineChars characters; nothing is kept.
    bool tooLong() const { return m_phase == Phase::TooLong; }
    bool ready() const { return m_phase == Phase::Ready; }
    text::Encoding encoding() const { return m_encoding; }

    // Once ready: the next piece of the text in UTF-8, about maxBytes long, as
    // EditorText::pieceEnd cuts it; empty at the end. Valid until the next call.
    std::string_view nextPiece(std::size_t maxBytes);

    // Done so far, out of 1000: reading and decoding are the first tenth, the pieces taken
    // the rest.
    int progress() const;

private:
    enum class Phase { Open, Read, Detect, Decode, Ready, Failed, TooLong };

    // The end of the stretch of raw bytes that starts at `from`: after the first line break
    // at or beyond about a megabyte, or the end of the bytes.
    std::size_t stretchEnd(std::size_t from) const;
    void fail();

    std::string m_path;
    Phase m_phase = Phase::Open;
    ErrorInfo m_error;
    FileBytes m_bytes;
    text::Encoding m_encoding = text::Encoding::Utf8;
    std::size_t m_raw = 0; // where the next stretch of raw bytes starts
    std::deque<std::string> m_decoded;
    std::size_t m_decodedBytes = 0;
    std::size_t m_taken = 0; // bytes of decoded text handed out
    std::size_t m_offset = 0; // in m_decoded.front()
};

} // namespace kuji
