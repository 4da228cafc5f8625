#pragma once

#include "common/FileErrors.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The one way the program writes a file the user keeps: saved lists, texts of the string
// window, condition files and the settings file.
namespace kuji {

// Replaces the content of the file at path with bytes. The bytes go to a temporary file in
// the same folder, which is flushed to the disk and renamed over the target only once every
// byte is written; on any failure the temporary file is removed and an existing target is
// left as it was, byte for byte. A symbolic link is followed: the file it points to is
// replaced and the link stays. A target that may not be written (read-only) is refused with
// EACCES. When the folder refuses new files but the existing target may be written, the
// target is written in place instead. On failure err holds the errno of the step that failed
// and its description.
bool writeFileSafely(const std::string& path, std::string_view bytes, ErrorInfo& err);

// The same, for a file written a piece at a time: open, write as often as needed, then
// commit, which flushes the file to the disk and puts it in place of the target. Until commit
// the target is untouched; a failed write, abort() or the stream's end without commit removes
// the temporary file. newFileMode gives a new file its permissions (an existing file keeps
// its own). A failed call leaves err filled and the stream closed.
class SafeFileStream {
public:
    SafeFileStream() = default;
    ~SafeFileStream();
    SafeFileStream(const SafeFileStream&) = delete;
    SafeFileStream& operator=(const SafeFileStream&) = delete;

    bool open(const std::string& path, ErrorInfo& err, unsigned newFileMode = 0666);
    bool write(std::string_view bytes, ErrorInfo& err);
    // durable false skips flushing to the disk, for a file that can be made again.
    bool commit(ErrorInfo& err, bool durable = true);
    void abort();
    bool isOpen() const { return m_fd >= 0; }

private:
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    bool m_inPlace = false;
    std::size_t m_written = 0;
    unsigned long m_inode = 0;
    unsigned long m_device = 0;
};

// The same for the settings file, whose write failures are never shown.
bool replaceFileContents(const std::string& path, std::string_view bytes);

// The temporary file a write to path uses: hidden, beside the target, one name per target,
// so that a write cut short leaves at most one of them, which the next write replaces.
std::string temporaryPathFor(const std::string& path);

// The message of a failed save: "エラー番号 = " + number + CR + description.
std::string formatWriteErrorText(const ErrorInfo& err);

// For tests. Called after the temporary file is complete and before the rename, with its
// path; returning false abandons the write (reported as EIO). An empty function removes it.
void setBeforeReplaceHook(std::function<bool(const std::string& newFilePath)> hook);

// For tests: makes every write fail with error once afterBytes bytes of the temporary file
// (or of the target written in place) are written. Nothing removes the fault.
struct WriteFault {
    std::size_t afterBytes = 0;
    int error = 0;
};
void setWriteFault(std::optional<WriteFault> fault);

} // namespace kuji
