#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/EntryList.h"
#include "common/FileReading.h"
#include "common/TextCodec.h"
#include "common/TextFileScan.h"

namespace kuji {

// Reads an entry file into work-list rows, a slice at a time, so that the window stays
// responsive and can be stopped between slices.
//
// Each physical line is read without its line break (CR LF, LF or a lone CR). Without quote
// mode every line is an entry. In quote mode (.csv files) a record goes on over the following
// lines, joined by CR LF, until it holds an even number of '"' characters or the file ends.
// An empty line is an entry with empty text, a final line break adds no entry, and keys run
// 1, 2, 3 ... without gaps.
//
// The file is read whole and its encoding chosen once (UTF-8 with or without a byte-order
// mark, UTF-16 with one, else CP932); text that is not already UTF-8 is then decoded piece by
// piece while the rows are made, so no single step holds the window for long and the file is
// never held twice over in memory. Reading the bytes, counting the lines and choosing the
// encoding are sliced as well (start, then load or readSome), so a window can stop even
// the first moments of a large read.
class EntryReader {
public:
    // pieceBytes: how much of a CP932 file is decoded at once; small values only for tests.
    explicit EntryReader(std::size_t pieceBytes = std::size_t { 1 } << 20);

    // Reads the file's bytes and prepares to make rows, all at once. Returns false with err
    // filled when the file cannot be read (missing, a folder, no permission, too large, read
    // error, out of memory).
    bool open(const std::string& path, bool csvQuoteMode, ErrorInfo& err);

    // Opens the file and sets aside room for its bytes, leaving their reading to load or
    // readSome. Returns false with err filled when the file cannot be opened (missing, a
    // folder, no permission, too large, out of memory); a read error shows later in failed().
    bool start(const std::string& path, bool csvQuoteMode, ErrorInfo& err);

    // Reads the bytes of a started file, counts its lines and chooses its encoding, a few
    // megabytes at a time until the deadline passes; at least one piece a call. Returns
    // true once that is done or has failed.
    bool load(std::chrono::steady_clock::time_point deadline);

    // True once the file's bytes are read and counted, until the next start: lineCount()
    // and encoding() hold.
    bool loaded() const { return m_loaded; }

    // Appends complete entries to out until the deadline passes or the file ends; returns how
    // many were appended. A started file is loaded first (see load), and no entry is made
    // in a call that ends before the loading does. The clock is looked at every few hundred
    // entries, so each call makes progress even with a deadline already past. Returns 0
    // once at the end.
    std::size_t readSome(EntryList& out, std::chrono::steady_clock::time_point deadline);

    // Reads everything that is left in one go.
    std::size_t readAll(EntryList& out);

    // True when every entry has been made (or nothing is open, or reading failed).
    bool atEnd() const;

    // True when reading stopped because of a read error or because memory ran out; error()
    // tells more.
    bool failed() const { return m_error.number != 0; }
    const ErrorInfo& error() const { return m_error; }

    // Physical lines consumed so far (for the progress value).
    std::int32_t linesRead() const { return m_lines; }

    // Line breaks + 1 of the whole file, known once loaded (for the progress maximum).
    std::int32_t lineCount() const { return m_lineCount; }

    // Entries made so far.
    std::int32_t entries() const { return m_entries; }

    // Encoding the file was read in.
    text::Encoding encoding() const { return m_encoding; }

    // In quote mode: the 1-based physical line on which the last record began when the file
    // ended with that record's quote still open (an odd number of '"' up to the end), so
    // that the record took the rest of the file; 0 when every record was closed.
    std::int32_t unclosedQuoteLine() const { return m_unclosedQuoteLine; }

    // Drops the file's text, for example after a stop request.
    void close();

private:
    enum class Source { Direct, Cp932Pieces, Utf8BomPieces, Utf16LePieces, Utf16BePieces };

    void reset(bool csvQuoteMode);
    void prepareText();
    std::string_view nextLine();
    bool textExhausted() const { return m_pos >= m_text.size() && m_rawPos >= m_raw.size(); }
    void decodeNextPiece();
    std::size_t pieceEnd(std::size_t start) const;
    std::size_t utf16PieceEnd(std::size_t start) const;
    void appendRecord(EntryList& out);

    std::size_t m_pieceBytes;
    bool m_quoteMode = false;
    Source m_source = Source::Direct;
    text::Encoding m_encoding = text::Encoding::Utf8;

    FileBytes m_raw; // the file's bytes
    TextFileScan m_scan; // line breaks and encoding, learnt while the bytes come in
    bool m_loading = false; // started, and the bytes not all read and counted yet
    bool m_loaded = false;
    std::size_t m_rawPos = 0; // first byte not yet decoded
    std::string m_piece; // decoded text of the current piece
    std::string_view m_text; // text being split: the piece, or the raw bytes when already UTF-8
    std::size_t m_pos = 0; // first character of the next line within m_text
    // Next LF at or after m_pos within m_text: its size when there is none, npos when not yet looked for.
    std::size_t m_nextLf = std::string_view::npos;

    std::int32_t m_lines = 0;
    std::int32_t m_lineCount = 1;
    std::int32_t m_entries = 0;
    std::int32_t m_unclosedQuoteLine = 0;
    bool m_reserved = false;
    ErrorInfo m_error;
};

// The warning after a read whose last record was left open by a quote that began on that line:
// "Error:" + line + "行目で始まる項目の「"」が閉じられていないため、" + CR LF + seven spaces +
// "ファイルの終わりまでをひとつの項目として読み込みました。"
std::string formatUnclosedQuoteWarning(std::int32_t line);

} // namespace kuji
