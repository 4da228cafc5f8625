#pragma once

#include <string>
#include <string_view>

namespace kuji {

// The settings file's name, the same wherever it lives.
inline constexpr std::string_view kSettingsFileName = "kujitan.ini";

// True when a new file can be created in folder (tried, not guessed from permission bits,
// so that read-only file systems and access rules count).
bool isFolderWritable(const std::string& folder);

// Where the settings file lives: kujitan.ini in the program's folder when that folder is
// writable; otherwise kujitan.ini in userConfigFolder, which is created when missing. A
// settings file already beside the program is copied there on first use, so its settings
// are not lost when the program folder cannot be written.
std::string settingsFilePath(const std::string& programFolder, const std::string& userConfigFolder);

} // namespace kuji
