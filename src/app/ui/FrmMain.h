#pragma once

#include "app/MainCommandState.h"
#include "common/RuntimeError.h"
#include "common/Settings.h"
#include "common/ui/CommandTable.h"
#include "common/ui/LongWork.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/WaitCursor.h"
#include "draw/DrawValidation.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QTableView;

namespace kuji {

class AnnounceLink;
class DrawCommand;
class DrawRecording;
class EntryListModel;
class FileModeCommands;
class ListArea;
class ListCommands;
class HelpService;
class PickupRecordTool;
class Platform;
class ProgressPanel;
class ReplacementCommand;
class ResetCommands;
class SettingsFrames;
class ResultListModel;
class SeedSource;

// The main window: draw settings, the result and work lists, and every command of the menus,
// toolbar and popup menu. Each group of commands lives in a component of its subsystem that
// the window owns and connects its actions to; the components and the tool windows reach
// the window only through MainWindowPort.
class FrmMain final : public QMainWindow, public MainWindowPort {
    Q_OBJECT
public:
    // settingsPath is the settings file; the window reads it at start-up and writes it when
    // it closes. seeds gives every draw its seed; recordsFolder keeps the draw records.
    FrmMain(Platform& platform, SeedSource& seeds, HelpService& help, std::string settingsPath,
        std::string recordsFolder, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The toolbar button with the given key ("M_Open", …), for tests and dispatch.
    QToolButton* toolbarButton(const QString& key) const;
    ResultListModel* resultModel() const { return m_kekka; }
    EntryListModel* workModel() const { return m_sagyo; }
    FileModeCommands& fileModeCommands() const { return *m_fileMode; }
    DrawRecording& drawRecording() const { return *m_recording; }

    // Sets every command for the idle (true) or the busy (false) state.
    void setCommandState(bool idle) override;
    bool isBusy() const override { return m_state.busy(); }
    void refreshStartAvailability() override;
    bool isFileMode() const override;

    QWidget* mainWidget() override { return this; }
    ProgressPanel& progressPanel() override { return *fraProgressbar; }
    LongWork& longWork() override { return m_work; }
    void beginWork(const QString& status, qint64 maximum) override;
    void setWorkProgress(qint64 value) override;
    void endWork() override;
    void showMainWindow() override;
    void hideMainWindow() override;
    QString currentEntryFile() const override { return m_entryFile; }
    std::shared_ptr<const EntryList> workList() const override;
    void beginWorkListRead(const QString& path) override;
    void replaceWorkList(EntryList entries, const QString& source, bool fromFile) override;
    void selectMode(bool fileMode) override;
    DrawBoxes drawBoxes() const override;
    void setDrawBoxes(const DrawBoxes& boxes) override;

    // For tests: caps the memory a draw may reserve, as if memory ran out beyond it.
    void setDrawMemoryLimit(std::size_t bytes);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createCommands();
    void createCentralArea();
    void createListCommands();
    void applyCommandState();

    void loadSettings();
    void saveSettings();
    void showVersion();

    void runStop();

    void switchMode(bool fileMode);
    void discardListsAndBoxes();
    void updateMinimumSize();

    Platform& m_platform;
    HelpService& m_help;
    Settings m_settings;
    MainCommandState m_state;
    BusyCursor m_busyCursor;
    LongWork m_work;
    FileModeCommands* m_fileMode = nullptr;
    ListCommands* m_resultCommands = nullptr;
    DrawRecording* m_recording = nullptr;
    DrawCommand* m_draw = nullptr;
    ResetCommands* m_resets = nullptr;
    ReplacementCommand* m_replacement = nullptr;
    PickupRecordTool* m_pickupRecord = nullptr;
    AnnounceLink* m_announce = nullptr;
    // The file the work list was read from; empty after a transfer.
    QString m_entryFile;
    // The control that had the keyboard when a tool window took the window's place.
    QPointer<QWidget> m_focusBeforeHide;

    ResultListModel* m_kekka = nullptr;
    EntryListModel* m_sagyo = nullptr;

    // Controls, named as the program names them; the settings boxes live in m_frames.
    SettingsFrames* m_frames = nullptr;
    QToolBar* tlbMain = nullptr;
    ListArea* m_lists = nullptr;
    QTableView* lvwKekka = nullptr; // of m_lists
    ProgressPanel* fraProgressbar = nullptr; // of m_lists
    QMenu* mnuPopup = nullptr;
    QMenu* mnuFileUse = nullptr;
    QMenu* mnuReset = nullptr;

    // Commands: one action each, shared by menu, toolbar and popup menu.
    CommandTable m_commands { this };
};

} // namespace kuji
