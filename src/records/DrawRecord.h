#pragma once

#include "draw/DrawSeed.h"
#include "draw/Sha256.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The results of a draw as its record keeps them: every row goes into the digest (step 7 of
// the algorithm), and the first kShownResults rows are kept as the lists show them, so a
// draw of ten million values costs a small record.
class RecordedResults {
public:
    static constexpr std::size_t kShownResults = 10000;

    // Adds the next row in draw order.
    void add(std::string_view text);
    std::uint64_t count() const { return m_count; }
    // The first rows as a list shows them: line breaks as "↵", cut after 1,000 characters.
    const std::vector<std::string>& shown() const { return m_shown; }
    // The digest of every row added; call once, at the end.
    Sha256Digest finish() { return m_hash.finish(); }

private:
    Sha256 m_hash;
    std::uint64_t m_count = 0;
    std::vector<std::string> m_shown;
};

// One draw as the record file tells it, field by field.
struct DrawRecord {
    std::string dateTime; // "2026-03-01 14:05:09 +0900"
    std::string program; // "くじ丸 Version 1.00.0"
    std::string algorithm { kAlgorithmVersion };
    RecordedSettings settings;
    // File mode: the entry file's path, or the label of a transfer (sourceIsFile false).
    std::string source;
    bool sourceIsFile = false;
    std::uint64_t entryCount = 0; // file mode
    Sha256Digest workList {}; // file mode
    std::optional<std::string> publicValue;
    DrawSeed seed {};
    std::uint64_t resultCount = 0;
    Sha256Digest results {};
    std::vector<std::string> shownResults; // min(resultCount, kShownResults) rows
};

// The record as a UTF-8 text a person can read, one field a line (LF line ends).
std::string formatDrawRecord(const DrawRecord& record);

// Reads a record back. Strict: a file that is cut short, has a field missing, out of order or
// malformed, or anything after its end line, is refused, and problem tells where. A byte-order
// mark and CR LF line ends (an editor's doing) are accepted. With rowLimit, only the header
// and that many result rows are read, for showing a list of records quickly.
bool parseDrawRecord(std::string_view text, DrawRecord& record, std::string& problem,
    std::size_t rowLimit = std::numeric_limits<std::size_t>::max());

// The mode as the record and the window name it.
std::string_view modeLabel(bool fileMode);

// The local date and time with the time zone, as a record gives it.
std::string currentDateTimeText();

// Header values are one line each: "\" becomes "\\", and line breaks and other control
// characters become "\n", "\r" and "\xHH", so any path or public value reads back exactly.
std::string escapeRecordValue(std::string_view value);
bool unescapeRecordValue(std::string_view text, std::string& value);

} // namespace kuji
