#include "common/FilePaths.h"

#include <sys/stat.h>

namespace kuji {
namespace {

bool isFolder(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

DialogPath mySplitDialogPath(const std::string& path, const std::string& programDir)
{
    DialogPath out;
    if (!path.empty()) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            out.name = path;
        } else {
            out.folder = path.substr(0, slash + 1);
            out.name = path.substr(slash + 1);
        }
        if (!out.folder.empty() && !isFolder(out.folder))
            out.folder.clear();
    }
    if (out.folder.empty())
        out.folder = programDir;
    return out;
}

bool myFileExists(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return false;
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool myIsCsvFile(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name
        = slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view ext = name.substr(dot + 1);
    if (ext.size() != 3)
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(ext[0]) == 'c' && lower(ext[1]) == 's' && lower(ext[2]) == 'v';
}

std::string myGetFileName(std::string_view path, bool removeExtension)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return removeExtension ? myRemoveExtension(name) : std::string(name);
}

std::string myRemoveExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

} // namespace kuji
