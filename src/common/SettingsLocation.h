#pragma once

#include <string>
#include <string_view>

namespace kuji {

// The settings file's name, the same wherever it lives.
inline constexpr std::string_view kSettingsFileName = "kujitan.ini";

// The desktop entry that an installation puts in <prefix>/share/applications beside
// <prefix>/bin, whatever the prefix.
inline constexpr std::string_view kDesktopEntryName = "kujimaru.desktop";

// True when a new file can be created in folder (tried, not guessed from permission bits,
// so that read-only file systems and access rules count).
bool isFolderWritable(const std::string& folder);

// True when folder is where an installed program lives: a folder under a system prefix
// (/usr, /usr/local, /opt, /bin, /sbin), or the bin/ of a prefix whose share/applications
// holds the program's desktop entry, as an installation lays it out anywhere. The program
// never writes there, whoever runs it: root may write /usr/bin, but settings left there would
// be shared by every user and outlive the package. Only looks, never writes.
bool isInstalledProgramFolder(const std::string& folder);

// Where the settings file lives: kujitan.ini in the program's folder when that folder is
// writable and not an installed program's; otherwise kujitan.ini in userConfigFolder, which is
// created when missing. A settings file already beside the program is copied there on first
// use, so its settings are not lost when the program folder cannot be written. An installed
// program without a userConfigFolder gets the empty path: its settings are then not kept.
std::string settingsFilePath(const std::string& programFolder, const std::string& userConfigFolder);

} // namespace kuji
