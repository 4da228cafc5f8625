#pragma once

#include "common/RuntimeError.h"
#include "entries/RecentFiles.h"

#include <QObject>
#include <QString>

class QEvent;
class QAction;
class QMenu;
class QWidget;

namespace kuji {

class CommandTable;

class MainWindowPort;
class Platform;
class Settings;

// The commands of file mode: opening and dropping entry files, reading them into the work
// list, the recently used files and the reset presets. The main window owns one, connects
// its menu and toolbar actions to it, and is reached only through its narrow port.
class FileModeCommands final : public QObject {
    Q_OBJECT
public:
    FileModeCommands(MainWindowPort& window, Platform& platform, const Settings& settings, QObject* parent = nullptr);

    // Open: the file dialog, then the read of the chosen file.
    void open();
    // Files dropped on this widget (the path box) are read, the first of them, in file mode.
    void acceptDropsOn(QWidget* box);
    // Reads an entry file into the work list in time slices, with progress and Stop. Returns
    // at once; the window is busy until the read ends.
    void readEntryFile(const QString& path);

    // The recently used files: the list, reading one of them, removing one, emptying it.
    const RecentFiles& recentFiles() const { return m_recent; }
    void openRecentFile(const QString& path);
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);
    void clearRecentFiles();
    // The list as the settings file keeps it, read at start-up and stored at shutdown.
    void restoreRecentFiles();
    void storeRecentFiles() const;
    // The submenu 最近使ったファイル ("mnuFileUse") with its ten items ("mnuFileUseItem1" …),
    // the placeholder "なし" while the list is empty, and "mnuFileUseClear"; it follows the list.
    QMenu* makeRecentFilesMenu(CommandTable& commands);

    // Tells the user a file named by a recent-files item or a preset is gone.
    void reportMissingFile(const QString& path);

signals:
    void recentFilesChanged();

private slots:
    void refreshRecentFilesMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindowPort& m_window;
    Platform& m_platform;
    const Settings& m_settings;
    QWidget* m_dropBox = nullptr;
    RecentFiles m_recent;
    RuntimeError m_runtimeError;
    QAction* m_recentItems[11] = {};
};

} // namespace kuji
