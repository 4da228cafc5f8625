#pragma once

#include "common/RuntimeError.h"
#include "common/ui/CommandTable.h"
#include "common/ui/CommandWork.h"
#include "common/ui/LongWork.h"
#include "newstring/NewStringCommandState.h"

#include <QDialog>

#include <string>
#include <vector>

class QToolButton;

namespace kuji {

class HelpService;
class MainWindowPort;
class NewStringEditor;
class NewStringProgress;
class Platform;
class Settings;
class ToolWindowShell;

// The string creation window 文字列作成: a plain-text editor whose lines become the main
// window's entries with 転送. It opens and saves text files, prints its lines, and is shown
// modally over the main window, which it reaches only through MainWindowPort. Its position
// and size live in the settings file from one opening to the next.
//
// A long text is opened, saved, gathered for printing and pasted a slice at a time as the
// window's own long work, with its progress below the editor (the main window is out of
// reach while this one is open); all but the paste can be stopped, an open leaving the text
// and a save the file as they were. The transfer runs as the main window's long work, with
// its progress there.
class FrmNewString final : public QDialog, public WorkHost {
    Q_OBJECT
public:
    FrmNewString(MainWindowPort& main, Platform& platform, HelpService& help, const Settings& settings,
        QWidget* parent = nullptr);
    ~FrmNewString() override;

    // Sets every command for the idle (true) or the busy (false) state; in the busy state
    // Stop is offered when stoppable.
    void setCommandState(bool idle, bool stoppable = false);
    bool isBusy() const { return m_state.busy(); }

    // WorkHost: the window's own long work, with its progress below the editor.
    LongWork& longWork() override { return m_work; }
    void beginWork(const QString& status, qint64 maximum) override;
    void setWorkProgress(qint64 value) override;
    void endWork() override;

    // The toolbar button with the given key ("M_Open", …).
    QToolButton* toolbarButton(const QString& key) const;

    // Reads a file into the editor, as Open and a drop do: at once for a short file, as long
    // work for a long one. The text and the current path change only when the file can be
    // read and the read is not stopped.
    void readFile(const QString& path);
    // The file last opened or saved; it seeds the open and save dialogs.
    QString currentPath() const { return m_path; }

    // The editor's text in UTF-8, its line breaks as CR LF.
    std::string editorText() const;
    // Inserts text at the editor's cursor a piece at a time, as a long paste does; a line too
    // long for the editor refuses all of it.
    void insertLongText(QString text);
    // The lines the print dialog gets: the text split at every line break.
    std::vector<std::string> printLines() const;

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyCommandState();
    void updateMinimumSize();

    // Not open(): that would override QDialog::open(), which shows the window.
    void openFile();
    void save();
    void print();
    void transfer();
    bool handleDrop(QObject* watched, QEvent* event);
    // Runs the work of a command as the window's long work (at once when it is short).
    bool runWork(const QString& status, bool stoppable, LongWork::Task task);

    MainWindowPort& m_main;
    Platform& m_platform;
    const Settings& m_settings;
    CommandTable m_commands;
    ToolWindowShell* m_shell = nullptr;
    NewStringCommandState m_state;
    RuntimeError m_runtimeError;
    QString m_path;
    LongWork m_work;
    bool m_workStoppable = false;

    NewStringEditor* rtbNewString = nullptr;
    NewStringProgress* fraWork = nullptr;
    // The editor's viewport, kept apart: its last events arrive while the editor is being
    // destroyed, when asking the editor for it is no longer allowed.
    QWidget* m_editorViewport = nullptr;
};

} // namespace kuji
