#include "common/SettingsLocation.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace kuji {

bool isFolderWritable(const std::string& folder)
{
    if (folder.empty())
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string probe = (std::filesystem::path(folder)
            / (".kujitan-probe-" + std::to_string(::getpid()) + "-" + std::to_string(attempt)))
                                      .string();
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool isInstalledProgramFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    if (folder.empty())
        return false;
    std::error_code ec;
    // Links resolved, so /bin on a merged /usr and a linked prefix count as what they are.
    fs::path resolved = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    if (ec)
        resolved = fs::path(folder).lexically_normal();
    if (!resolved.has_filename())
        resolved = resolved.parent_path();

    static constexpr std::string_view kSystemPrefixes[] = { "/usr", "/opt", "/bin", "/sbin" };
    for (const std::string_view prefix : kSystemPrefixes) {
        const fs::path relative = resolved.lexically_relative(prefix);
        if (!relative.empty() && *relative.begin() != "..")
            return true;
    }
    return resolved.filename() == "bin"
        && fs::is_regular_file(resolved.parent_path() / "share" / "applications" / kDesktopEntryName, ec);
}

std::string settingsFilePath(const std::string& programFolder, const std::string& userConfigFolder)
{
    namespace fs = std::filesystem;
    const fs::path besideProgram = fs::path(programFolder) / kSettingsFileName;
    // An installed program's folder is not even probed: the probe itself is a write.
    if (isInstalledProgramFolder(programFolder)) {
        if (userConfigFolder.empty())
            return {};
    } else if (isFolderWritable(programFolder) || userConfigFolder.empty()) {
        return besideProgram.string();
    }

    std::error_code ec;
    fs::create_directories(userConfigFolder, ec);
    const fs::path perUser = fs::path(userConfigFolder) / kSettingsFileName;
    if (!fs::exists(perUser, ec) && fs::is_regular_file(besideProgram, ec))
        fs::copy_file(besideProgram, perUser, ec);
    return perUser.string();
}

} // namespace kuji
