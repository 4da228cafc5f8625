#include "records/RecordStore.h"
#include "common/FilePaths.h"
#include "common/FileReading.h"

#include "common/SafeFileWriter.h"
#include "records/CommitmentText.h"
#include "records/EntriesCopy.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <sys/stat.h>

namespace kuji {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".txt";
constexpr std::size_t kNameLength = 26; // 20260301-050509-123456.txt
constexpr std::string_view kChainFile = "chain.txt";
constexpr std::string_view kCommitmentFile = "commitment.txt";
constexpr std::string_view kChainTitle = "くじ丸 記録の鎖";
constexpr std::string_view kCopySuffix = ".entries";
constexpr std::string_view kTemporarySuffix = ".kujimaru-tmp";
// A temporary file older than this was left by a write that was cut short.
constexpr auto kStaleTemporary = std::chrono::hours(1);
constexpr std::size_t kHeaderBytes = 4096;

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

// "<64 hexadecimal digits>.entries"
bool isSharedCopyName(std::string_view name)
{
    Sha256Digest digest {};
    return name.size() == 64 + kCopySuffix.size() && name.substr(64) == kCopySuffix
        && fromHex(name.substr(0, 64), digest);
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

bool failWith(ErrorInfo& err, int number, std::string description)
{
    err.number = number;
    err.description = std::move(description);
    return false;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The header of a record, read from the start of its file: a record's header is a few hundred
// bytes unless a path or a value in it is long, so most files are read no further.
std::optional<DrawRecord> readHeader(const std::string& path)
{
    DrawRecord record;
    std::string problem;
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeaderBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    // Whole lines only: a character cut in two at the end would read as malformed.
    if (head.size() == kHeaderBytes)
        head.resize(head.rfind('\n') + 1);
    if (parseDrawRecord(head, record, problem, 0))
        return record;
    std::string whole;
    ErrorInfo err;
    if (head.size() + 1 >= kHeaderBytes && readFileBytes(path, whole, err)
        && parseDrawRecord(whole, record, problem, 0))
        return record;
    return std::nullopt;
}

// What the newest record of format 2 says of the chain, when no chain file is left.
std::optional<RecordStore::ChainEnd> chainEndOfRecords(const std::string& folder, const std::vector<std::string>& names)
{
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        const std::string path = folder + "/" + *it;
        const std::optional<DrawRecord> header = readHeader(path);
        if (!header || header->format < 2)
            continue;
        std::string bytes;
        ErrorInfo err;
        if (!readFileBytes(path, bytes, err))
            continue;
        return RecordStore::ChainEnd { header->sequence, Sha256::of(bytes) };
    }
    return std::nullopt;
}

} // namespace

RecordStore::RecordStore(std::string folder)
    : m_folder(std::move(folder))
    , m_clock([] { return std::chrono::system_clock::now(); })
{
}

bool RecordStore::prepareFolder(ErrorInfo& err) const
{
    std::error_code ec;
    if (!fs::is_directory(m_folder, ec)) {
        fs::create_directories(m_folder, ec);
        if (ec)
            return failWith(err, ec.value(), describeFileError(ec.value()));
    }
    struct stat st { };
    if (::stat(m_folder.c_str(), &st) != 0)
        return failWith(err, errno, describeFileError(errno));
    if ((st.st_mode & 0077) != 0 && ::chmod(m_folder.c_str(), 0700) != 0)
        return failWith(err, errno,
            "記録のフォルダーを本人だけが読めるようにできませんでした（" + m_folder
                + "）: " + describeFileError(errno));
    return true;
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

std::string RecordStore::sharedCopyPath(const std::string& recordPath, const Sha256Digest& workList)
{
    return folderOf(recordPath) + "/" + EntriesCopy::fileName(workList);
}

std::optional<RecordStore::ChainEnd> RecordStore::chainEnd() const
{
    const std::optional<ChainEnd> kept = keptChainEnd();
    // The records themselves, when the chain file is missing or behind them.
    const std::optional<ChainEnd> ofRecords = chainEndOfRecords(m_folder, names());
    if (ofRecords && (!kept || ofRecords->sequence > kept->sequence))
        return ofRecords;
    return kept;
}

std::optional<RecordStore::ChainEnd> RecordStore::keptChainEnd() const
{
    std::string bytes;
    ErrorInfo err;
    std::optional<ChainEnd> kept;
    if (readFileBytes(m_folder + "/" + std::string(kChainFile), bytes, err)) {
        // "くじ丸 記録の鎖" / "通し番号: n" / "SHA-256: hex"
        const std::string prefix = std::string(kChainTitle) + "\n通し番号: ";
        const std::size_t lf = bytes.find('\n', prefix.size());
        std::uint64_t sequence = 0;
        Sha256Digest digest {};
        if (bytes.compare(0, prefix.size(), prefix) == 0 && lf != std::string::npos
            && std::from_chars(bytes.data() + prefix.size(), bytes.data() + lf, sequence).ptr == bytes.data() + lf
            && bytes.compare(lf + 1, 9, "SHA-256: ") == 0 && fromHex(bytes.substr(lf + 10, 64), digest))
            kept = ChainEnd { sequence, digest };
    }
    return kept;
}

void RecordStore::writeChainEnd(const ChainEnd& end) const
{
    const std::string text = std::string(kChainTitle) + "\n通し番号: " + std::to_string(end.sequence)
        + "\nSHA-256: " + toHex(end.digest) + "\n";
    // Not flushed to the disk: should it be lost, the newest record tells the same.
    SafeFileStream stream;
    ErrorInfo err;
    if (stream.open(m_folder + "/" + std::string(kChainFile), err, 0600) && stream.write(text, err))
        stream.commit(err, false);
}

bool RecordStore::add(DrawRecord& record, std::shared_ptr<const EntryList> copyEntries, Added& added, ErrorInfo& err)
{
    Writing writing(*this, record, std::move(copyEntries));
    writing.runToEnd();
    added = writing.added();
    err = writing.error();
    record = writing.record();
    return !writing.failed();
}

RecordStore::Writing::Writing(RecordStore& store, DrawRecord record, std::shared_ptr<const EntryList> copyEntries)
    : m_store(store)
    , m_record(std::move(record))
    , m_copyEntries(std::move(copyEntries))
{
}

RecordStore::Writing::~Writing() = default;

bool RecordStore::Writing::fail()
{
    m_copy.reset();
    m_failed = true;
    m_done = true;
    return true;
}

// The record's name and place in the chain, and what becomes of its entries copy.
bool RecordStore::Writing::begin()
{
    m_begun = true;
    if (!m_store.prepareFolder(m_error))
        return false;
    // Later than every record kept, even when the clock was set back or two draws fall
    // within one microsecond, so the newest record is always the last name.
    const std::vector<std::string> existing = m_store.names();
    std::int64_t micros
        = std::chrono::duration_cast<std::chrono::microseconds>(m_store.m_clock().time_since_epoch()).count();
    if (!existing.empty())
        micros = std::max(micros, microsOfName(existing.back()) + 1);
    m_name = nameOfMicros(micros);
    m_added.path = m_store.m_folder + "/" + m_name;

    const std::optional<ChainEnd> end = m_store.chainEnd();
    m_record.format = DrawRecord::kCurrentFormat;
    m_record.sequence = end ? end->sequence + 1 : 1;
    m_record.previous = end ? std::optional<Sha256Digest>(end->digest) : std::nullopt;

    // A draw from a transfer keeps a copy of its entries, unless the copy would be too large:
    // its size is counted first, a slice at a time.
    if (m_record.settings.fileMode && !m_record.sourceIsFile) {
        if (!m_copyEntries)
            m_copyEntries = std::make_shared<const EntryList>();
        m_measuring = true;
        m_copyBytes = EntriesCopy::frameBytes(m_copyEntries->size());
    }
    return true;
}

bool RecordStore::Writing::measureCopy(std::chrono::steady_clock::time_point deadline)
{
    const EntryList& entries = *m_copyEntries;
    while (m_measured < entries.size()) {
        const std::size_t end = std::min(entries.size(), m_measured + 4096);
        for (; m_measured < end; ++m_measured)
            m_copyBytes += EntriesCopy::entryBytes(entries.text(m_measured));
        if (m_measured < entries.size() && std::chrono::steady_clock::now() >= deadline)
            return false;
    }
    m_measuring = false;
    const std::string copyPath = sharedCopyPath(m_added.path, m_record.workList);
    if (m_copyBytes > m_store.m_limits.copyBytes) {
        m_record.entriesCopy = EntriesCopyState::TooLarge;
        m_added.copyTooLarge = true;
    } else {
        m_record.entriesCopy = EntriesCopyState::Kept;
        // A copy of the same list is kept already: its name is its content's digest. The copy
        // goes before the record: a record never names entries that are not there.
        if (sizeOf(copyPath) != m_copyBytes)
            m_copy = std::make_unique<EntriesCopyWriter>(copyPath, m_copyEntries, m_record.workList);
    }
    return true;
}

bool RecordStore::Writing::finish()
{
    const std::string text = formatDrawRecord(m_record);
    SafeFileStream stream;
    if (!stream.open(m_added.path, m_error, 0600) || !stream.write(text, m_error) || !stream.commit(m_error))
        return false;
    m_added.fileDigest = Sha256::of(text);
    m_store.writeChainEnd({ m_record.sequence, m_added.fileDigest });
    m_store.prune(m_name);
    return true;
}

bool RecordStore::Writing::step(std::chrono::steady_clock::time_point deadline)
{
    if (m_done)
        return true;
    // Nothing about a record may cost the draw it records: every failure, running out of
    // memory included, ends the writing as failed.
    try {
        return stepSafely(deadline);
    } catch (const std::bad_alloc&) {
        m_error = { ENOMEM, describeFileError(ENOMEM) };
    } catch (const std::exception& error) {
        m_error = { EIO, error.what() };
    }
    return fail();
}

bool RecordStore::Writing::stepSafely(std::chrono::steady_clock::time_point deadline)
{
    if (!m_begun && !begin())
        return fail();
    if (m_measuring && !measureCopy(deadline))
        return false;
    if (m_copy) {
        if (!m_copy->step(deadline))
            return false;
        if (m_copy->failed()) {
            m_error = m_copy->error();
            return fail();
        }
        m_copy.reset();
    }
    if (!finish())
        return fail();
    m_done = true;
    m_copyEntries.reset();
    return true;
}

void RecordStore::Writing::runToEnd()
{
    step(std::chrono::steady_clock::time_point::max());
}

void RecordStore::prune(const std::string& keep) const
{
    const std::vector<std::string> all = names();
    // Each record with what it alone adds: its file, its copy of format 1, and a shared copy
    // counted with the newest record that uses it, so it is counted once and goes last.
    struct Entry {
        std::string path;
        std::uint64_t bytes = 0;
        std::optional<std::string> sharedCopy;
    };
    std::vector<Entry> entries;
    std::map<std::string, std::size_t> users;
    std::uint64_t total = 0;
    for (const std::string& name : all) {
        Entry e;
        e.path = m_folder + "/" + name;
        e.bytes = sizeOf(e.path) + sizeOf(legacyCopyPath(e.path));
        if (const std::optional<DrawRecord> header = readHeader(e.path);
            header && header->entriesCopy == EntriesCopyState::Kept)
            e.sharedCopy = sharedCopyPath(e.path, header->workList);
        if (e.sharedCopy && users[*e.sharedCopy]++ == 0)
            total += sizeOf(*e.sharedCopy);
        total += e.bytes;
        entries.push_back(std::move(e));
    }
    std::size_t count = entries.size();
    ErrorInfo ignored;
    for (std::size_t i = 0; i < entries.size() && count > 1 && (count > m_limits.records || total > m_limits.bytes);
         ++i) {
        const Entry& e = entries[i];
        if (fs::path(e.path).filename() == keep)
            continue;
        if (!removeFile(e.path, ignored))
            continue;
        removeFile(legacyCopyPath(e.path), ignored);
        --count;
        total -= e.bytes;
        if (e.sharedCopy && --users[*e.sharedCopy] == 0)
            total -= sizeOf(*e.sharedCopy);
    }

    // Copies no record uses, and temporary files of writes cut short.
    std::set<std::string> used;
    for (const auto& [path, n] : users)
        if (n > 0)
            used.insert(fs::path(path).filename().string());
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (auto it = fs::directory_iterator(m_folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool orphan = isSharedCopyName(name) && !used.count(name);
        std::error_code timeError;
        const bool staleTemporary = name.size() > kTemporarySuffix.size() && name.front() == '.'
            && name.ends_with(kTemporarySuffix) && now - fs::last_write_time(it->path(), timeError) > kStaleTemporary
            && !timeError;
        if (orphan || staleTemporary)
            removeFile(it->path().string(), ignored);
    }
}

bool RecordStore::remove(const std::string& recordPath, ErrorInfo& err) const
{
    const std::optional<DrawRecord> header = readHeader(recordPath);
    // The record goes first: an entries copy left alone is harmless, a record without its
    // copy could no longer be checked.
    if (!removeFile(recordPath, err) || !removeFile(legacyCopyPath(recordPath), err))
        return false;
    if (!header || header->entriesCopy != EntriesCopyState::Kept)
        return true;
    const std::string copy = sharedCopyPath(recordPath, header->workList);
    for (const std::string& other : list()) {
        const std::optional<DrawRecord> h = readHeader(other);
        if (h && h->entriesCopy == EntriesCopyState::Kept && h->workList == header->workList)
            return true;
    }
    return removeFile(copy, err);
}

RecordSummary RecordStore::summarize(const std::string& recordPath)
{
    RecordSummary summary;
    summary.path = recordPath;
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(recordPath, bytes, err)) {
        summary.problem = err.description;
        return summary;
    }
    summary.fileDigest = Sha256::of(bytes);
    DrawRecord record;
    if (!parseDrawRecord(bytes, record, summary.problem))
        return summary;
    summary.readable = true;
    summary.format = record.format;
    summary.sequence = record.sequence;
    summary.previous = record.previous;
    summary.dateTime = record.dateTime;
    summary.fileMode = record.settings.fileMode;
    summary.isPublic = record.isPublic();
    summary.replacement = record.replacement ? record.replacement->number : 0;
    summary.count = record.settings.count;
    summary.resultCount = record.resultCount;
    const std::size_t shown = std::min(record.shownResults.size(), kSummaryResults);
    summary.firstResults.assign(record.shownResults.begin(), record.shownResults.begin() + shown);
    return summary;
}

bool RecordStore::saveCommitment(const Commitment& commitment, ErrorInfo& err) const
{
    if (!prepareFolder(err))
        return false;
    SafeFileStream stream;
    return stream.open(m_folder + "/" + std::string(kCommitmentFile), err, 0600)
        && stream.write(formatCommitmentText(commitment), err) && stream.commit(err);
}

std::optional<Commitment> RecordStore::loadCommitment(std::string& problem) const
{
    problem.clear();
    const std::string path = m_folder + "/" + std::string(kCommitmentFile);
    if (!myFileExists(path))
        return std::nullopt;
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(path, bytes, err)) {
        problem = err.description;
        return std::nullopt;
    }
    Commitment commitment;
    if (!parseCommitmentText(bytes, commitment, problem))
        return std::nullopt;
    return commitment;
}

bool RecordStore::clearCommitment(ErrorInfo& err) const
{
    return removeFile(m_folder + "/" + std::string(kCommitmentFile), err);
}

} // namespace kuji
