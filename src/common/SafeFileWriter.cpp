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

// Writes all of bytes, or as much as an injected fault lets through. Returns 0 or the errno.
int writeAll(int fd, std::string_view bytes)
{
    int injected = 0;
    if (const auto& fault = writeFault(); fault && fault->afterBytes <= bytes.size()) {
        bytes = bytes.substr(0, fault->afterBytes);
        injected = fault->error != 0 ? fault->error : EIO;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return injected;
}

// Writes, flushes and closes fd; returns 0 or the errno of the first step that failed.
int writeAndClose(int fd, std::string_view bytes)
{
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// The fallback for a folder that takes no new file: the target itself, truncated and
// rewritten. A failure half-way leaves the target cut short; there is no other place to
// write to.
bool writeInPlace(const std::string& target, std::string_view bytes, ErrorInfo& err)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(err, errno);
    if (const int error = writeAndClose(fd, bytes); error != 0)
        return fail(err, error);
    return true;
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

bool writeFileSafely(const std::string& path, std::string_view bytes, ErrorInfo& err)
{
    err = {};
    if (path.empty() || path.back() == '/')
        return fail(err, path.empty() ? ENOENT : EISDIR);
    std::string target;
    if (const int error = resolveLinks(path, target); error != 0)
        return fail(err, error);

    struct stat info { };
    bool exists = false;
    if (::stat(target.c_str(), &info) == 0) {
        exists = true;
        if (S_ISDIR(info.st_mode))
            return fail(err, EISDIR);
        if (!S_ISREG(info.st_mode))
            return fail(err, ENODEV);
        // A read-only file is not replaced behind the user's back, even where the folder
        // would allow the rename.
        if (::access(target.c_str(), W_OK) != 0)
            return fail(err, errno);
    } else if (errno != ENOENT) {
        return fail(err, errno);
    }

    // A temporary file left by a write that was cut short is replaced, never added to.
    const std::string temp = temporaryPathFor(target);
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return writeInPlace(target, bytes, err);
        return fail(err, error);
    }
    struct stat ours { };
    ::fstat(fd, &ours);
    if (exists) {
        // Keep the owner where the system allows it, and the permissions.
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Not allowed for other users' files: the new file is the writer's own.
        }
        ::fchmod(fd, info.st_mode & 07777);
    }
    int error = writeAndClose(fd, bytes);
    if (error == 0 && beforeReplaceHook() && !beforeReplaceHook()(temp))
        error = EIO;
    if (error == 0) {
        // Another save of the same file that started meanwhile has taken the name over: its
        // file is left alone, and only a complete file of ours ever replaces the target.
        struct stat named { };
        if (::lstat(temp.c_str(), &named) != 0 || named.st_ino != ours.st_ino || named.st_dev != ours.st_dev)
            return fail(err, EBUSY);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return fail(err, error);
    }
    // Make the rename itself last; the new file is complete either way.
    const int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
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
