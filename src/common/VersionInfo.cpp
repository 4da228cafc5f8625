#include "common/VersionInfo.h"

#include "common/Version.h"

namespace kuji {

std::string formatVersionLine(int major, int minor, int patch)
{
    std::string minorText = std::to_string(minor);
    if (minor >= 0 && minor < 10)
        minorText.insert(0, 1, '0');
    return "くじ丸 Version " + std::to_string(major) + "." + minorText + "." + std::to_string(patch);
}

std::string currentVersionLine()
{
    return formatVersionLine(kVersionMajor, kVersionMinor, kVersionPatch);
}

} // namespace kuji
