#include "pickup/ui/ConditionFileWriter.h"

#include "common/ui/Platform.h"

#include <cerrno>
#include <cstdio>

namespace kuji {

// TODO(files): switch to the shared safe writer (temporary file + rename) once it is on main.
bool writeConditionFile(const std::string& path, std::string_view bytes, ErrorInfo& err)
{
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file != nullptr;
    if (written)
        written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = errno;
    if (file && std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        err.number = error != 0 ? error : EIO;
        err.description = describeFileError(err.number);
    }
    return written;
}

void showWriteError(Platform& platform, QWidget* parent, const ErrorInfo& err)
{
    const MessageRequest request { QStringLiteral("エラー番号 = ") + QString::number(err.number) + QLatin1Char('\r')
            + QString::fromStdString(err.description),
        QStringLiteral("くじ丸"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok };
    platform.showMessage(parent, request);
}

} // namespace kuji
