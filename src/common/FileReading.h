#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FileErrors.h"
#include "common/TextCodec.h"

// Reading files: whole or a slice at a time, as bytes or decoded text, and counting their lines.
namespace kuji {

// The line number at the end of the file: line breaks + 1, where CR LF, a lone LF and a lone
// CR each count as one break. An empty file gives 1; so does a file that cannot be read, since
// the count only sets the progress maximum and the reader reports the failure itself.
// Counts beyond the 32-bit range are clamped to its maximum.
std::int32_t myGetLineCount(const std::string& path);

// Line breaks in text: CR LF, a lone LF and a lone CR each count one.
std::int64_t countLineBreaks(std::string_view bytes);

// Line breaks in a whole file's bytes, counted in the encoding they are read in: by 16-bit
// units after a UTF-16 byte-order mark, by bytes otherwise.
std::int64_t countTextLineBreaks(std::string_view bytes);

// Files larger than this are refused, so that entry and line counters stay 32-bit.
inline constexpr std::int64_t kMaxReadableFileBytes = 0x7FFFFFFE;

// The bytes of a whole file in one block that goes back in one piece. A large file's block
// asks for huge memory pages, which makes the first touch of tens of megabytes several
// times faster where page faults are dear.
//
// The file can be read at once (read) or a few megabytes at a time (open, then readSome
// until reading() is false), so that a window reading a large file can still be stopped.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes() { release(); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;

    // Reads a whole regular file, replacing what was held. Fails as readFileBytes does.
    bool read(const std::string& path, ErrorInfo& err);

    // Opens a regular file to be read by readSome, replacing what was held, and sets aside
    // room for all of it. Fails as readFileBytes does (a read error only shows in readSome).
    bool open(const std::string& path, ErrorInfo& err);

    // Reads on from where the last call stopped, a piece of a few megabytes at a time, until
    // the deadline passes or the file ends; at least one piece, however late the deadline.
    // On a read error (or no memory for a file that grew) returns false with err filled and
    // nothing held.
    bool readSome(std::chrono::steady_clock::time_point deadline, ErrorInfo& err);

    // True between open and the end of the file.
    bool reading() const { return m_fd >= 0; }

    // The bytes read so far: the whole file once reading() is false.
    std::string_view view() const { return { m_data, m_size }; }
    std::size_t size() const { return m_size; }

    // Gives the memory back and ends a read; view() is empty afterwards.
    void release();

private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    int m_fd = -1;
};

// Reads a whole text file and decodes it (UTF-8 with or without a byte-order mark, UTF-16
// with one, otherwise CP932); decoded.encoding tells which. Fails as readFileBytes does.
bool readTextFile(const std::string& path, text::Decoded& decoded, ErrorInfo& err);

// Reads a whole regular file into bytes. On failure (missing, a folder, not a regular file,
// no permission, too large, read error, out of memory) returns false with err filled and
// bytes empty. Never blocks on special files and never throws.
bool readFileBytes(const std::string& path, std::string& bytes, ErrorInfo& err);

// Asks the system to back the 2 MiB-aligned parts of a large block with huge pages. A hint
// that only makes first touches cheaper; it never changes the content.
void adviseHugePages(void* data, std::size_t bytes);

} // namespace kuji
