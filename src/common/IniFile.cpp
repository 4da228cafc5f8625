#include "common/IniFile.h"

#include "common/TextCodec.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

std::function<bool(const std::string&)>& beforeReplaceHook()
{
    static std::function<bool(const std::string&)> hook;
    return hook;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Reads a whole file; nothing when it cannot be read.
std::optional<std::string> readAll(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    char buffer[1 << 14];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace

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
    const auto bytes = readAll(path);
    if (!bytes)
        return std::nullopt;
    return fromText(text::decode(*bytes).utf8);
}

IniFile IniFile::fromText(std::string_view utf8)
{
    IniFile ini;
    std::size_t start = 0;
    while (start < utf8.size()) {
        const auto end = utf8.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            ini.m_lines.emplace_back(utf8.substr(start));
            break;
        }
        ini.m_lines.emplace_back(utf8.substr(start, end - start));
        start = end + 1;
        if (utf8[end] == '\r' && start < utf8.size() && utf8[start] == '\n')
            ++start;
    }
    return ini;
}

std::string IniFile::value(std::string_view section, std::string_view key) const
{
    const std::string_view wantedKey = trim(key);
    bool inSection = false;
    for (const std::string& line : m_lines) {
        if (const auto name = sectionName(line)) {
            // Only the first section of a name counts, as with the system's profile routines.
            if (inSection)
                return {};
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto kv = keyLine(line);
        if (!kv || !sameName(kv->key, wantedKey))
            continue;
        std::string_view v = kv->value;
        if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        v = v.substr(0, v.find('\0'));
        return text::truncateToEncodedBytes(v, kMaxValueBytes);
    }
    return {};
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
        const auto found = sectionName(m_lines[i]);
        if (found && sameName(*found, name)) {
            header = i;
            break;
        }
    }
    if (header == m_lines.size()) {
        if (!m_lines.empty() && !trim(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back("[" + std::string(name) + "]");
        m_lines.push_back(std::string(k) + "=" + stored);
        return true;
    }

    std::size_t lastContent = header;
    for (std::size_t i = header + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i) {
        if (const auto kv = keyLine(m_lines[i]); kv && sameName(kv->key, k)) {
            m_lines[i] = std::string(kv->key) + "=" + stored;
            return true;
        }
        if (!trim(m_lines[i]).empty())
            lastContent = i;
    }
    // A new key goes after the section's last line, before the blank lines that part it
    // from the next section.
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), std::string(k) + "=" + stored);
    return true;
}

bool IniFile::removeSection(std::string_view section)
{
    // Every section of the name goes, so that a hand-made duplicate cannot bring back stale
    // keys once the first one is rewritten.
    bool removed = false;
    std::size_t i = 0;
    while (i < m_lines.size()) {
        const auto name = sectionName(m_lines[i]);
        if (!name || !sameName(*name, section)) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end]))
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
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::string& path) const
{
    return replaceFileContents(path, text::encodeForFile(text()));
}

bool replaceFileContents(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return false;
    std::string target = path;
    struct stat info { };
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved)
            return false;
        target = resolved;
        std::free(resolved);
    }
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && (!S_ISREG(info.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false;

    const std::filesystem::path targetPath(target);
    std::filesystem::path folder = targetPath.parent_path();
    if (folder.empty())
        folder = ".";
    static unsigned counter = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = ".";
        name += targetPath.filename().string();
        name += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        temp = (folder / name).string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, bytes);
    if (ok && exists)
        ::fchmod(fd, info.st_mode & 07777);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        const auto hook = beforeReplaceHook();
        if (hook)
            ok = hook(temp);
    }
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself last; the new file is complete either way.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void setBeforeReplaceHook(std::function<bool(const std::string& newFilePath)> hook)
{
    beforeReplaceHook() = std::move(hook);
}

std::string myReadIni(std::string_view section, std::string_view key, const std::string& path)
{
    const auto ini = IniFile::load(path);
    return ini ? ini->value(section, key) : std::string();
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
