#include "entries/EntryReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace kuji {
namespace {

// Looking at the clock costs far more than making one entry, so it is read only this often.
constexpr std::size_t kEntriesBetweenClockChecks = 256;

std::size_t countQuotes(std::string_view line)
{
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), '"'));
}

} // namespace

EntryReader::EntryReader(std::size_t pieceBytes)
    : m_pieceBytes(std::max<std::size_t>(pieceBytes, 1))
{
}

bool EntryReader::open(const std::string& path, bool csvQuoteMode, ErrorInfo& err)
{
    if (!start(path, csvQuoteMode, err))
        return false;
    load(std::chrono::steady_clock::time_point::max());
    if (failed()) {
        err = m_error;
        m_error = {};
        return false;
    }
    return true;
}

bool EntryReader::start(const std::string& path, bool csvQuoteMode, ErrorInfo& err)
{
    reset(csvQuoteMode);
    if (!m_raw.open(path, err))
        return false;
    m_loading = true;
    return true;
}

void EntryReader::reset(bool csvQuoteMode)
{
    close();
    m_error = {};
    m_lines = 0;
    m_entries = 0;
    m_lineCount = 1;
    m_unclosedQuoteLine = 0;
    m_reserved = false;
    m_quoteMode = csvQuoteMode;
    m_loaded = false;
    m_encoding = text::Encoding::Utf8;
    m_source = Source::Direct;
}

bool EntryReader::load(std::chrono::steady_clock::time_point deadline)
{
    // One piece at a time, each looked at right after it came in.
    while (m_loading) {
        if (!m_raw.readSome(std::chrono::steady_clock::time_point::min(), m_error)) {
            close();
            return true;
        }
        const bool complete = !m_raw.reading();
        m_scan.advance(m_raw.view(), complete);
        if (complete) {
            prepareText();
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
    return true;
}

void EntryReader::prepareText()
{
    m_loading = false;
    m_loaded = true;
    // The file size is capped below the 32-bit range, so this never clamps.
    m_lineCount = static_cast<std::int32_t>(
        std::min<std::int64_t>(m_scan.lineBreaks() + 1, std::numeric_limits<std::int32_t>::max()));

    std::string_view body = m_raw.view();
    m_encoding = m_scan.encoding();
    body.remove_prefix(text::byteOrderMark(m_encoding).size());
    switch (m_encoding) {
    case text::Encoding::Utf8:
        m_source = Source::Direct;
        break;
    case text::Encoding::Utf8Bom:
        m_source = m_scan.validUtf8() ? Source::Direct : Source::Utf8BomPieces;
        break;
    case text::Encoding::Cp932:
        m_source = Source::Cp932Pieces;
        break;
    case text::Encoding::Utf16Le:
        m_source = Source::Utf16LePieces;
        break;
    case text::Encoding::Utf16Be:
        m_source = Source::Utf16BePieces;
        break;
    }

    if (m_source == Source::Direct) {
        // Already the program's own text: split the bytes as they are, without a copy.
        m_text = body;
        m_rawPos = m_raw.size();
    } else {
        m_text = {};
        m_rawPos = m_raw.size() - body.size();
    }
    m_pos = 0;
    m_nextLf = std::string_view::npos;
}

bool EntryReader::atEnd() const
{
    return failed() || (!m_loading && textExhausted());
}

void EntryReader::close()
{
    m_raw.release();
    m_scan.reset();
    m_loading = false;
    m_piece = std::string();
    m_text = {};
    m_rawPos = 0;
    m_pos = 0;
    m_nextLf = std::string_view::npos;
}

std::size_t EntryReader::utf16PieceEnd(std::size_t start) const
{
    // Pieces start on a 16-bit unit (the byte-order mark is one) and end right after a CR or
    // LF unit, never between CR and LF nor inside a surrogate pair; the bytes of CR and LF
    // alone say nothing here, since they also occur inside other characters.
    const std::string_view raw = m_raw.view();
    const std::size_t size = raw.size();
    if (size - start <= m_pieceBytes)
        return size;
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data()) + start;
    const int high = m_source == Source::Utf16BePieces ? 0 : 1;
    const auto unit = [&](std::size_t i) -> unsigned { return p[2 * i + high] << 8 | p[2 * i + 1 - high]; };
    const auto isBreak = [](unsigned u) { return u == '\n' || u == '\r'; };
    const std::size_t units = (size - start) / 2;
    const std::size_t limit = std::max<std::size_t>(m_pieceBytes / 2, 1);
    std::size_t found = units;
    for (std::size_t i = limit; i-- > 0;) {
        if (isBreak(unit(i))) {
            found = i;
            break;
        }
    }
    if (found == units) {
        // One line longer than a piece: the piece runs on to that line's end.
        for (std::size_t i = limit; i < units && found == units; ++i)
            if (isBreak(unit(i)))
                found = i;
        if (found == units)
            return size;
    }
    std::size_t end = found + 1;
    if (unit(found) == '\r' && end < units && unit(end) == '\n')
        ++end;
    return start + 2 * end;
}

std::size_t EntryReader::pieceEnd(std::size_t start) const
{
    if (m_source == Source::Utf16LePieces || m_source == Source::Utf16BePieces)
        return utf16PieceEnd(start);
    const std::string_view raw = m_raw.view();
    const std::size_t size = raw.size();
    if (size - start <= m_pieceBytes)
        return size;
    const std::size_t limit = start + m_pieceBytes;
    // Cut right after a line break, never between CR and LF: neither CP932 nor UTF-8 uses
    // the bytes of CR or LF inside a character, so each piece decodes on its own exactly as
    // it would within the whole file.
    const std::string_view window = raw.substr(start, limit - start);
    if (const std::size_t lf = window.rfind('\n'); lf != std::string_view::npos)
        return start + lf + 1;
    std::size_t end = 0;
    if (const std::size_t cr = window.rfind('\r'); cr != std::string_view::npos) {
        end = start + cr + 1;
    } else {
        // One line longer than a piece: the piece runs on to that line's end.
        const std::size_t next = raw.find_first_of("\r\n", limit);
        if (next == std::string_view::npos)
            return size;
        end = next + 1;
    }
    // A CR found this way may be the first half of a CR LF.
    if (raw[end - 1] == '\r' && end < size && raw[end] == '\n')
        ++end;
    return end;
}

void EntryReader::decodeNextPiece()
{
    const std::size_t end = pieceEnd(m_rawPos);
    const std::string_view bytes = m_raw.view().substr(m_rawPos, end - m_rawPos);
    if (m_source == Source::Cp932Pieces) {
        m_piece = text::cp932ToUtf8(bytes);
    } else if (m_source == Source::Utf16LePieces || m_source == Source::Utf16BePieces) {
        m_piece = text::utf16ToUtf8(bytes, m_source == Source::Utf16BePieces);
    } else {
        // UTF-8 with a byte-order mark but broken sequences: they become U+FFFD.
        m_piece = text::repairUtf8(bytes);
    }
    m_rawPos = end;
    m_text = m_piece;
    m_pos = 0;
    m_nextLf = std::string_view::npos;
    if (m_rawPos >= m_raw.size()) {
        // The last piece is decoded: the file's bytes are no longer needed.
        m_raw.release();
        m_rawPos = 0;
    }
}

std::string_view EntryReader::nextLine()
{
    while (m_pos >= m_text.size() && m_rawPos < m_raw.size())
        decodeNextPiece();

    const char* p = m_text.data() + m_pos;
    const std::size_t n = m_text.size() - m_pos;
    // The next LF is remembered, so that a file of lone CRs is not searched to its end for
    // every line.
    if (m_nextLf == std::string_view::npos || m_nextLf < m_pos) {
        const void* lf = n == 0 ? nullptr : std::memchr(p, '\n', n);
        m_nextLf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - m_text.data()) : m_text.size();
    }
    const std::size_t lfOffset = m_nextLf - m_pos;
    const void* cr = lfOffset == 0 ? nullptr : std::memchr(p, '\r', lfOffset);

    std::size_t length = n;
    std::size_t lineBreak = 0;
    if (cr) {
        length = static_cast<std::size_t>(static_cast<const char*>(cr) - p);
        lineBreak = (length + 1 < n && p[length + 1] == '\n') ? 2 : 1;
    } else if (lfOffset < n) {
        length = lfOffset;
        lineBreak = 1;
    }
    m_pos += length + lineBreak;
    ++m_lines;
    return { p, length };
}

