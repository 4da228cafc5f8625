#include "entries/ui/FileModeCommands.h"

#include "common/MemoryRelease.h"
#include "common/ui/CommandTable.h"
#include "common/ui/QtText.h"

#include "common/FileErrors.h"
#include "common/FilePaths.h"
#include "common/Settings.h"
#include "common/ui/FileDrop.h"
#include "common/ui/LongWork.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/WaitCursor.h"
#include "entries/EntryReader.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace kuji {
namespace {

// One read of an entry file, from its first slice to its end.
struct EntryFileRead {
    QString path;
    EntryReader reader;
    EntryList rows;
    ErrorInfo error;
    bool opened = false;
    bool counted = false;
    bool failed = false;
};

} // namespace

FileModeCommands::FileModeCommands(
    MainWindowPort& window, Platform& platform, const Settings& settings, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_platform(platform)
    , m_settings(settings)
{
}

void FileModeCommands::open()
{
    const QString path = m_platform.getOpenFileName(m_window.mainWidget(),
        FileDialogRequest::startingAt(QStringLiteral("開く"), m_window.drawBoxes().first, kTextFileFilter));
    if (!path.isEmpty())
        readEntryFile(path);
}

void FileModeCommands::acceptDropsOn(QWidget* box)
{
    m_dropBox = box;
    box->installEventFilter(this);
}

// Files dropped on the path box in file mode: the first one of the list is read.
bool FileModeCommands::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (watched != m_dropBox || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!m_window.isFileMode() || !drop->mimeData()->hasUrls() || m_window.isBusy()) {
        event->ignore();
        return true;
    }
    if (!acceptFileDropAsCopy(*drop))
        return true;
    if (type == QEvent::Drop) {
        const QUrl first = drop->mimeData()->urls().value(0);
        const QString path = first.isLocalFile() ? first.toLocalFile() : QString();
        if (myFileExists(toStd(path)))
            readEntryFile(path);
    }
    return true;
}

void FileModeCommands::readEntryFile(const QString& given)
{
    if (given.isEmpty() || m_window.isBusy() || m_window.longWork().isRunning())
        return;
    // The work list remembers where it came from, wherever the program was started.
    const QString path = QFileInfo(given).absoluteFilePath();
    m_window.setCommandState(false);
    ProgressPanel& panel = m_window.progressPanel();
    panel.begin(QStringLiteral("ファイル読み込み中..."), 1, false);
    m_window.beginWorkListRead(path);

    auto read = std::make_shared<EntryFileRead>();
    read->path = path;
    LongWork::Task task;
    task.step = [read, &panel](LongWork::Clock::time_point deadline) {
        if (!read->opened) {
            read->opened = true;
            read->failed = !read->reader.start(toStd(read->path), myIsCsvFile(toStd(read->path)), read->error);
            if (read->failed)
                return true;
        }
        // The first slices read the bytes and count the lines; the bar gets its maximum as
        // soon as the count is known, before it shows any line read.
        read->reader.readSome(read->rows, deadline);
        if (!read->counted && read->reader.loaded()) {
            read->counted = true;
            panel.begin(QStringLiteral("ファイル読み込み中..."), read->reader.lineCount(), false);
        }
        return read->reader.atEnd();
    };
    task.progress = [read, &panel] { panel.setProgress(read->reader.linesRead()); };
    task.finished = [this, read](bool stopped) {
        if (read->reader.failed()) {
            read->failed = true;
            read->error = read->reader.error();
        }
        const std::int32_t unclosedQuoteLine = stopped || read->failed ? 0 : read->reader.unclosedQuoteLine();
        read->reader.close();
        if (read->failed || stopped) {
            // Nothing half-read is left behind: empty list, empty boxes, and the memory the
            // read took goes back to the system once the read is let go of.
            m_window.replaceWorkList({}, QString(), false);
            read->rows.clear();
            QTimer::singleShot(0, this, [] { returnFreedMemory(); });
            if (read->failed)
                m_runtimeError.set(read->error.number, read->error.description);
        } else {
            read->rows.shrinkToFit();
            m_window.replaceWorkList(std::move(read->rows), read->path, true);
        }
        m_window.progressPanel().end();
        // A stopped read still counts as used; a file that could not be read does not.
        if (!read->failed)
            addRecentFile(read->path);
        m_window.setCommandState(true);
        m_window.refreshStartAvailability();
        if (m_runtimeError.isPending())
            myShowRuntimeError(m_platform, m_window.mainWidget(), m_runtimeError);
        // A stray quote made one entry of the rest of the file: the draw would be unfair
        // without a word, so the user hears of it.
        if (unclosedQuoteLine > 0) {
            m_platform.showMessage(m_window.mainWidget(),
                { QString::fromStdString(formatUnclosedQuoteWarning(unclosedQuoteLine)), QStringLiteral("くじ丸"),
                    QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok });
        }
    };
    m_window.longWork().start(std::move(task));
}

