#include "common/IniFile.h"

#include "common/FileReading.h"
#include "common/TextCodec.h"

#include <cerrno>
#include <sys/stat.h>

namespace kuji {
namespace {

constexpr std::string_view kSpaces = " \t\v\f";

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(kSpaces);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kSpaces);
    return s.substr(first, last - first + 1);
}

bool isSpace(char c)
{
    return kSpaces.find(c) != std::string_view::npos;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Profile names compare without regard to the case of ASCII letters; other bytes exactly.
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const auto close = t.rfind(']');
    if (close == std::string_view::npos || close == 0)
        return std::nullopt;
    return t.substr(1, close - 1);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line; comment lines and lines without "=" are not keys.
std::optional<KeyLine> keyLine(std::string_view line)
{
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine { trim(t.substr(0, eq)), trim(t.substr(eq + 1)) };
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// A read drops one pair of matching quotes and the spaces around a value; a value that
// would lose something that way is written inside double quotes, so it reads back as is.
bool needsQuotes(std::string_view value)
{
    if (value.empty())
        return false;
    if (isSpace(value.front()) || isSpace(value.back()))
        return true;
    return value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
}

bool hasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// A comment line: only ever kept, never read.
bool isComment(std::string_view line)
{
    const std::string_view t = trim(line);
    return !t.empty() && t.front() == ';';
}

bool isAscii(std::string_view bytes)
{
    for (unsigned char c : bytes)
        if (c >= 0x80)
            return false;
    return true;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD, what invalid bytes decode to

} // namespace

std::string_view IniFile::breakBytes(Break lineBreak)
{
    switch (lineBreak) {
    case Break::CrLf:
        return "\r\n";
    case Break::Lf:
        return "\n";
    case Break::Cr:
        return "\r";
    case Break::None:
        break;
    }
    return {};
}

template <typename OnLine> void IniFile::splitLines(std::string_view text, OnLine onLine)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            onLine(text.substr(start), Break::None);
            break;
        }
        Break lineBreak = text[end] == '\n' ? Break::Lf : Break::Cr;
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
            lineBreak = Break::CrLf;
            ++next;
        }
        onLine(text.substr(start, end - start), lineBreak);
        start = next;
    }
}

// The same by 16-bit units, for a UTF-16 file without its byte-order mark; an odd last byte
// stays with the last line.
template <typename OnLine> void IniFile::splitUtf16Lines(std::string_view bytes, bool bigEndian, OnLine onLine)
{
    const auto unit = [&](std::size_t i) -> unsigned {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
        return bigEndian ? (byte(i) << 8 | byte(i + 1)) : (byte(i + 1) << 8 | byte(i));
    };
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end + 1 < bytes.size() && unit(end) != '\r' && unit(end) != '\n')
            end += 2;
        if (end + 1 >= bytes.size()) {
            onLine(bytes.substr(start), Break::None);
            break;
        }
        Break lineBreak = unit(end) == '\n' ? Break::Lf : Break::Cr;
        std::size_t next = end + 2;
        if (lineBreak == Break::Cr && next + 1 < bytes.size() && unit(next) == '\n') {
            lineBreak = Break::CrLf;
            next += 2;
        }
        onLine(bytes.substr(start, end - start), lineBreak);
        start = next;
    }
}

std::optional<IniFile> IniFile::load(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return IniFile();
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(path, bytes, err))
        return std::nullopt;
    return fromBytes(bytes);
}

IniFile IniFile::fromBytes(std::string_view bytes)
{
    IniFile ini;
    const text::Encoding marked = text::detectEncoding(bytes.substr(0, 3));
    if (marked == text::Encoding::Utf16Le || marked == text::Encoding::Utf16Be) {
        const bool bigEndian = marked == text::Encoding::Utf16Be;
        splitUtf16Lines(bytes.substr(2), bigEndian, [&ini, bigEndian](std::string_view raw, Break lineBreak) {
            ini.m_lines.push_back(Line { text::utf16ToUtf8(raw, bigEndian), std::string(raw), lineBreak, true });
        });
        ini.m_encoding = marked;
    } else {
        if (marked == text::Encoding::Utf8Bom)
            bytes.remove_prefix(text::kUtf8Bom.size());
        splitLines(bytes, [&ini](std::string_view raw, Break lineBreak) {
            ini.m_lines.push_back(Line { std::string(), std::string(raw), lineBreak, true });
        });
        ini.m_encoding = marked == text::Encoding::Utf8Bom ? marked : ini.guessEncoding();
        const bool cp932 = ini.m_encoding == text::Encoding::Cp932;
        for (Line& line : ini.m_lines)
            line.text = cp932 ? text::cp932ToUtf8(line.raw) : text::repairUtf8(line.raw);
    }
    for (const Line& line : ini.m_lines) {
        if (line.lineBreak != Break::None) {
            ini.m_newLineBreak = line.lineBreak;
            break;
        }
    }
    return ini;
}

