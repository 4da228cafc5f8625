#include "records/EntriesCopy.h"

#include "common/TextSafety.h"
#include "draw/DrawSeed.h"
#include "records/DrawRecord.h"

#include <charconv>

namespace kuji {
namespace {

constexpr std::string_view kTitle = "くじ丸 エントリーの写し\n";
constexpr std::string_view kFormat1Line = "記録の形式: 1\n";
constexpr std::string_view kFormat2Line = "記録の形式: 2\n";
constexpr std::string_view kCountPrefix = "エントリーの件数: ";
constexpr std::string_view kDigestPrefix = "エントリーのSHA-256: ";
constexpr std::string_view kEndLine = "記録の終わり\n";
constexpr std::size_t kPieceBytes = 1 << 20;

// Reads "prefix<value>\n" at pos.
bool takeLine(std::string_view text, std::size_t& pos, std::string_view prefix, std::string_view& value)
{
    if (text.substr(pos, prefix.size()) != prefix)
        return false;
    const std::size_t start = pos + prefix.size();
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos)
        return false;
    value = text.substr(start, lf - start);
    pos = lf + 1;
    return true;
}

bool parseNumber(std::string_view text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

std::string header(std::size_t count, const Sha256Digest& digest)
{
    std::string out;
    out.append(kTitle);
    out.append(kFormat2Line);
    out.append(kCountPrefix).append(std::to_string(count)) += '\n';
    out.append(kDigestPrefix).append(toHex(digest)) += '\n';
    return out;
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n')
            ++line;
    return line;
}

bool refuse(EntryList& entries, std::string& problem, std::string text)
{
    entries.clear();
    problem = std::move(text);
    return false;
}

// Format 1: "<bytes>:<entry>\n" for each entry.
bool parseFormat1(std::string_view text, std::size_t pos, std::uint64_t count, EntryList& entries, std::string& problem)
{
    // Never reserve more than the text can hold: a damaged count must not ask for gigabytes.
    entries.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, text.size() / 3)), text.size() - pos);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t colon = text.find(':', pos);
        std::uint64_t length = 0;
        if (colon == std::string_view::npos || colon - pos > 19 || !parseNumber(text.substr(pos, colon - pos), length)
            || length > text.size() - colon - 1 || colon + 1 + length >= text.size()
            || text[colon + 1 + length] != '\n') {
            return refuse(entries, problem,
                "エントリーの写しが途中で終わっているか、" + std::to_string(i + 1) + " 件目が正しくありません。");
        }
        entries.append(text.substr(colon + 1, length));
        pos = colon + 1 + length + 1;
    }
    if (text.substr(pos) != kEndLine)
        return refuse(entries, problem, "エントリーの写しが途中で終わっているか、件数が合いません。");
    return true;
}

// Format 2: one escaped entry a line.
bool parseFormat2(std::string_view text, std::size_t pos, std::uint64_t count, EntryList& entries, std::string& problem)
{
    entries.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, text.size())), text.size() - pos);
    std::string entry;
    std::size_t line = 5;
    for (std::uint64_t i = 0; i < count; ++i, ++line) {
        const std::size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos)
            return refuse(entries, problem,
                "エントリーの写しが途中で終わっています（" + std::to_string(i) + " 件しかありません）。");
        if (!unescapeRecordValue(text.substr(pos, lf - pos), entry))
            return refuse(entries, problem,
                "エントリーの写しの " + std::to_string(line) + " 行目に正しくない「\\」の書き方があります。");
        entries.append(entry);
        pos = lf + 1;
    }
    if (text.substr(pos) != kEndLine)
        return refuse(entries, problem,
            "エントリーの写しの " + std::to_string(line) + " 行目に「記録の終わり」の行がないか、件数が合いません。");
    return true;
}

} // namespace

std::string EntriesCopy::format(const EntryList& entries)
{
    std::string out = header(entries.size(), WorkListHasher::of(entries));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        appendEscapedRecordValue(out, entries.text(i));
        out += '\n';
    }
    out.append(kEndLine);
    return out;
}

