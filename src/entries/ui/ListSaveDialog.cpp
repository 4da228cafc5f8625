#include "entries/ui/ListSaveDialog.h"

#include "common/FileHelpers.h"
#include "common/SafeFileWriter.h"
#include "common/ui/Platform.h"
#include "common/ui/WaitCursor.h"
#include "entries/ListFile.h"

#include <QCoreApplication>

namespace kuji {

QString ListSaveDialog::save(
    Platform& platform, QWidget* parent, const QString& startPath, std::size_t count, const ValueAt& valueAt)
{
    const QString path = platform.getSaveFileName(parent,
        FileDialogRequest::startingAt(QStringLiteral("名前を付けて保存"), startPath,
            QStringLiteral("*.csv (*.csv);;*.txt (*.txt);;*.xls (*.xls)")));
    if (path.isEmpty())
        return {};

    ErrorInfo error;
    bool saved = false;
    {
        WaitCursor wait;
        saved = saveListFile(path.toStdString(), count, valueAt, error);
    }
    if (!saved) {
        platform.showMessage(parent,
            { QString::fromStdString(formatWriteErrorText(error)), QStringLiteral("くじ丸"), QMessageBox::Warning,
                QMessageBox::Ok, QMessageBox::Ok });
        return {};
    }
    return path;
}

} // namespace kuji
