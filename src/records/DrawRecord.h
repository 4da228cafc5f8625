#pragma once

#include "draw/Commitment.h"
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

    // Adds the next row in draw order; v1 hashes its text.
    void add(std::string_view text);
    // Adds the next row in draw order; v2 hashes what a drawn row drew (drawn is the value, or
    // the 1-based entry number) and nothing for a header or an empty row. text is needed only
    // while wantsText().
    void add(std::string_view text, std::optional<std::uint32_t> drawn);
    bool wantsText() const { return m_count < kShownResults; }
    // Adds rows past the shown ones at once (v2): bytes holds what they drew, four bytes each.
    void addUnshown(std::string_view bytes, std::uint64_t rows)
    {
        m_hash.update(bytes);
        m_count += rows;
    }
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

// What became of the entries copy of a draw from a transfer (format 2).
enum class EntriesCopyState {
    None, // a draw from a file or a number draw: no copy is made
    Kept, // kept in the records folder as "<entry digest>.entries"
    TooLarge, // over the size limit: not kept, so the draw can only be checked with the list
};

// What makes a record that of a replacement draw (再抽選, draw/ReplacementDraw.h): its place
// in the run, the records it follows, and the absent winners it replaces.
struct ReplacementInfo {
    struct Absent {
        std::uint32_t key = 0; // the winner's row in the run's results, as the lists key it
        std::uint32_t value = 0; // what it drew: the number, or the 1-based entry number
        bool operator==(const Absent&) const = default;
    };
    std::uint32_t number = 1; // the n-th replacement of its run
    Sha256Digest original {}; // SHA-256 of the whole file of the draw's record
    Sha256Digest previous {}; // of the record before it in the run: the draw's, or replacement n-1's
    std::vector<Absent> absent; // in the order they were marked
    bool operator==(const ReplacementInfo&) const = default;
};

// One draw as the record file tells it, field by field. Format 1 is what records of v1 draws
// were written in; every new record is format 2, which adds the chain of records, the
// commitment of a public draw, the fate of the entries copy, and escapes in result rows.
struct DrawRecord {
    static constexpr int kCurrentFormat = 2;

    int format = kCurrentFormat;
    // The chain (format 2): the record's place among the records of its folder, and the
    // SHA-256 of the whole file of the record before it (none for the first of a chain).
    std::uint64_t sequence = 0;
    std::optional<Sha256Digest> previous;
    std::string dateTime; // "2026-03-01 14:05:09 +0900"
    std::string program; // "くじ丸 Version 1.00.0"
    std::string algorithm { kAlgorithmVersion };
    RecordedSettings settings;
    // The names of the prizes the rounds were announced with (発表), as typed; none when unset.
    std::optional<std::string> prizeNames;
    // File mode: the entry file's path, or the label of a transfer (sourceIsFile false).
    std::string source;
    bool sourceIsFile = false;
    std::uint64_t entryCount = 0; // file mode
    Sha256Digest workList {}; // file mode
    EntriesCopyState entriesCopy = EntriesCopyState::None; // format 2, transfers
    // A public draw of v2: the commitment's own fields (its settings are the draw's) and the
    // number it had when it was published.
    std::optional<Sha256Digest> commitmentNumber;
    std::string commitmentDateTime;
    std::string commitmentDescription;
    std::optional<std::string> publicValue; // as typed
    // v2: the public value's one form, as the record states it; written as it stands, so that
    // a record read and written again still shows an edit the verifier reports.
    std::string normalizedValue;
    // A replacement draw: its settings and entries are those of the draw it follows.
    std::optional<ReplacementInfo> replacement;
    DrawSeed seed {};
    std::uint64_t resultCount = 0;
    Sha256Digest results {};
    std::vector<std::string> shownResults; // min(resultCount, kShownResults) rows

    bool isPublic() const { return publicValue.has_value(); }
};

// The record as a UTF-8 text a person can read, one field a line (LF line ends), in the
// record's format. Nothing a terminal would obey is written raw: values and (format 2)
// result rows escape control characters and malformed bytes.
std::string formatDrawRecord(const DrawRecord& record);

// Reads a record back. Strict: a file that is cut short, has a field missing, out of order or
// malformed, holds a control character or malformed UTF-8, or anything after its end line, is
// refused, and problem names the line and the cause. A byte-order mark and CR LF line ends
// (an editor's doing) are accepted. With rowLimit, only the header and that many result rows
// are read, for showing a list of records quickly.
bool parseDrawRecord(std::string_view text, DrawRecord& record, std::string& problem,
    std::size_t rowLimit = std::numeric_limits<std::size_t>::max());

// The record's text with the entry file's path cut to its file name, for publishing a record
// without the folders of the organiser's computer; every other byte stays as it was.
std::string withFileNameOnly(std::string_view recordText);

// The local date and time with the time zone, as a record gives it.
std::string currentDateTimeText();

// Values are one line each: "\" becomes "\\", line breaks "\n" and "\r", and every other
// byte of a control character (C0, DEL, C1) or of a malformed sequence "\xHH", so any path,
// public value or entry reads back exactly and the file holds nothing a terminal obeys.
std::string escapeRecordValue(std::string_view value);
void appendEscapedRecordValue(std::string& out, std::string_view value);
bool unescapeRecordValue(std::string_view text, std::string& value);

} // namespace kuji
