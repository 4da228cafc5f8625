#pragma once

#include "app/CommandState.h"
#include "common/Settings.h"
#include "common/ListRows.h"
#include "common/RuntimeError.h"
#include "entries/RecentFiles.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QRadioButton;
class QToolBar;
class QToolButton;
class QTreeView;

namespace kuji {

class HelpService;
class EntryListModel;
class ResultListModel;
class Platform;
class RandomSource;

// The main window: draw settings, the result and work lists, and every command of the menus,
// toolbar and popup menu.
class FrmMain final : public QMainWindow {
    Q_OBJECT
public:
    // settingsPath is the settings file; the window reads it at start-up and writes it when
    // it closes.
    FrmMain(Platform& platform, RandomSource& random, HelpService& help, std::string settingsPath,
        QWidget* parent = nullptr);
    ~FrmMain() override;

    // The toolbar button with the given key ("M_Open", …), for tests and dispatch.
    QToolButton* toolbarButton(const QString& key) const;
    ResultListModel* resultModel() const { return m_kekka; }
    EntryListModel* workModel() const { return m_sagyo; }
    bool isBusy() const { return m_state.busy(); }
    bool isFileMode() const;

    // Sets every command for the idle (true) or the busy (false) state.
    void setCommandState(bool idle);
    // Start is available exactly when the three settings boxes hold text.
    void refreshStartAvailability();

    // Reads an entry file into the work list, in time slices, with progress and Stop.
    void myReadEntryFile(const QString& path);
    // Puts a path at the top of the recently used files, or takes it out.
    void myAddRecentFile(const QString& path);
    void myRemoveRecentFile(const QString& path);
    const RecentFiles& recentFiles() const { return m_recent; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void addEditCommands(QMenu* menu);
    void createToolbar();
    void createCentralArea();
    void applyCommandState();
    QAction* makeAction(const char* name, const QString& text, const QKeySequence& shortcut = {});

    void loadSettings();
    void saveSettings();
    void showVersion();

    void runStart();
    void runStop();

    void switchMode(bool fileMode);
    void selectMode(bool fileMode);
    void openEntryFile();
    bool dropOnSaisyo(QEvent* event);
    void refreshRecentMenu();
    void openRecentFile(int slot);
    void resetStandard();
    void resetCustom();
    void storeCustomReset();
    void cleanPastedMaximum();
    void showListAfterWork(bool results);
    void fitTextColumn(QTreeView* view);

    Platform& m_platform;
    RandomSource& m_random;
    HelpService& m_help;
    Settings m_settings;
    MainCommandState m_state;
    RecentFiles m_recent;
    RuntimeError m_runtimeError;
    bool m_stopRequested = false;
    bool m_drawing = false;

    ResultListModel* m_kekka = nullptr;
    EntryListModel* m_sagyo = nullptr;

    // Controls, named as the program names them.
    QToolBar* tlbMain = nullptr;
    QFrame* fraMode = nullptr;
    QRadioButton* optSuji = nullptr;
    QRadioButton* optYomikomi = nullptr;
    QCheckBox* chkDaburi = nullptr;
    QFrame* fraSet = nullptr;
    QLabel* lblSaisyo = nullptr;
    QLineEdit* txtSaisyo = nullptr;
    QToolButton* cmdFile = nullptr;
    QLabel* lblSaidai = nullptr;
    QLineEdit* txtSaidai = nullptr;
    QLabel* lblTyusen = nullptr;
    QLineEdit* txtTyusen = nullptr;
    QTreeView* lvwKekka = nullptr;
    QTreeView* lvwSagyo = nullptr;
    QFrame* fraProgressbar = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* prgCount = nullptr;
    QLabel* lblProgressbar = nullptr;
    QLabel* lblProgressbarEnd = nullptr;
    QMenu* mnuPopup = nullptr;
    QMenu* mnuFileUse = nullptr;
    QMenu* mnuReset = nullptr;

    // Commands: one action each, shared by menu, toolbar and popup menu.
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileUseItem[11] = {};
    QAction* mnuFileUseClear = nullptr;
    QAction* mnuFileEnd = nullptr;
    QAction* mnuHensyuAllSelect = nullptr;
    QAction* mnuHensyuCopy = nullptr;
    QAction* mnuHensyuDelete = nullptr;
    QAction* mnuHensyuSortAsc1 = nullptr;
    QAction* mnuHensyuSortAsc2 = nullptr;
    QAction* mnuHensyuSortDesc = nullptr;
    QAction* mnuToolPickupRecord = nullptr;
    QAction* mnuToolNewString = nullptr;
    QAction* mnuRunStart = nullptr;
    QAction* mnuRunStop = nullptr;
    QAction* mnuResetStandard = nullptr;
    QAction* mnuResetCustom = nullptr;
    QAction* mnuResetCustomSet = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpVersion = nullptr;
    QAction* m_helpTopicAction = nullptr;

    QHash<QString, QToolButton*> m_buttons;
};

} // namespace kuji
