#pragma once

#include "common/FileHelpers.h"

#include <string>
#include <string_view>

class QWidget;

namespace kuji {

class Platform;

// Writes the bytes of a condition file at path, replacing it. False with err filled (errno
// and its description) when the file cannot be written.
bool writeConditionFile(const std::string& path, std::string_view bytes, ErrorInfo& err);

// The message of a failed save: "エラー番号 = " + number + CR + description, exclamation
// icon, OK, the program's title.
void showWriteError(Platform& platform, QWidget* parent, const ErrorInfo& err);

} // namespace kuji
