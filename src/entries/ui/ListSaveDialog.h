#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace kuji {

class Platform;
class WorkHost;

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

    // The same for a list that may be long: the file is written a piece at a time as long work
    // of host, with progress and Stop, and put in place only at the end, so a stopped save
    // leaves an existing file as it was. textOf(row, scratch) gives a row's text; the list
    // must not change meanwhile. saved gets the path written, once the file is in place.
    using TextOf = std::function<std::string_view(std::size_t row, std::string& scratch)>;
    static void start(Platform& platform, QWidget* parent, WorkHost* host, const QString& startPath, std::size_t count,
        TextOf textOf, std::function<void(const QString& saved)> saved = {});
};

} // namespace kuji
