#pragma once

#include "common/FileErrors.h"
#include "common/TextCodec.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kuji {

// A list saved to a file, as every window saves one (results, picked records, the text of the
// string window): each value followed by CR LF, with no header, quoting or escaping, so a value
// holding CR LF (a record read over several lines) becomes that many physical lines. An empty
// list is an empty file, and the name's extension (.csv, .txt, .xls) changes nothing. The
// bytes are CP932, or UTF-8 with a byte-order mark as soon as one value would not come back
// identical from CP932.
class ListFile {
public:
    // expectedBytes: room to reserve for the values' text.
    explicit ListFile(std::size_t expectedBytes = 0);

    // Adds one value (UTF-8) as the next line.
    void add(std::string_view value);

    // The file's bytes so far.
    const std::string& bytes() const { return m_encoder.bytes(); }

    // Hands over the bytes; the list starts again empty.
    std::string take() { return m_encoder.take(); }

    // Cp932, or Utf8Bom once a value needed it.
    text::Encoding encoding() const { return m_encoder.encoding(); }

    // Writes the bytes to path, replacing an existing file only once they are all written.
    // On failure err holds the errno and its description (formatWriteErrorText makes the
    // message) and an existing file is left as it was.
    bool save(const std::string& path, ErrorInfo& err) const;

private:
    text::SaveEncoder m_encoder;
};

// A list file of count values, valueAt(i) giving value i (anything that converts to
// std::string_view, a std::string made for the call included), in the order they are written.
template <typename ValueAt> ListFile makeListFile(std::size_t count, ValueAt&& valueAt)
{
    // Room for the whole file, guessed from the first values, spares the copies of a buffer
    // that grows step by step; room never touched costs no memory.
    std::size_t sampled = 0;
    std::size_t sampleBytes = 0;
    for (; sampled < count && sampled < 64; ++sampled)
        sampleBytes += std::string_view(valueAt(sampled)).size() + 2;
    ListFile file(sampled == 0 ? 0 : sampleBytes / sampled * count + sampleBytes);
    for (std::size_t i = 0; i < count; ++i)
        file.add(valueAt(i));
    return file;
}

// The bytes of a list of count values, valueAt(i) giving value i.
template <typename ValueAt> std::string listFileBytes(std::size_t count, ValueAt&& valueAt)
{
    return makeListFile(count, valueAt).take();
}

// Saves a list of count values, valueAt(i) giving value i, as ListFile::save does.
template <typename ValueAt>
bool saveListFile(const std::string& path, std::size_t count, ValueAt&& valueAt, ErrorInfo& err)
{
    return makeListFile(count, valueAt).save(path, err);
}

} // namespace kuji
