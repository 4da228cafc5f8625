#pragma once

#include "common/EntryList.h"
#include "common/FileErrors.h"
#include "common/SafeFileWriter.h"
#include "draw/Sha256.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

// The copy of a work list that came from no file (a transfer from Pickup Record or from the
// string creation window), kept so the draw can be checked later. Format 2, UTF-8 text, one
// entry a line, escaped as record values are (records/DrawRecord.h), so an entry that holds
// line breaks, tabs or control characters stays on its line and the file holds nothing a
// terminal obeys:
//
//   くじ丸 エントリーの写し
//   記録の形式: 2
//   エントリーの件数: 2
//   エントリーのSHA-256: <64 hexadecimal digits>
//   Alice
//   Bob\r\nAnn
//   記録の終わり
//
// The digest is the work-list digest of the draw algorithm (draw/DrawSeed.h), and the records
// folder keeps a copy under the name "<digest>.entries", shared by every record drawn from
// the same list. Format 1, which records of format 1 kept beside themselves as
// "<record>.entries", wrote each entry as its length in bytes, a colon, its bytes exactly and a
// line end; it is still read.
namespace kuji {

class EntriesCopy {
public:
    // The whole text of a copy (format 2).
    static std::string format(const EntryList& entries);
    // Bytes of the copy of these entries, without making it: the header and end lines of a
    // copy of count entries, and the line of one entry.
    static std::uint64_t formattedSize(const EntryList& entries);
    static std::uint64_t frameBytes(std::size_t count);
    static std::uint64_t entryBytes(std::string_view entry);
    // Reads a copy of either format back; false with problem set when it is cut short,
    // malformed, holds a control character or malformed UTF-8, or its entries do not match its
    // own count and digest. A refused copy leaves entries empty.
    static bool parse(std::string_view text, EntryList& entries, std::string& problem);
    // Whether text begins like a copy (as opposed to an entry file).
    static bool looksLikeCopy(std::string_view text);
    // The name the records folder keeps the copy of a work list under.
    static std::string fileName(const Sha256Digest& workList);
};

// Writes the copy of a work list a piece at a time, so a list of a million entries never
// stands twice in memory and the window can go on between the pieces. The file appears only
// once complete (SafeFileStream), readable by the user alone.
class EntriesCopyWriter {
public:
    EntriesCopyWriter(std::string path, std::shared_ptr<const EntryList> entries, const Sha256Digest& digest);

    // Writes until the deadline or the end; true when the copy is written or writing failed.
    bool step(std::chrono::steady_clock::time_point deadline);
    void runToEnd();
    bool failed() const { return m_failed; }
    const ErrorInfo& error() const { return m_error; }

private:
    bool fail();

    std::string m_path;
    std::shared_ptr<const EntryList> m_entries;
    Sha256Digest m_digest;
    SafeFileStream m_stream;
    std::size_t m_next = 0;
    bool m_started = false;
    bool m_done = false;
    bool m_failed = false;
    ErrorInfo m_error;
};

} // namespace kuji
