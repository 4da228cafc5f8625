#include "records/RecordStore.h"

#include "common/SafeFileWriter.h"
#include "records/DrawRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace kuji {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".txt";
constexpr std::size_t kNameLength = 26; // 20260301-050509-123456.txt
constexpr std::size_t kSummaryBytes = 256 * 1024;

bool isRecordName(std::string_view name)
{
    if (name.size() != kNameLength || name.substr(22) != kExtension)
        return false;
    for (std::size_t i = 0; i < 22; ++i) {
        const bool dash = i == 8 || i == 15;
        if (dash ? name[i] != '-' : (name[i] < '0' || name[i] > '9'))
            return false;
    }
    return true;
}

// Microseconds since the epoch, from a record name and back.
std::int64_t microsOfName(std::string_view name)
{
    std::tm t {};
    int micros = 0;
    if (std::sscanf(std::string(name).c_str(), "%4d%2d%2d-%2d%2d%2d-%6d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour,
            &t.tm_min, &t.tm_sec, &micros)
        != 7)
        return 0;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    return static_cast<std::int64_t>(timegm(&t)) * 1000000 + micros;
}

std::string nameOfMicros(std::int64_t micros)
{
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm t {};
    gmtime_r(&seconds, &t);
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%06d%s", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
        t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(micros % 1000000), kExtension.data());
    return name;
}

std::uint64_t sizeOf(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

bool removeFile(const std::string& path, ErrorInfo& err)
{
    if (std::remove(path.c_str()) == 0 || errno == ENOENT)
        return true;
    err.number = errno;
    err.description = describeFileError(errno);
    return false;
}

} // namespace

RecordStore::RecordStore(std::string folder)
    : m_folder(std::move(folder))
    , m_clock([] { return std::chrono::system_clock::now(); })
{
}

std::vector<std::string> RecordStore::names() const
{
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::directory_iterator(m_folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isRecordName(name))
            found.push_back(std::move(name));
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> RecordStore::list() const
{
    std::vector<std::string> paths;
    const std::vector<std::string> all = names();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        paths.push_back(m_folder + "/" + *it);
    return paths;
}

bool RecordStore::add(
    std::string_view record, std::optional<std::string_view> entriesCopy, std::string& path, ErrorInfo& err)
{
    std::error_code ec;
    if (!fs::is_directory(m_folder, ec)) {
        fs::create_directories(m_folder, ec);
        if (ec) {
            err.number = ec.value();
            err.description = describeFileError(ec.value());
            return false;
        }
        ::chmod(m_folder.c_str(), 0700);
    }
    // Later than every record kept, even when the clock was set back or two draws fall
    // within one microsecond, so the newest record is always the last name.
    const std::vector<std::string> existing = names();
    std::int64_t micros = std::chrono::duration_cast<std::chrono::microseconds>(m_clock().time_since_epoch()).count();
    if (!existing.empty())
        micros = std::max(micros, microsOfName(existing.back()) + 1);
    const std::string name = nameOfMicros(micros);
    path = m_folder + "/" + name;

    // The copy goes first: a record never names entries that are not there.
    const std::string copyPath = entriesCopyPath(path);
    if (entriesCopy && !writeFileSafely(copyPath, *entriesCopy, err))
        return false;
    if (!writeFileSafely(path, record, err)) {
        if (entriesCopy)
            std::remove(copyPath.c_str());
        return false;
    }
    prune(name);
    return true;
}

void RecordStore::prune(const std::string& keep) const
{
    const std::vector<std::string> all = names();
    std::vector<std::uint64_t> sizes;
    std::uint64_t total = 0;
    for (const std::string& name : all) {
        const std::string path = m_folder + "/" + name;
        sizes.push_back(sizeOf(path) + sizeOf(entriesCopyPath(path)));
        total += sizes.back();
    }
    std::size_t count = all.size();
    ErrorInfo ignored;
    for (std::size_t i = 0; i < all.size() && (count > kMaxRecords || total > kMaxBytes); ++i) {
        if (all[i] == keep)
            continue;
        if (remove(m_folder + "/" + all[i], ignored)) {
            --count;
            total -= sizes[i];
        }
    }
}

bool RecordStore::remove(const std::string& recordPath, ErrorInfo& err) const
{
    // The record goes first: an entries copy left alone is harmless, a record without its
    // copy could no longer be checked.
    return removeFile(recordPath, err) && removeFile(entriesCopyPath(recordPath), err);
}

RecordSummary RecordStore::summarize(const std::string& recordPath)
{
    RecordSummary summary;
    summary.path = recordPath;
    std::ifstream in(recordPath, std::ios::binary);
    std::string head(kSummaryBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    DrawRecord record;
    std::string problem;
    if (!parseDrawRecord(head, record, problem, kSummaryResults))
        return summary;
    summary.readable = true;
    summary.dateTime = record.dateTime;
    summary.fileMode = record.settings.fileMode;
    summary.count = record.settings.count;
    summary.resultCount = record.resultCount;
    summary.firstResults = std::move(record.shownResults);
    return summary;
}

} // namespace kuji