void EntryReader::appendRecord(EntryList& out)
{
    const std::int32_t firstLine = m_lines + 1;
    std::string_view line = nextLine();
    std::size_t quotes = m_quoteMode ? countQuotes(line) : 0;
    if (quotes % 2 == 0 || textExhausted()) {
        out.append(line);
    } else {
        // An open quote carries the record over to the next lines; an unmatched one takes
        // the rest of the file.
        out.appendPart(line);
        while (quotes % 2 != 0 && !textExhausted()) {
            line = nextLine();
            quotes += countQuotes(line);
            out.appendPart("\r\n");
            out.appendPart(line);
        }
        out.finishEntry();
    }
    if (quotes % 2 != 0)
        m_unclosedQuoteLine = firstLine;
    ++m_entries;
}

std::size_t EntryReader::readSome(EntryList& out, std::chrono::steady_clock::time_point deadline)
{
    if (atEnd() || !load(deadline) || atEnd())
        return 0;
    if (!m_reserved) {
        m_reserved = true;
        // Every line could be an entry; without quote mode every line is one. CP932 text
        // grows by about half when it becomes UTF-8 (two bytes of kanji become three); UTF-16
        // text of the usual mix takes about as many bytes as in the file.
        try {
            const std::size_t raw = m_raw.size();
            out.reserve(static_cast<std::size_t>(m_lineCount), m_source == Source::Cp932Pieces ? raw + raw / 2 : raw);
        } catch (const std::bad_alloc&) {
            // Only an estimate: the rows can still grow one by one.
        } catch (const std::length_error&) {
        }
    }

    std::size_t added = 0;
    try {
        while (!textExhausted()) {
            appendRecord(out);
            ++added;
            if (added % kEntriesBetweenClockChecks == 0 && std::chrono::steady_clock::now() >= deadline)
                break;
        }
    } catch (const std::bad_alloc&) {
        m_error.number = ENOMEM;
        m_error.description = describeFileError(ENOMEM);
    }

    if (atEnd()) {
        close();
        // Records over several lines leave part of the estimate unused; give it back.
        out.shrinkToFit();
    }
    return added;
}

std::size_t EntryReader::readAll(EntryList& out)
{
    return readSome(out, std::chrono::steady_clock::time_point::max());
}

std::string formatUnclosedQuoteWarning(std::int32_t line)
{
    return "Error:" + std::to_string(line) + "行目で始まる項目の「\"」が閉じられていないため、\r\n"
        + "       ファイルの終わりまでをひとつの項目として読み込みました。";
}

} // namespace kuji
