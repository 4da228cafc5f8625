#pragma once

#include "entries/EntryReader.h"
#include "records/DrawRecord.h"
#include "records/RecordedDraw.h"
#include "records/VerificationReport.h"

#include <chrono>
#include <memory>
#include <string>

namespace kuji {

// Re-runs a recorded draw and says whether it comes out as recorded: the same settings, the
// same seed (or, with a public value, the seed made anew from it and the commitment), the
// same entries, and then every result. Runs in time slices like the draw itself.
//
// A record is hostile until read: it is parsed strictly, every value it shows is escaped, and
// a path written in it is trusted only as far as it must be. A file draw reads its entries
// from, in this order: entryPath when given (an entry file or an entries copy); the copy of
// format 1 beside the record; the copy the record's folder keeps under the entry digest; the
// file the record names, only when that is an absolute path. Against a file taken from the
// record a mismatch shows row numbers and digests, never that file's text.
class DrawVerifier {
public:
    DrawVerifier(const std::string& recordPath, const std::string& entryPath = {});
    ~DrawVerifier();
    DrawVerifier(const DrawVerifier&) = delete;
    DrawVerifier& operator=(const DrawVerifier&) = delete;

    // Works until the deadline or the end; true when the report is ready. Never throws: a
    // failure of any kind (running out of memory included) is reported as Unreadable.
    bool step(std::chrono::steady_clock::time_point deadline);
    void runToEnd();
    bool done() const { return m_done; }

    // The finding, once done.
    const VerificationReport& report() const { return m_report; }

    // True when the record needs entries and none were found (no copy, and the record names
    // no usable file, or the file is gone), so the window can ask the user for the file.
    bool entriesMissing() const { return m_entriesMissing; }
    // Where the entries are read from; empty for a number draw.
    const std::string& entrySource() const { return m_entrySource; }
    // The file the record names, for a window that asks the user where it went.
    const std::string& recordedSource() const { return m_record.source; }

    // Values drawn so far and in all, for the progress display.
    std::int64_t drawn() const { return m_draw ? m_draw->drawn() : 0; }
    std::int64_t total() const;

private:
    void open(const std::string& recordPath, const std::string& entryPath);
    bool chooseEntries(const std::string& recordPath, const std::string& entryPath);
    bool stepOnce(std::chrono::steady_clock::time_point deadline);
    bool readEntries(std::chrono::steady_clock::time_point deadline);
    void startDraw();
    void compare();
    void finish(VerificationReport::Outcome outcome, std::string line = {});

    DrawRecord m_record;
    DrawPlan m_plan;
    std::string m_entrySource;
    // The entries came from the file the record names: their text is never shown.
    bool m_sourceFromRecord = false;
    bool m_entriesMissing = false;
    std::unique_ptr<EntryReader> m_reader;
    std::shared_ptr<EntryList> m_entries;
    ResultList m_results;
    std::unique_ptr<RecordedDraw> m_draw;
    VerificationReport m_report;
    bool m_done = false;
};

} // namespace kuji
