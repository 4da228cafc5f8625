#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string>

class QWidget;

namespace kuji {

class Platform;

// Saving a list to a file, as every window does it: the save dialog starts at the folder and
// name of startPath (else the program's folder), offers "*.csv", "*.txt" and "*.xls" (all
// written the same way: one value a line), asks before replacing a file, and writes the file
// safely, so a failure leaves an existing file as it was. A failure is reported as
// "エラー番号 = " with the system's reason. Returns the path written, or an empty string when
// the user cancelled or the write failed.
class ListSaveDialog {
public:
    using ValueAt = std::function<std::string(std::size_t)>;

    static QString save(
        Platform& platform, QWidget* parent, const QString& startPath, std::size_t count, const ValueAt& valueAt);
};

} // namespace kuji
