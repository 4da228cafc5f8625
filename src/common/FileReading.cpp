#include "common/FileReading.h"

#include "common/TextFileScan.h"

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

// One read() at a time moves at most this much, so that a slice of a large file's read
// looks at the clock often enough to end near its deadline.
constexpr std::size_t kReadPieceBytes = std::size_t { 2 } << 20;

enum class Piece { More, End, Failed };

// Reads the next piece of fd into buffer behind the used bytes. buffer offers data(),
// capacity() and grow(bytes) (false when memory runs out); it starts with room for the size
// the file had when opened, plus one byte so that the end shows without growing, and grows
// should the file grow while being read. Returns Failed with err filled.
template <typename Buffer> Piece readPiece(int fd, Buffer& buffer, std::size_t& used, ErrorInfo& err)
{
    if (used == buffer.capacity()) {
        if (static_cast<std::int64_t>(used) > kMaxReadableFileBytes) {
            fail(err, EFBIG);
            return Piece::Failed;
        }
        if (!buffer.grow(std::min<std::size_t>(used * 2, kMaxReadableFileBytes + 1))) {
            fail(err, ENOMEM);
            return Piece::Failed;
        }
    }
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data() + used, std::min(kReadPieceBytes, buffer.capacity() - used));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(err, errno);
            return Piece::Failed;
        }
        if (got == 0)
            return Piece::End;
        used += static_cast<std::size_t>(got);
        return Piece::More;
    }
}

struct StringBuffer {
    std::string& bytes;
    char* data() { return bytes.data(); }
    std::size_t capacity() const { return bytes.size(); }
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
    char*& base;
    std::size_t& length;

    char* data() { return base; }
    std::size_t capacity() const { return length; }
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
};

} // namespace

std::int64_t countLineBreaks(std::string_view bytes)
{
    return breaksInBuffer(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::int64_t countTextLineBreaks(std::string_view bytes)
{
    TextFileScan scan(false);
    scan.advance(bytes, true);
    return scan.lineBreaks();
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
    if (!buffer.grow(size + 1)) {
        bytes = std::string();
        return fail(err, ENOMEM);
    }
    std::size_t used = 0;
    for (;;) {
        const Piece piece = readPiece(fd.get(), buffer, used, err);
        if (piece == Piece::Failed) {
            bytes = std::string();
            return false;
        }
        if (piece == Piece::End)
            break;
    }
    bytes.resize(used);
    return true;
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_capacity(std::exchange(other.m_capacity, 0))
    , m_fd(std::exchange(other.m_fd, -1))
{
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool FileBytes::read(const std::string& path, ErrorInfo& err)
{
    return open(path, err) && readSome(std::chrono::steady_clock::time_point::max(), err);
}

bool FileBytes::open(const std::string& path, ErrorInfo& err)
{
    release();
    std::size_t size = 0;
    const int fd = openWholeFile(path, size, err);
    if (fd < 0)
        return false;
    HeapBuffer buffer { m_data, m_capacity };
    if (!buffer.grow(size + 1)) {
        ::close(fd);
        return fail(err, ENOMEM);
    }
    m_fd = fd;
    return true;
}

bool FileBytes::readSome(std::chrono::steady_clock::time_point deadline, ErrorInfo& err)
{
    err = {};
    HeapBuffer buffer { m_data, m_capacity };
    bool lastWasShort = false;
    while (m_fd >= 0) {
        const std::size_t before = m_size;
        switch (readPiece(m_fd, buffer, m_size, err)) {
        case Piece::Failed:
            release();
            return false;
        case Piece::End:
            ::close(m_fd);
            m_fd = -1;
            return true;
        case Piece::More:
            break;
        }
        // A short piece is usually the last of the file, and the next read() only confirms
        // its end: so that a small file is read in one call, that read comes before the
        // clock is looked at (only one, should the file be growing meanwhile).
        const bool isShort = m_size - before < kReadPieceBytes;
        if ((!isShort || lastWasShort) && std::chrono::steady_clock::now() >= deadline)
            break;
        lastWasShort = isShort;
    }
    return true;
}

void FileBytes::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
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

} // namespace kuji