text::Encoding IniFile::guessEncoding() const
{
    // Keys and sections tell UTF-8 from CP932; comments only when nothing else goes beyond
    // ASCII. A file of ASCII alone is CP932, as a new file is.
    bool otherNonAscii = false, otherValid = true, anyNonAscii = false, allValid = true;
    for (const Line& line : m_lines) {
        if (isAscii(line.raw))
            continue;
        const bool valid = text::isValidUtf8(line.raw);
        anyNonAscii = true;
        allValid = allValid && valid;
        if (!isComment(line.raw)) {
            otherNonAscii = true;
            otherValid = otherValid && valid;
        }
    }
    const bool utf8 = otherNonAscii ? otherValid : anyNonAscii && allValid;
    return utf8 ? text::Encoding::Utf8 : text::Encoding::Cp932;
}

IniFile IniFile::fromText(std::string_view utf8)
{
    IniFile ini;
    splitLines(utf8, [&ini](std::string_view line, Break lineBreak) {
        ini.m_lines.push_back(Line { std::string(line), std::string(), lineBreak, false });
    });
    return ini;
}

std::string IniFile::value(std::string_view section, std::string_view key, std::size_t maxBytes) const
{
    const std::string_view wantedKey = trim(key);
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (const auto name = sectionName(line.text)) {
            // Only the first section of a name counts, as with the system's profile routines.
            if (inSection)
                return {};
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto kv = keyLine(line.text);
        if (!kv || !sameName(kv->key, wantedKey))
            continue;
        std::string_view v = kv->value;
        if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        v = v.substr(0, v.find('\0'));
        return text::truncateToEncodedBytes(v, maxBytes);
    }
    return {};
}

void IniFile::appendLine(std::string text)
{
    insertLine(m_lines.size(), std::move(text));
}

void IniFile::insertLine(std::size_t at, std::string text)
{
    // A last line without a line break gets one before anything follows it. In UTF-16 a last
    // line that ends in half a unit is written again from its text, so that the lines after
    // it keep their units whole.
    if (at > 0 && m_lines[at - 1].lineBreak == Break::None) {
        Line& last = m_lines[at - 1];
        last.lineBreak = m_newLineBreak;
        if (last.kept && last.raw.size() % 2 != 0
            && (m_encoding == text::Encoding::Utf16Le || m_encoding == text::Encoding::Utf16Be))
            last.kept = false;
    }
    // A lone CR followed by a line that starts with LF (an empty line ending in LF) would read
    // back as one CR LF: the two lines would become one. The new line takes CR LF then.
    Line line { std::move(text), std::string(), m_newLineBreak, false };
    const auto startsWithLf = [](const Line& l) { return l.text.empty() && l.lineBreak == Break::Lf; };
    if ((at > 0 && m_lines[at - 1].lineBreak == Break::Cr && startsWithLf(line))
        || (at < m_lines.size() && line.lineBreak == Break::Cr && startsWithLf(m_lines[at])))
        line.lineBreak = Break::CrLf;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view name = section;
    const std::string_view k = trim(key);
    if (hasLineBreak(name) || name.find(']') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return false;
    if (k.empty() || hasLineBreak(k) || k.find('=') != std::string_view::npos || k.front() == ';' || k.front() == '['
        || k.find('\0') != std::string_view::npos)
        return false;
    // The value ends at a NUL, as the text a profile routine is given does.
    value = value.substr(0, value.find('\0'));
    if (hasLineBreak(value))
        return false;
    std::string stored(value);
    if (needsQuotes(value)) {
        stored.insert(stored.begin(), '"');
        stored.push_back('"');
    }

    std::size_t header = m_lines.size();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto found = sectionName(m_lines[i].text);
        if (found && sameName(*found, name)) {
            header = i;
            break;
        }
    }
    if (header == m_lines.size()) {
        if (!m_lines.empty() && !trim(m_lines.back().text).empty())
            appendLine(std::string());
        appendLine("[" + std::string(name) + "]");
        appendLine(std::string(k) + "=" + stored);
        return true;
    }

    std::size_t lastContent = header;
    for (std::size_t i = header + 1; i < m_lines.size() && !sectionName(m_lines[i].text); ++i) {
        if (const auto kv = keyLine(m_lines[i].text); kv && sameName(kv->key, k)) {
            m_lines[i].text = std::string(kv->key) + "=" + stored;
            m_lines[i].raw.clear();
            m_lines[i].kept = false;
            return true;
        }
        if (!trim(m_lines[i].text).empty())
            lastContent = i;
    }
    // A new key goes after the section's last line, before the blank lines that part it
    // from the next section.
    insertLine(lastContent + 1, std::string(k) + "=" + stored);
    return true;
}

