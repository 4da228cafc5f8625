#pragma once

#include "common/SafeFileWriter.h"
#include "common/TextCodec.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The settings file as lines, with the profile rules the program has always relied on:
// section and key names match without regard to case, spaces around keys and values do not
// count, and lines the program does not change (comments, blank lines, other keys and
// sections) are written back byte for byte, whatever bytes they hold, with their own line
// breaks.
//
// The file keeps its encoding: UTF-8 stays UTF-8 with or without its byte-order mark, UTF-16
// stays UTF-16 (a kept line keeps its very 16-bit units, an unpaired surrogate too), CP932
// stays CP932. Comment lines take no part in telling UTF-8 from CP932, since they are only
// ever kept, and a file without any other non-ASCII text counts as CP932. When a CP932 file
// must take a value that CP932 cannot hold exactly, or whose CP932 bytes would make the file
// pass for UTF-8 ("ﾃ｡" is C3 A1, "á" in UTF-8), the whole file becomes UTF-8 with a
// byte-order mark: every kept line that decodes cleanly is converted (the same text), and a
// line holding bytes that are invalid in CP932 is kept byte for byte, so no line loses
// anything and every key the program reads stays readable.
class IniFile {
public:
    // A read gives back at most this many bytes of the file's code page...
    static constexpr std::size_t kMaxValueBytes = 255;
    // ...except for the keys that hold file paths, which may be read this long.
    static constexpr std::size_t kLongValueBytes = 4096;

    IniFile() = default;

    // Reads a settings file. A missing file gives an empty profile; a file that exists but
    // cannot be read gives nothing, so that no write replaces what could not be seen.
    static std::optional<IniFile> load(const std::string& path);

    // A profile from the bytes of a settings file.
    static IniFile fromBytes(std::string_view bytes);

    // A profile from UTF-8 text (lines may end in CR LF, LF or CR), written as a new file
    // would be: CP932 where it can.
    static IniFile fromText(std::string_view utf8);

    // The value of key in the first section of that name: spaces trimmed, one pair of
    // matching quotes removed, cut at a NUL and to maxBytes bytes of CP932 (of UTF-8 for a
    // value CP932 cannot hold), never inside a character. Empty when absent.
    std::string value(std::string_view section, std::string_view key, std::size_t maxBytes = kMaxValueBytes) const;

    // Sets key in the first section of that name, adding the key at the end of the section
    // or the section at the end of the file. Refuses (returns false) names that a profile
    // cannot hold and values with a line break, which would start new lines in the file.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every section of that name with all its lines; false when there was none.
    bool removeSection(std::string_view section);

    // The whole file as UTF-8 text, each line with its own line break.
    std::string text() const;

    // The encoding the file is written in (see the class comment).
    text::Encoding encoding() const;

    // The bytes of the file as save writes them.
    std::string bytes() const;

    // Writes the file by replacing it as a whole; false when it could not be written, or when
    // path is empty.
    bool save(const std::string& path) const;

private:
    enum class Break : unsigned char { None, CrLf, Lf, Cr };
    struct Line {
        std::string text; // UTF-8: what names and values are read from
        std::string raw; // the bytes read from the file (UTF-16 units in a UTF-16 file), without the line break
        Break lineBreak = Break::CrLf;
        bool kept = false; // raw holds the line as read and the program has not changed it
    };

    static std::string_view breakBytes(Break lineBreak);
    template <typename OnLine> static void splitLines(std::string_view text, OnLine onLine);
    template <typename OnLine> static void splitUtf16Lines(std::string_view bytes, bool bigEndian, OnLine onLine);
    std::string encodeAs(text::Encoding target) const;
    text::Encoding guessEncoding() const;
    void appendLine(std::string text);
    void insertLine(std::size_t at, std::string text);

    std::vector<Line> m_lines;
    text::Encoding m_encoding = text::Encoding::Cp932; // as read
    Break m_newLineBreak = Break::CrLf; // for lines the program adds: the file's first kind
};

// The three profile routines every window uses, each taking the settings file after the
// names.

// Reads a value of at most maxBytes bytes; a missing file, section or key reads as empty text.
std::string myReadIni(std::string_view section, std::string_view key, const std::string& path,
    std::size_t maxBytes = IniFile::kMaxValueBytes);

// Writes a value, creating the file and the section as needed. Failures are not reported
// to the user; the result only tells tests whether the file was written.
bool myWriteIni(std::string_view section, std::string_view key, std::string_view value, const std::string& path);

// Removes a whole section. A missing file or section leaves everything as it is.
bool myDeleteIniSection(std::string_view section, const std::string& path);

} // namespace kuji