void FileModeCommands::addRecentFile(const QString& path)
{
    m_recent.add(toStd(path));
    emit recentFilesChanged();
}

void FileModeCommands::removeRecentFile(const QString& path)
{
    m_recent.remove(toStd(path));
    emit recentFilesChanged();
}

void FileModeCommands::clearRecentFiles()
{
    m_recent.clear();
    emit recentFilesChanged();
}

void FileModeCommands::restoreRecentFiles()
{
    for (const std::string& path : m_settings.readRecentFiles())
        m_recent.add(path);
    emit recentFilesChanged();
}

void FileModeCommands::storeRecentFiles() const
{
    m_settings.writeRecentFiles(m_recent.paths());
}

void FileModeCommands::openRecentFile(const QString& path)
{
    if (path.isEmpty())
        return;
    if (myFileExists(toStd(path))) {
        readEntryFile(path);
        return;
    }
    const MessageRequest question { QStringLiteral("Error:ファイルが存在しません。\r\n\r\n") + path
            + QStringLiteral("\r\n\r\n最近使ったファイルのリストから削除しますか？"),
        QStringLiteral("エラー"), QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No };
    if (m_platform.showMessage(m_window.mainWidget(), question) == QMessageBox::Yes)
        removeRecentFile(path);
}

QMenu* FileModeCommands::makeRecentFilesMenu(CommandTable& commands)
{
    for (int i = 0; i <= 10; ++i) {
        const std::string name = "mnuFileUseItem" + std::to_string(i);
        commands.add({ { name.c_str(), i == 0 ? QStringLiteral("なし") : QString() } });
        QAction* item = commands[name.c_str()];
        item->setVisible(i == 0);
        item->setEnabled(i != 0);
        m_recentItems[i] = item;
        if (i > 0)
            connect(item, &QAction::triggered, this, [this, item] { openRecentFile(item->data().toString()); });
    }
    commands.add({ { "mnuFileUseClear", QStringLiteral("クリア"), {}, nullptr, {}, [this] { clearRecentFiles(); } } });
    connect(this, &FileModeCommands::recentFilesChanged, this, &FileModeCommands::refreshRecentFilesMenu);
    return commands.makeSubmenu({ "mnuFileUse", QStringLiteral("最近使ったファイル"),
        { "mnuFileUseItem0", "mnuFileUseItem1", "mnuFileUseItem2", "mnuFileUseItem3", "mnuFileUseItem4",
            "mnuFileUseItem5", "mnuFileUseItem6", "mnuFileUseItem7", "mnuFileUseItem8", "mnuFileUseItem9",
            "mnuFileUseItem10", "-mnuFileUseLine", "mnuFileUseClear" } });
}

void FileModeCommands::refreshRecentFilesMenu()
{
    const auto& paths = m_recent.paths();
    for (int slot = 1; slot <= 10; ++slot) {
        QAction* item = m_recentItems[slot];
        const bool used = static_cast<std::size_t>(slot) <= paths.size();
        const QString path = used ? QString::fromStdString(paths[static_cast<std::size_t>(slot - 1)]) : QString();
        // A path is shown as it is: "&" in it is no mnemonic.
        item->setText(QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(path);
        item->setVisible(used);
        item->setEnabled(used);
    }
    m_recentItems[0]->setVisible(m_recent.placeholderVisible());
}

void FileModeCommands::reportMissingFile(const QString& path)
{
    m_platform.showError(m_window.mainWidget(), QStringLiteral("Error:ファイルが存在しません。\r\n\r\n") + path);
}

} // namespace kuji
