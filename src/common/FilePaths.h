#pragma once

#include <string>
#include <string_view>

// The path routines of the file dialogs and file readers: names, folders and whether a file
// is there.
namespace kuji {

// Start folder and preset name of a file dialog.
struct DialogPath {
    std::string folder;
    std::string name;
};

// Splits a path for a file dialog: the folder is the text up to and including the last "/",
// the name the text after it (the whole path when there is no "/"). A folder that does not
// exist, or an empty one, is replaced by programDir (returned as given).
DialogPath mySplitDialogPath(const std::string& path, const std::string& programDir);

// True only for a non-empty path, not ending in "/", that names an existing regular file
// (a symbolic link counts as what it points to).
bool myFileExists(const std::string& path);

// True when the extension of the path's file name (the text after its last dot) is "csv"
// in any letter case.
bool myIsCsvFile(const std::string& path);

// The file name of a path: the text after its last "/", the whole path when it has none;
// with removeExtension set, without the extension.
std::string myGetFileName(std::string_view path, bool removeExtension);

// A name without the text from its last "." on; the whole name when it has no ".".
std::string myRemoveExtension(std::string_view name);

} // namespace kuji
