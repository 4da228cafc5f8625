#include "entries/ui/ListSaveDialog.h"

#include "common/FileErrors.h"
#include "common/SafeFileWriter.h"
#include "common/ui/CommandWork.h"
#include "common/ui/Platform.h"
#include "common/ui/WaitCursor.h"
#include "entries/ListFile.h"
#include "entries/ListJobs.h"

#include <QCoreApplication>

namespace kuji {

namespace {

QString askPath(Platform& platform, QWidget* parent, const QString& startPath)
{
    return platform.getSaveFileName(parent,
        FileDialogRequest::startingAt(QStringLiteral("名前を付けて保存"), startPath,
            QStringLiteral("*.csv (*.csv);;*.txt (*.txt);;*.xls (*.xls)")));
}

void reportFailure(Platform& platform, QWidget* parent, const ErrorInfo& error)
{
    platform.showMessage(parent,
        { QString::fromStdString(formatWriteErrorText(error)), QStringLiteral("くじ丸"), QMessageBox::Warning,
            QMessageBox::Ok, QMessageBox::Ok });
}

} // namespace

void ListSaveDialog::start(Platform& platform, QWidget* parent, WorkHost* host, const QString& startPath,
    std::size_t count, TextOf textOf, std::function<void(const QString& saved)> saved)
{
    const QString path = askPath(platform, parent, startPath);
    if (path.isEmpty())
        return;
    auto job = std::make_shared<ListSaveJob>(path.toStdString(), count, std::move(textOf));
    LongWork::Task task;
    task.step = [job](LongWork::Clock::time_point deadline) { return job->step(deadline); };
    task.progress = [host, job] {
        if (host)
            host->setWorkProgress(job->progress());
    };
    task.finished = [&platform, parent, job, path, saved = std::move(saved)](bool stopped) {
        if (stopped)
            return;
        if (job->failed())
            reportFailure(platform, parent, job->error());
        else if (saved)
            saved(path);
    };
    runCommandWork(host, QStringLiteral("保存中..."), 1000, std::move(task));
}

QString ListSaveDialog::save(
    Platform& platform, QWidget* parent, const QString& startPath, std::size_t count, const ValueAt& valueAt)
{
    const QString path = askPath(platform, parent, startPath);
    if (path.isEmpty())
        return {};

    ErrorInfo error;
    bool saved = false;
    {
        WaitCursor wait;
        saved = saveListFile(path.toStdString(), count, valueAt, error);
    }
    if (!saved) {
        reportFailure(platform, parent, error);
        return {};
    }
    return path;
}

} // namespace kuji
