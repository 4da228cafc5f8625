#include "common/SafeFileWriter.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kuji {
namespace {

// Suffix of the temporary file; with the leading dot the name stays hidden beside the target.
constexpr std::string_view kTemporarySuffix = ".kujimaru-tmp";
constexpr std::size_t kMaxNameBytes = NAME_MAX;
constexpr int kMaxLinkHops = 40;

std::function<bool(const std::string&)>& beforeReplaceHook()
{
    static std::function<bool(const std::string&)> hook;
    return hook;
}

std::optional<WriteFault>& writeFault()
{
    static std::optional<WriteFault> fault;
    return fault;
}

bool fail(ErrorInfo& err, int number)
{
    err.number = number;
    switch (number) {
    case ENOENT:
        // Writing only fails this way when the folder is missing.
        err.description = "パスが見つかりません。";
        break;
    case ENODEV:
        err.description = "通常のファイルではないため書き込めません。";
        break;
    case EISDIR:
        // The reader's text would say the folder cannot be read.
        err.description = "同じ名前のフォルダーがあるため書き込めません。";
        break;
    default:
        err.description = describeFileError(number);
        break;
    }
    return false;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Follows symbolic links to the file a save replaces. A link to nothing names the file to
// create, as writing through it would.
int resolveLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st { };
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        if (hops == kMaxLinkHops)
            return ELOOP;
        std::string link(PATH_MAX, '\0');
        for (;;) {
            const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
            if (n < 0)
                return errno;
            if (static_cast<std::size_t>(n) < link.size()) {
                link.resize(static_cast<std::size_t>(n));
                break;
            }
            link.resize(link.size() * 2);
        }
        if (link.empty())
            return ENOENT;
        target = link.front() == '/' ? link : joinPath(folderOf(target), link);
    }
}

// Writes all of bytes. Returns 0 or the errno.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace

std::string temporaryPathFor(const std::string& path)
{
    std::string name(1, '.');
    name += nameOf(path);
    // Long names are cut so that the temporary name stays within the system's limit.
    if (name.size() + kTemporarySuffix.size() > kMaxNameBytes)
        name.resize(kMaxNameBytes - kTemporarySuffix.size());
    name += kTemporarySuffix;
    return joinPath(folderOf(path), name);
}

SafeFileStream::~SafeFileStream()
{
    abort();
}

bool SafeFileStream::open(const std::string& path, ErrorInfo& err, unsigned newFileMode)
{
    abort();
    err = {};
    m_inPlace = false;
    if (path.empty() || path.back() == '/')
        return fail(err, path.empty() ? ENOENT : EISDIR);
    if (const int error = resolveLinks(path, m_target); error != 0)
        return fail(err, error);

    struct stat info { };
    bool exists = false;
    if (::stat(m_target.c_str(), &info) == 0) {
        exists = true;
        if (S_ISDIR(info.st_mode))
            return fail(err, EISDIR);
        if (!S_ISREG(info.st_mode))
            return fail(err, ENODEV);
        // A read-only file is not replaced behind the user's back, even where the folder
        // would allow the rename.
        if (::access(m_target.c_str(), W_OK) != 0)
            return fail(err, errno);
    } else if (errno != ENOENT) {
        return fail(err, errno);
    }

    // A temporary file left by a write that was cut short is replaced, never added to.
    m_temp = temporaryPathFor(m_target);
    ::unlink(m_temp.c_str());
    m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, newFileMode);
    if (m_fd < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM)) {
            // The folder takes no new file, but the target itself may be written.
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
            if (m_fd < 0)
                return fail(err, errno);
            m_inPlace = true;
            m_written = 0;
            return true;
        }
        return fail(err, error);
    }
    struct stat ours { };
    ::fstat(m_fd, &ours);
    m_inode = ours.st_ino;
    m_device = ours.st_dev;
    if (exists) {
        // Keep the owner where the system allows it, and the permissions.
        if (::fchown(m_fd, info.st_uid, info.st_gid) != 0) {
            // Not allowed for other users' files: the new file is the writer's own.
        }
        ::fchmod(m_fd, info.st_mode & 07777);
    }
    m_written = 0;
    return true;
}

bool SafeFileStream::write(std::string_view bytes, ErrorInfo& err)
{
    if (m_fd < 0)
        return fail(err, EBADF);
    std::string_view allowed = bytes;
    int injected = 0;
    if (const auto& fault = writeFault(); fault && fault->afterBytes <= m_written + bytes.size()) {
        allowed = bytes.substr(0, fault->afterBytes > m_written ? fault->afterBytes - m_written : 0);
        injected = fault->error != 0 ? fault->error : EIO;
    }
    const int error = writeAll(m_fd, allowed);
    m_written += allowed.size();
    if (error != 0 || injected != 0) {
        abort();
        return fail(err, error != 0 ? error : injected);
    }
    return true;
}

bool SafeFileStream::commit(ErrorInfo& err, bool durable)
{
    if (m_fd < 0)
        return fail(err, EBADF);
    int error = durable && ::fsync(m_fd) != 0 ? errno : 0;
    if (::close(m_fd) != 0 && error == 0)
        error = errno;
    m_fd = -1;
    if (m_inPlace) {
        // A failure half-way leaves the target cut short; there was no other place to write to.
        return error == 0 ? true : fail(err, error);
    }
    if (error == 0 && beforeReplaceHook() && !beforeReplaceHook()(m_temp))
        error = EIO;
    if (error == 0) {
        // Another save of the same file that started meanwhile has taken the name over: its
        // file is left alone, and only a complete file of ours ever replaces the target.
        struct stat named { };
        if (::lstat(m_temp.c_str(), &named) != 0 || named.st_ino != m_inode || named.st_dev != m_device) {
            m_temp.clear();
            return fail(err, EBUSY);
        }
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
            error = errno;
    }
    if (error != 0) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return fail(err, error);
    }
    m_temp.clear();
    if (!durable)
        return true;
    // Make the rename itself last; the new file is complete either way.
    const int dir = ::open(folderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void SafeFileStream::abort()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_inPlace && !m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool writeFileSafely(const std::string& path, std::string_view bytes, ErrorInfo& err)
{
    SafeFileStream stream;
    return stream.open(path, err) && stream.write(bytes, err) && stream.commit(err);
}

bool replaceFileContents(const std::string& path, std::string_view bytes)
{
    ErrorInfo err;
    return writeFileSafely(path, bytes, err);
}

std::string formatWriteErrorText(const ErrorInfo& err)
{
    return "エラー番号 = " + std::to_string(err.number) + "\r" + err.description;
}

void setBeforeReplaceHook(std::function<bool(const std::string& newFilePath)> hook)
{
    beforeReplaceHook() = std::move(hook);
}

void setWriteFault(std::optional<WriteFault> fault)
{
    writeFault() = fault;
}

} // namespace kuji