bool IniFile::removeSection(std::string_view section)
{
    // Every section of the name goes, so that a hand-made duplicate cannot bring back stale
    // keys once the first one is rewritten.
    bool removed = false;
    std::size_t i = 0;
    while (i < m_lines.size()) {
        const auto name = sectionName(m_lines[i].text);
        if (!name || !sameName(*name, section)) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text))
            ++end;
        m_lines.erase(
            m_lines.begin() + static_cast<std::ptrdiff_t>(i), m_lines.begin() + static_cast<std::ptrdiff_t>(end));
        removed = true;
    }
    return removed;
}

std::string IniFile::text() const
{
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += breakBytes(line.lineBreak);
    }
    return out;
}

text::Encoding IniFile::encoding() const
{
    if (m_encoding != text::Encoding::Cp932)
        return m_encoding;
    bool changed = false;
    for (const Line& line : m_lines) {
        if (line.kept)
            continue;
        changed = true;
        if (!text::toCp932Exact(line.text))
            return text::Encoding::Utf8Bom;
    }
    // The kept lines alone were read as CP932; new ones may make the file pass for UTF-8.
    if (changed && fromBytes(encodeAs(text::Encoding::Cp932)).m_encoding != text::Encoding::Cp932)
        return text::Encoding::Utf8Bom;
    return m_encoding;
}

std::string IniFile::bytes() const
{
    return encodeAs(encoding());
}

std::string IniFile::encodeAs(text::Encoding target) const
{
    std::string out(text::byteOrderMark(target));
    if (target == text::Encoding::Utf16Le || target == text::Encoding::Utf16Be) {
        const bool bigEndian = target == text::Encoding::Utf16Be;
        for (const Line& line : m_lines) {
            out += line.kept ? line.raw : text::utf8ToUtf16(line.text, bigEndian);
            out += text::utf8ToUtf16(breakBytes(line.lineBreak), bigEndian);
        }
        return out;
    }
    for (const Line& line : m_lines) {
        // Converting CP932 to UTF-8 keeps a line with invalid bytes as it is: its text would
        // only hold replacement characters. Unless its bytes read as UTF-8 would make it a
        // section header it was not, or the other way round ("]" and "[" can end a CP932
        // character): the lines after it would change sections, so its text goes instead.
        const bool asRead = line.kept
            && (target == m_encoding
                || (line.text.find(kReplacement) != std::string::npos
                    && sectionName(text::repairUtf8(line.raw)) == sectionName(line.text)));
        if (asRead)
            out += line.raw;
        else if (target != text::Encoding::Cp932 || !text::appendCp932Exact(line.text, out))
            out += line.text;
        out += breakBytes(line.lineBreak);
    }
    return out;
}

bool IniFile::save(const std::string& path) const
{
    // No path means no settings file (an installed program with no folder of the user's):
    // nothing is kept, and nothing lands in the working folder.
    if (path.empty())
        return false;
    return replaceFileContents(path, bytes());
}

std::string myReadIni(std::string_view section, std::string_view key, const std::string& path, std::size_t maxBytes)
{
    const auto ini = IniFile::load(path);
    return ini ? ini->value(section, key, maxBytes) : std::string();
}

bool myWriteIni(std::string_view section, std::string_view key, std::string_view value, const std::string& path)
{
    auto ini = IniFile::load(path);
    return ini && ini->setValue(section, key, value) && ini->save(path);
}

bool myDeleteIniSection(std::string_view section, const std::string& path)
{
    auto ini = IniFile::load(path);
    return ini && ini->removeSection(section) && ini->save(path);
}

} // namespace kuji
