#include "entries/ListFile.h"

#include "common/SafeFileWriter.h"

namespace kuji {

ListFile::ListFile(std::size_t expectedBytes)
    : m_encoder(expectedBytes)
{
}

void ListFile::add(std::string_view value)
{
    m_encoder.append(value);
    m_encoder.append("\r\n");
}

bool ListFile::save(const std::string& path, ErrorInfo& err) const
{
    return writeFileSafely(path, m_encoder.bytes(), err);
}

} // namespace kuji
