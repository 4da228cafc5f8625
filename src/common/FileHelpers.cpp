#include "common/FileHelpers.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kuji {
namespace {

// Closes a file descriptor when the reading routine leaves, whichever way it leaves.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

// O_NONBLOCK keeps a named pipe from holding the program until some writer appears; the
// file type is checked right after, before anything is read.
int openForReading(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

bool isFolder(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fail(ErrorInfo& err, int number)
{
    err.number = number;
    err.description = describeFileError(number);
    return false;
}

// Breaks inside one buffer. A CR in the last byte is counted as a lone CR; the caller takes
// it back when the next buffer starts with its LF.
std::int64_t breaksInBuffer(const unsigned char* p, std::size_t n)
{
    if (n == 0)
        return 0;
    // Every LF is a break, and every CR that is not followed by LF. Written without branches
    // so that the compiler can run it over many bytes at once.
    std::int64_t total = 0;
    const std::size_t last = n - 1;
    std::size_t i = 0;
    while (i < last) {
        // Small per-block counters vectorise better than one 64-bit sum per byte.
        const std::size_t blockEnd = std::min(last, i + 255);
        unsigned char block = 0;
        for (; i < blockEnd; ++i)
            block += static_cast<unsigned char>((p[i] == '\n') | ((p[i] == '\r') & (p[i + 1] != '\n')));
        total += block;
    }
    total += (p[last] == '\n' || p[last] == '\r') ? 1 : 0;
    return total;
}

// Opens a file to be read whole: a regular file within the size limit. Returns the
// descriptor, or -1 with err filled.
int openWholeFile(const std::string& path, std::size_t& size, ErrorInfo& err)
{
    err = {};
    if (path.empty()) {
        fail(err, ENOENT);
        return -1;
    }
    const int fd = openForReading(path);
    if (fd < 0) {
        fail(err, errno);
        return -1;
    }
    struct stat st { };
    int number = 0;
    if (::fstat(fd, &st) != 0)
        number = errno;
    else if (S_ISDIR(st.st_mode))
        number = EISDIR;
    else if (!S_ISREG(st.st_mode))
        number = ENODEV;
    else if (st.st_size > kMaxReadableFileBytes)
        number = EFBIG;
    if (number != 0) {
        ::close(fd);
        fail(err, number);
        return -1;
    }
    size = static_cast<std::size_t>(st.st_size);
    return fd;
}

// Reads fd to its end into buffer, which offers data() and grow(bytes) (false when memory
// runs out). Starts with the size the file had when opened and grows should the file grow
// while being read. Returns the bytes read, or -1 with err filled.
template <typename Buffer> std::int64_t readToEnd(int fd, std::size_t expected, Buffer& buffer, ErrorInfo& err)
{
    std::size_t capacity = expected + 1;
    if (!buffer.grow(capacity)) {
        fail(err, ENOMEM);
        return -1;
    }
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) {
            if (static_cast<std::int64_t>(capacity) > kMaxReadableFileBytes) {
                fail(err, EFBIG);
                return -1;
            }
            capacity = std::min<std::size_t>(capacity * 2, kMaxReadableFileBytes + 1);
            if (!buffer.grow(capacity)) {
                fail(err, ENOMEM);
                return -1;
            }
        }
        const ssize_t got = ::read(fd, buffer.data() + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(err, errno);
            return -1;
        }
        if (got == 0)
            return static_cast<std::int64_t>(used);
        used += static_cast<std::size_t>(got);
    }
}

struct StringBuffer {
    std::string& bytes;
    char* data() { return bytes.data(); }
    bool grow(std::size_t size)
    {
        try {
            bytes.resize(size);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
    }
};

// A block from the allocator, grown with realloc. Large blocks come straight from the
// system there and are handed back whole when freed.
struct HeapBuffer {
    char* base = nullptr;
    std::size_t length = 0;

    char* data() { return base; }
    bool grow(std::size_t size)
    {
        void* p = std::realloc(base, size);
        if (p == nullptr)
            return false;
        base = static_cast<char*>(p);
        length = size;
        adviseHugePages(base, length);
        return true;
    }
    void release()
    {
        std::free(base);
        base = nullptr;
        length = 0;
    }
};

} // namespace

DialogPath mySplitDialogPath(const std::string& path, const std::string& programDir)
{
    DialogPath out;
    if (!path.empty()) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            out.name = path;
        } else {
            out.folder = path.substr(0, slash + 1);
            out.name = path.substr(slash + 1);
        }
        if (!out.folder.empty() && !isFolder(out.folder))
            out.folder.clear();
    }
    if (out.folder.empty())
        out.folder = programDir;
    return out;
}

