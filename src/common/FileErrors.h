#pragma once

#include <string>

namespace kuji {

// Why a file could not be read or written: the system's error number (errno) and a text for
// the user.
struct ErrorInfo {
    int number = 0;
    std::string description;
};

// A text for the user describing a system error number, in Japanese for the usual file errors.
std::string describeFileError(int errnum);

} // namespace kuji
