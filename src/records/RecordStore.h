#pragma once

#include "common/EntryList.h"
#include "common/FileErrors.h"
#include "draw/Commitment.h"
#include "draw/Sha256.h"
#include "records/DrawRecord.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

class EntriesCopyWriter;

// What the list of records shows of one record.
struct RecordSummary {
    std::string path;
    bool readable = false; // false: problem says why; the fields below are empty
    std::string problem; // why --verify would refuse the record
    int format = 0;
    std::uint64_t sequence = 0; // format 2
    std::optional<Sha256Digest> previous; // format 2
    Sha256Digest fileDigest {}; // of the whole file, for the chain
    std::string dateTime;
    bool fileMode = false;
    bool isPublic = false;
    std::uint32_t replacement = 0; // the n-th replacement of its run; 0 for a draw
    std::string count; // the draw count box
    std::uint64_t resultCount = 0;
    std::vector<std::string> firstResults; // up to kSummaryResults rows, as the lists show them
};

// The folder of draw records: one file per completed draw, named by the time it was written
// (UTC, "20260301-050509-123456.txt", so name order is age order).
//
// - Every record of format 2 carries its sequence number and the SHA-256 of the record before
//   it, so a record removed or altered later shows as a gap in the chain. The folder keeps the
//   chain's last link in "chain.txt", so even the newest record cannot go unnoticed. Someone
//   who deletes the whole folder starts a new chain: the chain shows what went missing from a
//   folder, not that the folder is the only one.
// - The entries copy of a draw from a transfer is kept once per content as
//   "<entry digest>.entries" and shared by every record drawn from that list. A copy over
//   kMaxCopyBytes is not kept; the record says so.
// - The newest kMaxRecords are kept; beyond that, and while the folder holds more than
//   kMaxBytes (each shared copy counted once), the oldest records go, but never the last one
//   left. Copies no record uses any more and temporary files left by cut-short writes go too.
// - The folder is the user's alone (0700, tightened when found looser), and so is every file
//   (0600): records can hold people's names.
// Other files in the folder are left alone and not counted.
class RecordStore {
public:
    static constexpr std::size_t kMaxRecords = 1000;
    static constexpr std::uint64_t kMaxBytes = 200ull * 1024 * 1024;
    static constexpr std::uint64_t kMaxCopyBytes = 200ull * 1024 * 1024;
    static constexpr std::size_t kSummaryResults = 6;

    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // How much the folder keeps.
    struct Limits {
        std::size_t records = kMaxRecords;
        std::uint64_t bytes = kMaxBytes;
        std::uint64_t copyBytes = kMaxCopyBytes;
    };

    explicit RecordStore(std::string folder);

    const std::string& folder() const { return m_folder; }

    // Makes the folder, or tightens an existing one to the user alone. False with err when it
    // cannot be made or tightened.
    bool prepareFolder(ErrorInfo& err) const;

    struct Added {
        std::string path; // the new record
        bool copyTooLarge = false; // the entries copy was over the limit and not kept
        Sha256Digest fileDigest {}; // of the whole record file, as the chain and replacements link it
    };

    // Writes a record: gives it its place in the chain (sequence and previous), keeps the
    // entries copy of a draw from a transfer (copyEntries, whose digest is the record's
    // work-list digest) unless one is kept already, writes the record safely (a failure leaves
    // no half file) under a name later than every record kept, then removes the oldest records
    // beyond the limits, never the new one.
    bool add(DrawRecord& record, std::shared_ptr<const EntryList> copyEntries, Added& added, ErrorInfo& err);

    // The same a slice at a time: writing the entries copy of a list of a million entries is
    // the long part. Two writings of one store must not overlap: the chain would fork.
    class Writing {
    public:
        Writing(RecordStore& store, DrawRecord record, std::shared_ptr<const EntryList> copyEntries);
        ~Writing();
        // Works until the deadline or the end; true when the record is written or failed.
        bool step(std::chrono::steady_clock::time_point deadline);
        void runToEnd();
        bool done() const { return m_done; }
        bool failed() const { return m_failed; }
        const ErrorInfo& error() const { return m_error; }
        const Added& added() const { return m_added; }
        const DrawRecord& record() const { return m_record; }

    private:
        bool fail();
        bool stepSafely(std::chrono::steady_clock::time_point deadline);
        bool begin();
        bool measureCopy(std::chrono::steady_clock::time_point deadline);
        bool finish();

        RecordStore& m_store;
        DrawRecord m_record;
        std::shared_ptr<const EntryList> m_copyEntries;
        std::unique_ptr<EntriesCopyWriter> m_copy;
        bool m_measuring = false; // the entries copy's size is being counted
        std::size_t m_measured = 0; // entries counted so far
        std::uint64_t m_copyBytes = 0;
        std::string m_name;
        Added m_added;
        bool m_begun = false;
        bool m_done = false;
        bool m_failed = false;
        ErrorInfo m_error;
    };

    // The record files, newest first.
    std::vector<std::string> list() const;

    // Removes a record; its entries copy goes too when no other record uses it. A record
    // already gone is no failure. The chain keeps its place, so the removal shows as a gap.
    bool remove(const std::string& recordPath, ErrorInfo& err) const;

    // Where the entries of a record's draw may be kept: the copy of format 2 in the folder of
    // the record, named by its digest, and the copy of format 1 beside the record.
    static std::string sharedCopyPath(const std::string& recordPath, const Sha256Digest& workList);
    static std::string legacyCopyPath(const std::string& recordPath) { return recordPath + ".entries"; }

    // Reads a record for the list: strictly and whole, as --verify would.
    static RecordSummary summarize(const std::string& recordPath);

    // The last link of the chain: the sequence number and file digest of the newest record
    // ever written to the folder; nothing when the folder has no chain yet.
    struct ChainEnd {
        std::uint64_t sequence = 0;
        Sha256Digest digest {};
    };
    std::optional<ChainEnd> chainEnd() const;
    // The last link as the folder's chain file keeps it, whatever the records say.
    std::optional<ChainEnd> keptChainEnd() const;

    // The commitment waiting for its public draw, kept as its text in the folder.
    bool saveCommitment(const Commitment& commitment, ErrorInfo& err) const;
    // Nothing when none waits; problem is set when the kept one cannot be read.
    std::optional<Commitment> loadCommitment(std::string& problem) const;
    bool clearCommitment(ErrorInfo& err) const;

    // For tests: the clock that names new records, and smaller limits.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setLimits(const Limits& limits) { m_limits = limits; }

private:
    std::vector<std::string> names() const; // oldest first
    void prune(const std::string& keep) const;
    void writeChainEnd(const ChainEnd& end) const;

    std::string m_folder;
    Clock m_clock;
    Limits m_limits;
};

} // namespace kuji
