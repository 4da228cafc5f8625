#include "entries/RecentFiles.h"

#include <algorithm>

namespace kuji {

void RecentFiles::add(const std::string& path)
{
    if (path.empty())
        return;
    std::vector<std::string> paths;
    paths.reserve(kSlots);
    paths.push_back(path);
    for (const std::string& p : m_paths) {
        if (paths.size() == kSlots)
            break;
        if (p != path)
            paths.push_back(p);
    }
    m_paths = std::move(paths);
}

void RecentFiles::remove(const std::string& path)
{
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
}

void RecentFiles::load(const std::vector<std::string>& storedByKey)
{
    for (std::size_t i = std::min(storedByKey.size(), kSlots); i-- > 0;)
        if (!storedByKey[i].empty())
            add(storedByKey[i]);
}

} // namespace kuji
