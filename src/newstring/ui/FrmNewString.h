#pragma once

#include "common/RuntimeError.h"
#include "common/ui/WaitCursor.h"
#include "newstring/NewStringCommandState.h"

#include <QDialog>
#include <QHash>

#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace kuji {

class HelpService;
class MainWindowPort;
class Platform;
class Settings;

// The string creation window 文字列作成: a plain-text editor whose lines become the main
// window's entries with 転送. It opens and saves text files, prints its lines, and is shown
// modally over the main window, which it reaches only through MainWindowPort. Its position
// and size live in the settings file from one opening to the next.
class FrmNewString final : public QDialog {
    Q_OBJECT
public:
    FrmNewString(MainWindowPort& main, Platform& platform, HelpService& help, const Settings& settings,
        QWidget* parent = nullptr);
    ~FrmNewString() override;

    // Sets every command for the idle (true) or the busy (false) state.
    void setCommandState(bool idle);
    bool isBusy() const { return m_state.busy(); }

    // The toolbar button with the given key ("M_Open", …).
    QToolButton* toolbarButton(const QString& key) const;

    // Reads a file into the editor, as Open and a drop do. The text and the current path
    // change only when the file can be read.
    void readFile(const QString& path);
    // The file last opened or saved; it seeds the open and save dialogs.
    QString currentPath() const { return m_path; }

    // The editor's text in UTF-8, its line breaks as CR LF.
    std::string editorText() const;
    // The lines the print dialog gets: the text split at every line break.
    std::vector<std::string> printLines() const;

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    void applyCommandState();
    void updateMinimumSize();
    void loadPosition();
    void storePosition();

    // Not open(): that would override QDialog::open(), which shows the window.
    void openFile();
    void save();
    void print();
    void transfer();
    bool handleDrop(QObject* watched, QEvent* event);

    MainWindowPort& m_main;
    Platform& m_platform;
    HelpService& m_help;
    const Settings& m_settings;
    NewStringCommandState m_state;
    BusyCursor m_busyCursor;
    RuntimeError m_runtimeError;
    QString m_path;

    QMenuBar* m_menuBar = nullptr;
    QToolBar* tlbMain = nullptr;
    QPlainTextEdit* rtbNewString = nullptr;
    // The editor's viewport, kept apart: its last events arrive while the editor is being
    // destroyed, when asking the editor for it is no longer allowed.
    QWidget* m_editorViewport = nullptr;

    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileEnd = nullptr;
    QAction* mnuSend = nullptr;
    QAction* m_sendButtonAction = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* m_helpTopicAction = nullptr;

    QHash<QString, QToolButton*> m_buttons;
};

} // namespace kuji
