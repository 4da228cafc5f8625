#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/EntryList.h"
#include "common/FileErrors.h"
#include "entries/EntryReader.h"

namespace kuji {

// Bad records longer than this many characters can be skipped but not corrected: a text box
// holding them would freeze the window.
inline constexpr std::size_t kMaxEditableRecordChars = 1'000'000;

// What the data-error dialog shows about one bad record.
struct DataErrorQuestion {
    std::string fileName; // the record file's name, extension kept
    std::int32_t firstLine = 0; // physical lines of the record, 1-based
    std::int32_t lastLine = 0;
    std::string record; // the record exactly as read
    std::int32_t separatorCount = 0; // commas every record must have
    std::size_t fieldsFound = 0; // fields of this record (a blank record has none)
    bool editable = true; // false: 修正 is not offered, the record is too long to edit

    // "7" for a record on one line, "7-9" for one that runs over lines 7 to 9.
    std::string lineText() const;
    // "ﾌｧｲﾙ名: " + file name.
    std::string fileLabel() const;
    // "行 番号: " + line text.
    std::string rowLabel() const;
};

// Loads a record file for the Pickup window: the records whose comma count matches the first
// record's, with a question about each one that does not.
//
// The file is split into records by the entry reader (a .csv record goes on over lines while
// its quotes are open; in other files every line is a record), so both windows read a file
// alike. start() only opens the file; step() reads it a few megabytes at a time, then
// fixes the separator count from the first record and judges records until the deadline. A bad record pauses the load:
// step() returns Question and waits until skip(), skipAll() or fix() answers it. After 全てスキップ the rest of that
// load drops bad records silently; the next load asks again.
//
// A load that ends in any other way than Loaded leaves nothing: no rows, no path, separator
// count 0.
class RecordLoader {
public:
    enum class State {
        Idle, // nothing started
        Reading, // more to read: call step() again
        Question, // a bad record waits for an answer
        Finished, // see outcome()
    };

    enum class Outcome {
        None, // not finished
        Loaded, // every record is judged; rows() holds the good and corrected ones
        Empty, // the file has no lines
        Stopped, // requestStop() ended the load
        ReadFailed, // the file could not be read, or memory ran out; see error()
        TooManySeparators, // the first record has more commas than a count can hold; see message()
    };

    // pieceBytes: how much of a CP932 file the reader decodes at once; small values only for tests.
    explicit RecordLoader(std::size_t pieceBytes = std::size_t { 1 } << 20);

    // Begins a load, discarding the previous one: opens the file, leaving its reading to
    // step(). Returns Reading, or Finished when the file cannot be opened (missing, a folder,
    // no permission, too large).
    State start(const std::string& path);

    // Reads the file, then judges records, until the deadline passes, the load ends (also as
    // Empty, ReadFailed or TooManySeparators) or a bad record needs an answer. The clock is
    // looked at between pieces of a few megabytes and every few hundred records, so each
    // call makes progress.
    State step(std::chrono::steady_clock::time_point deadline);

    // Runs to the end or to the next question.
    State runToPause() { return step(std::chrono::steady_clock::time_point::max()); }

    State state() const { return m_state; }
    Outcome outcome() const { return m_outcome; }

    // The bad record waiting for an answer; only meaningful in the Question state.
    const DataErrorQuestion& question() const { return m_question; }

    // スキップ: drops the bad record. False when no question is pending.
    bool skip();
    // 全てスキップ: drops this and every later bad record of this load without asking.
    bool skipAll();
    // 修正: the corrected text becomes a row after the rows read so far, when it has exactly
    // separator count + 1 fields. Otherwise (or when the record is not editable) nothing
    // changes, the question stays and false is returned. Line breaks become CR LF, as in
    // records read from a file.
    bool fix(std::string_view text);

    // The pickup stop request: the load ends at the next step, leaving nothing. A pending
    // question is dropped.
    void requestStop();

    // The path of the file being loaded, or of the completed load; empty after any other end.
    const std::string& path() const { return m_path; }
    // Commas every accepted record has (fields = separator count + 1); known once the file is
    // read (lineCount() > 0).
    std::int32_t separatorCount() const { return m_separatorCount; }
    // The accepted records in file order, corrected ones where their bad record stood.
    const EntryList& rows() const { return m_rows; }
    // Hands the rows over, leaving the loader empty.
    EntryList takeRows();

    // Line where a .csv record with an unclosed double quote began (that record took the rest
    // of the file), or 0. Set when the load completes.
    std::int32_t unclosedQuoteLine() const { return m_unclosedQuoteLine; }

    // Why the file could not be read (ReadFailed).
    const ErrorInfo& error() const { return m_error; }
    // The error message of a refused file (TooManySeparators), else empty.
    const std::string& message() const { return m_message; }

    // Progress: physical lines judged so far, and line breaks + 1 of the file (the maximum),
    // which is 0 until step() has read the whole file.
    std::int32_t linesRead() const { return m_line; }
    std::int32_t lineCount() const { return m_lineCount; }

    // Records judged so far (good, bad and corrected alike), records dropped, records corrected.
    std::int32_t recordsRead() const { return m_recordsRead; }
    std::int32_t skippedCount() const { return m_skipped; }
    std::int32_t fixedCount() const { return m_fixed; }

private:
    bool beginRecords();
    bool readBatch();
    bool judgeNext();
    void finish(Outcome outcome);

    EntryReader m_reader;
    EntryList m_batch; // records read but not yet judged
    std::size_t m_next = 0; // next record of m_batch to judge
    EntryList m_rows;

    State m_state = State::Idle;
    Outcome m_outcome = Outcome::None;
    DataErrorQuestion m_question;
    std::string m_path;
    std::string m_fileName;
    bool m_csv = false;
    bool m_skipAll = false;
    bool m_stopRequested = false;
    std::int32_t m_separatorCount = 0;
    std::int32_t m_line = 0;
    std::int32_t m_lineCount = 0;
    std::int32_t m_lastRecordFirstLine = 0;
    std::int32_t m_unclosedQuoteLine = 0;
    std::int32_t m_recordsRead = 0;
    std::int32_t m_skipped = 0;
    std::int32_t m_fixed = 0;
    ErrorInfo m_error;
    std::string m_message;
};

// The message of a record file whose first record has too many commas.
std::string tooManySeparatorsMessage();

} // namespace kuji
