#include "common/FileHelpers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kuji {
namespace {

// Closes a file descriptor when the reading routine leaves, whichever way it leaves.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
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
    struct stat st {};
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

}  // namespace

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
    struct stat st {};
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

std::int32_t myGetLineCount(const std::string& path)
{
    if (path.empty())
        return 1;
    const FileDescriptor fd(openForReading(path));
    if (fd.get() < 0)
        return 1;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return 1;

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
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(breaks + 1, kMax));
}

bool readFileBytes(const std::string& path, std::string& bytes, ErrorInfo& err)
{
    bytes.clear();
    err = {};
    if (path.empty())
        return fail(err, ENOENT);
    const FileDescriptor fd(openForReading(path));
    if (fd.get() < 0)
        return fail(err, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(err, errno);
    if (S_ISDIR(st.st_mode))
        return fail(err, EISDIR);
    if (!S_ISREG(st.st_mode))
        return fail(err, ENODEV);
    if (st.st_size > kMaxReadableFileBytes)
        return fail(err, EFBIG);

    try {
        // Start with the size the file has now and grow should it grow while being read.
        std::size_t capacity = static_cast<std::size_t>(st.st_size) + 1;
        bytes.resize(capacity);
        std::size_t used = 0;
        for (;;) {
            if (used == capacity) {
                if (static_cast<std::int64_t>(capacity) > kMaxReadableFileBytes) {
                    bytes = std::string();
                    return fail(err, EFBIG);
                }
                capacity = std::min<std::size_t>(capacity * 2, kMaxReadableFileBytes + 1);
                bytes.resize(capacity);
            }
            const ssize_t got = ::read(fd.get(), bytes.data() + used, capacity - used);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                const int number = errno;
                bytes = std::string();
                return fail(err, number);
            }
            if (got == 0)
                break;
            used += static_cast<std::size_t>(got);
        }
        bytes.resize(used);
    } catch (const std::bad_alloc&) {
        bytes = std::string();
        return fail(err, ENOMEM);
    }
    return true;
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
    default:
        return std::strerror(errnum);
    }
}

}  // namespace kuji
