#include "common/EntryList.h"

#include "common/FileReading.h"

namespace kuji {

void EntryList::reserve(std::size_t entries, std::size_t textBytes)
{
    if (m_ends.capacity() < m_ends.size() + entries) {
        m_ends.reserve(m_ends.size() + entries);
        adviseHugePages(m_ends.data(), m_ends.capacity() * sizeof(std::size_t));
    }
    if (m_blob.capacity() < m_blob.size() + textBytes) {
        m_blob.reserve(m_blob.size() + textBytes);
        adviseHugePages(m_blob.data(), m_blob.capacity());
    }
}

void EntryList::shrinkToFit()
{
    // Untouched reserved room costs address space only; shrink only when it is far too large.
    if (m_ends.capacity() > m_ends.size() + m_ends.size() / 2 + 1024)
        m_ends.shrink_to_fit();
    if (m_blob.capacity() > m_blob.size() + m_blob.size() / 2 + 65536)
        m_blob.shrink_to_fit();
}

void EntryList::clear()
{
    m_blob = std::string();
    m_ends = std::vector<std::size_t>();
}

} // namespace kuji
