#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kuji {

// The list of recently read entry files behind the ファイル menu: at most ten paths, the most
// recent first, none listed twice (paths compare as exact, case-sensitive text).
class RecentFiles {
public:
    static constexpr std::size_t kSlots = 10;

    // Puts path at the top, taking it out of any lower slot; an eleventh path is dropped.
    // An empty path is ignored, since it could not be shown as a menu item.
    void add(const std::string& path);

    // Takes path out of the list; the paths below it move up.
    void remove(const std::string& path);

    // Empties the list.
    void clear() { m_paths.clear(); }

    // The paths in slot order, slot 1 (the most recent) first.
    const std::vector<std::string>& paths() const { return m_paths; }

    // True exactly when no slot is in use, so the "なし" item shows.
    bool placeholderVisible() const { return m_paths.empty(); }

    // Fills the list from the stored keys "1" to "10" of the settings (index 0 = key "1";
    // empty values are skipped). Keys are added from "10" down to "1", so key "1" ends up in
    // slot 1 and repeated paths collapse into one.
    void load(const std::vector<std::string>& storedByKey);

private:
    std::vector<std::string> m_paths;
};

} // namespace kuji
