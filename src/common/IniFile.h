#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The settings file as lines of text, with the profile rules the program has always relied
// on: section and key names match without regard to case, spaces around keys and values do
// not count, and lines the program does not know (comments, blank lines, other keys) stay
// where they are when a value is written.
class IniFile {
public:
    // A read gives back at most this many bytes of the file's code page.
    static constexpr std::size_t kMaxValueBytes = 255;

    IniFile() = default;

    // Reads a settings file. A missing file gives an empty profile; a file that exists but
    // cannot be read gives nothing, so that no write replaces what could not be seen.
    static std::optional<IniFile> load(const std::string& path);

    // A profile from UTF-8 text; lines may end in CR LF, LF or CR.
    static IniFile fromText(std::string_view utf8);

    // The value of key in the first section of that name: spaces trimmed, one pair of
    // matching quotes removed, cut at a NUL and to kMaxValueBytes. Empty when absent.
    std::string value(std::string_view section, std::string_view key) const;

    // Sets key in the first section of that name, adding the key at the end of the section
    // or the section at the end of the file. Refuses (returns false) names that a profile
    // cannot hold and values with a line break, which would start new lines in the file.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every section of that name with all its lines; false when there was none.
    bool removeSection(std::string_view section);

    // The whole file as UTF-8 text with CR LF after every line.
    std::string text() const;

    // Writes the file (CP932, or UTF-8 with a byte-order mark when CP932 cannot hold it)
    // by replacing it as a whole; false when it could not be written.
    bool save(const std::string& path) const;

private:
    std::vector<std::string> m_lines;
};

// Replaces the file at path with bytes: writes a new file in the same folder, flushes it
// to the disk and renames it over the old one, so a failure at any point leaves the old
// file as it was. A symbolic link is followed, and an existing file that may not be
// written is left alone. Returns false on any failure.
bool replaceFileContents(const std::string& path, std::string_view bytes);

// Called by replaceFileContents after the new file is complete and before the rename, with
// the new file's path; returning false abandons the write. For tests that need a failure at
// that moment. An empty function removes the hook.
void setBeforeReplaceHook(std::function<bool(const std::string& newFilePath)> hook);

// The three profile routines every window uses, each taking the settings file last.

// Reads a value; a missing file, section or key reads as empty text.
std::string myReadIni(std::string_view section, std::string_view key, const std::string& path);

// Writes a value, creating the file and the section as needed. Failures are not reported
// to the user; the result only tells tests whether the file was written.
bool myWriteIni(std::string_view section, std::string_view key, std::string_view value, const std::string& path);

// Removes a whole section. A missing file or section leaves everything as it is.
bool myDeleteIniSection(std::string_view section, const std::string& path);

} // namespace kuji