std::uint64_t EntriesCopy::frameBytes(std::size_t count)
{
    return header(count, Sha256Digest {}).size() + kEndLine.size();
}

std::uint64_t EntriesCopy::entryBytes(std::string_view text)
{
    // Only entries with something to escape cost a second look.
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\' || byte >= 0x80)
            return escapeRecordValue(text).size() + 1;
    }
    return text.size() + 1;
}

std::uint64_t EntriesCopy::formattedSize(const EntryList& entries)
{
    std::uint64_t bytes = frameBytes(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        bytes += entryBytes(entries.text(i));
    return bytes;
}

bool EntriesCopy::looksLikeCopy(std::string_view text)
{
    return text.substr(0, kTitle.size()) == kTitle;
}

std::string EntriesCopy::fileName(const Sha256Digest& workList)
{
    return toHex(workList) + ".entries";
}

bool EntriesCopy::parse(std::string_view text, EntryList& entries, std::string& problem)
{
    entries.clear();
    if (!looksLikeCopy(text))
        return refuse(entries, problem, "くじ丸のエントリーの写しではありません。");
    std::size_t pos = kTitle.size();
    const bool format1 = text.substr(pos, kFormat1Line.size()) == kFormat1Line;
    const bool format2 = text.substr(pos, kFormat2Line.size()) == kFormat2Line;
    // Entries of format 1 were written as they were: their tabs and line breaks stand raw.
    if (const auto spot = findUnsafeText(text, format1))
        return refuse(entries, problem,
            "エントリーの写しの " + std::to_string(lineOfOffset(text, spot->offset)) + " 行目に" + spot->cause
                + " があります。");
    std::string_view countText;
    std::string_view digestText;
    std::uint64_t count = 0;
    Sha256Digest digest {};
    pos += kFormat1Line.size();
    const bool header = (format1 || format2) && takeLine(text, pos, kCountPrefix, countText)
        && parseNumber(countText, count) && takeLine(text, pos, kDigestPrefix, digestText)
        && fromHex(digestText, digest);
    if (!header)
        return refuse(entries, problem, "エントリーの写しの見出し（2〜4 行目）が正しくありません。");
    if (!(format1 ? parseFormat1(text, pos, count, entries, problem)
                  : parseFormat2(text, pos, count, entries, problem)))
        return false;
    if (WorkListHasher::of(entries) != digest)
        return refuse(entries, problem, "エントリーの写しの内容が、写しに書かれた SHA-256 と合いません。");
    return true;
}

EntriesCopyWriter::EntriesCopyWriter(
    std::string path, std::shared_ptr<const EntryList> entries, const Sha256Digest& digest)
    : m_path(std::move(path))
    , m_entries(std::move(entries))
    , m_digest(digest)
{
}

bool EntriesCopyWriter::fail()
{
    m_stream.abort();
    m_failed = true;
    m_done = true;
    return true;
}

bool EntriesCopyWriter::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_done)
        return true;
    if (!m_started) {
        m_started = true;
        // Records can hold people's names: the copy is the user's alone.
        if (!m_stream.open(m_path, m_error, 0600)
            || !m_stream.write(header(m_entries ? m_entries->size() : 0, m_digest), m_error))
            return fail();
    }
    const std::size_t size = m_entries ? m_entries->size() : 0;
    std::string piece;
    while (m_next < size) {
        piece.clear();
        while (m_next < size && piece.size() < kPieceBytes) {
            appendEscapedRecordValue(piece, m_entries->text(m_next++));
            piece += '\n';
        }
        if (!m_stream.write(piece, m_error))
            return fail();
        if (std::chrono::steady_clock::now() >= deadline && m_next < size)
            return false;
    }
    if (!m_stream.write(kEndLine, m_error) || !m_stream.commit(m_error))
        return fail();
    m_done = true;
    return true;
}

void EntriesCopyWriter::runToEnd()
{
    step(std::chrono::steady_clock::time_point::max());
}

} // namespace kuji
