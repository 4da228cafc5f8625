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
//
// The record of a replacement draw (再抽選) is checked with the records it follows, found by
// their SHA-256 among the files of its folder: the draw's record and every replacement before
// it are re-run first, then the replacement itself, drawn from what they left.
class DrawVerifier {
public:
    // What a run drew so far, for checking the replacement that follows it.
    struct Run {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> drawn; // row key, 0-based position
        std::uint32_t nextKey = 0; // the key the run's next row gets
        std::shared_ptr<const EntryList> entries; // file mode
        std::uint64_t rangeSize = 0;
        DrawSeed drawSeed {}; // the draw's seed
        bool drawIsPublic = false;
        Sha256Digest original {}; // the draw's record file
        std::uint32_t replacements = 0; // replacements checked after the draw
        RecordedSettings settings;
        std::uint64_t entryCount = 0;
        Sha256Digest workList {};
        bool sourceFromRecord = false; // the entries came from the file the record names
    };

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

    // What the run drew, once done with a match, when the verifier was made to keep it.
    const Run* run() const { return m_report.outcome == VerificationReport::Outcome::Match ? m_run.get() : nullptr; }

    // Values drawn so far and in all, for the progress display.
    std::int64_t drawn() const { return m_previous ? m_previous->drawn() : m_draw ? m_draw->drawn() : 0; }
    std::int64_t total() const;

private:
    DrawVerifier(const std::string& recordPath, const std::string& entryPath, int depth);
    void open(const std::string& recordPath, const std::string& entryPath);
    bool chooseEntries(const std::string& recordPath, const std::string& entryPath);
    bool stepOnce(std::chrono::steady_clock::time_point deadline);
    bool readEntries(std::chrono::steady_clock::time_point deadline);
    void startDraw();
    void compare();
    void finish(VerificationReport::Outcome outcome, std::string line = {});
    void openReplacement(const std::string& recordPath, const std::string& entryPath);
    void checkReplacement();
    void keepRun();

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
    // Replacement records: how deep in the run this record is (0 for the record asked about),
    // the verifier of the record before it, and what the run drew up to this record.
    int m_depth = 0;
    Sha256Digest m_fileDigest {};
    std::unique_ptr<DrawVerifier> m_previous;
    std::unique_ptr<Run> m_run;
};

} // namespace kuji
