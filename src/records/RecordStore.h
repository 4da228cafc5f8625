#pragma once

#include "common/FileHelpers.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// What the list of records shows of one record, read from its beginning only.
struct RecordSummary {
    std::string path;
    bool readable = false; // false: the fields below are empty
    std::string dateTime;
    bool fileMode = false;
    std::string count; // the draw count box
    std::uint64_t resultCount = 0;
    std::vector<std::string> firstResults; // up to kSummaryResults rows, as the lists show them
};

// The folder of draw records: one file per completed draw, named by the time it was written
// (UTC, "20260301-050509-123456.txt", so name order is age order), and for a draw from a
// transfer its entries copy beside it ("<name>.entries"). The newest kMaxRecords are kept;
// beyond that, and whenever the folder holds more than kMaxBytes, the oldest go first.
// Other files in the folder are left alone and not counted.
class RecordStore {
public:
    static constexpr std::size_t kMaxRecords = 1000;
    static constexpr std::uint64_t kMaxBytes = 200ull * 1024 * 1024;
    static constexpr std::size_t kSummaryResults = 6;

    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit RecordStore(std::string folder);

    const std::string& folder() const { return m_folder; }

    // Writes a record, and its entries copy when given, each safely (a failure leaves no half
    // file), under a name later than every record kept. The folder is made on first use,
    // readable by the user alone: records can hold people's names. Then removes the oldest
    // records beyond the limits, never the new one. path is the new record's path.
    bool add(std::string_view record, std::optional<std::string_view> entriesCopy, std::string& path, ErrorInfo& err);

    // The record files, newest first.
    std::vector<std::string> list() const;

    // Removes a record and its entries copy. A record already gone is no failure.
    bool remove(const std::string& recordPath, ErrorInfo& err) const;

    // The entries copy that belongs to a record.
    static std::string entriesCopyPath(const std::string& recordPath) { return recordPath + ".entries"; }

    // Reads the beginning of a record for the list.
    static RecordSummary summarize(const std::string& recordPath);

    // For tests: the clock that names new records.
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    std::vector<std::string> names() const; // oldest first
    void prune(const std::string& keep) const;

    std::string m_folder;
    Clock m_clock;
};

} // namespace kuji
