#pragma once

#include <string>
#include <string_view>

namespace kuji {

// The maker's own data shown by the version window.
inline constexpr std::string_view kHomePageAddress = "https://kujimaru.example.org/";
inline constexpr std::string_view kSupportMailAddress = "support@kujimaru.example.org";
inline constexpr std::string_view kCopyrightLine = "Copyright (C) 2026 くじ丸 開発チーム";
inline constexpr std::string_view kCommentLine = "公平な抽選のためのソフトウェア";

// "くじ丸 Version " + major + "." + minor with at least two digits + "." + patch,
// so 1, 5, 3 reads "くじ丸 Version 1.05.3".
std::string formatVersionLine(int major, int minor, int patch);

// The version line of this build, from the project's version numbers.
std::string currentVersionLine();

} // namespace kuji