bool myFileExists(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return false;
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool myIsCsvFile(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name
        = slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view ext = name.substr(dot + 1);
    if (ext.size() != 3)
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(ext[0]) == 'c' && lower(ext[1]) == 's' && lower(ext[2]) == 'v';
}

std::int64_t countLineBreaks(std::string_view bytes)
{
    return breaksInBuffer(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::int64_t countTextLineBreaks(std::string_view bytes)
{
    const text::Encoding encoding = text::detectEncoding(bytes.substr(0, 3));
    if (encoding != text::Encoding::Utf16Le && encoding != text::Encoding::Utf16Be)
        return countLineBreaks(bytes);
    // The same rule by 16-bit units; the bytes of CR and LF also occur inside other characters.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 2;
    const std::size_t units = (bytes.size() - 2) / 2;
    const int high = encoding == text::Encoding::Utf16Be ? 0 : 1;
    const auto unit = [&](std::size_t i) -> unsigned { return p[2 * i + high] << 8 | p[2 * i + 1 - high]; };
    std::int64_t breaks = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned u = unit(i);
        if (u == '\n' || (u == '\r' && (i + 1 == units || unit(i + 1) != '\n')))
            ++breaks;
    }
    return breaks;
}

std::int32_t myGetLineCount(const std::string& path)
{
    if (path.empty())
        return 1;
    const FileDescriptor fd(openForReading(path));
    if (fd.get() < 0)
        return 1;
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return 1;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

    char start[2] = {};
    if (::pread(fd.get(), start, sizeof start, 0) == 2
        && (std::string_view(start, 2) == text::kUtf16LeBom || std::string_view(start, 2) == text::kUtf16BeBom)) {
        std::string bytes;
        ErrorInfo err;
        if (!readFileBytes(path, bytes, err))
            return 1;
        return static_cast<std::int32_t>(std::min(countTextLineBreaks(bytes) + 1, kMax));
    }

    constexpr std::size_t kBufferBytes = 1 << 20;
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kBufferBytes]);
    if (!buffer)
        return 1;
    std::int64_t breaks = 0;
    bool previousEndedInCr = false;
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.get(), kBufferBytes);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (got == 0)
            break;
        const auto n = static_cast<std::size_t>(got);
        // A CR LF split between two reads was counted once as a lone CR and once as an LF.
        if (previousEndedInCr && buffer[0] == '\n')
            --breaks;
        breaks += breaksInBuffer(buffer.get(), n);
        previousEndedInCr = buffer[n - 1] == '\r';
    }
    return static_cast<std::int32_t>(std::min(breaks + 1, kMax));
}

bool readTextFile(const std::string& path, text::Decoded& decoded, ErrorInfo& err)
{
    decoded = {};
    std::string bytes;
    if (!readFileBytes(path, bytes, err))
        return false;
    try {
        decoded = text::decode(bytes);
    } catch (const std::bad_alloc&) {
        return fail(err, ENOMEM);
    }
    return true;
}

bool readFileBytes(const std::string& path, std::string& bytes, ErrorInfo& err)
{
    bytes.clear();
    std::size_t size = 0;
    const FileDescriptor fd(openWholeFile(path, size, err));
    if (fd.get() < 0)
        return false;
    StringBuffer buffer { bytes };
    const std::int64_t used = readToEnd(fd.get(), size, buffer, err);
    if (used < 0) {
        bytes = std::string();
        return false;
    }
    bytes.resize(static_cast<std::size_t>(used));
    return true;
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

bool FileBytes::read(const std::string& path, ErrorInfo& err)
{
    release();
    std::size_t size = 0;
    const FileDescriptor fd(openWholeFile(path, size, err));
    if (fd.get() < 0)
        return false;
    HeapBuffer buffer;
    const std::int64_t used = readToEnd(fd.get(), size, buffer, err);
    if (used < 0) {
        buffer.release();
        return false;
    }
    m_data = buffer.base;
    m_size = static_cast<std::size_t>(used);
    return true;
}

void FileBytes::release()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
}

void adviseHugePages(void* data, std::size_t bytes)
{
    constexpr std::uintptr_t kHuge = std::uintptr_t { 1 } << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

std::string describeFileError(int errnum)
{
    switch (errnum) {
    case ENOENT:
        return "ファイルが見つかりません。";
    case ENOTDIR:
        return "パスが見つかりません。";
    case EACCES:
    case EPERM:
        return "ファイルへのアクセスが拒否されました。";
    case EISDIR:
        return "フォルダーはファイルとして読み込めません。";
    case ENODEV:
        return "通常のファイルではないため読み込めません。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case ENOMEM:
        return "メモリが不足しています。";
    case EIO:
        return "デバイス I/O エラーです。";
    case ENAMETOOLONG:
        return "パス名が長すぎます。";
    case ELOOP:
        return "シンボリックリンクが多すぎます。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    case ENOSPC:
        return "ディスクの空き領域が不足しています。";
    case EDQUOT:
        return "ディスクの使用量の上限を超えました。";
    case EROFS:
        return "読み取り専用のファイル システムには書き込めません。";
    case EBUSY:
        return "ファイルは別の処理で使用中です。";
    default:
        return std::strerror(errnum);
    }
}

} // namespace kuji
