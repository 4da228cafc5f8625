#pragma once

#include "common/ui/CommandTable.h"
#include "common/ui/CommandWork.h"
#include "common/ui/LongWork.h"
#include "pickup/PickupCommandState.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QVBoxLayout;
class QToolButton;
class QTableView;

namespace kuji {

class ConditionFrame;
class HelpService;
class ListCommands;
class MainWindowPort;
class PickupProgressFrame;
class PickupResultModel;
class Platform;
class RecordListModel;
class Settings;
class ToolWindowShell;
struct RecordLoad;

// The Pickup Record window: loads a record file, keeps or removes its records by the four
// condition lists and hands the kept ones to the main window as its entries. It has a size
// of its own that cannot be changed, its own taskbar entry, and reaches the main window only
// through MainWindowPort; closing it shows the main window again.
class FrmPickupRecord final : public QMainWindow, public WorkHost {
    Q_OBJECT
public:
    FrmPickupRecord(MainWindowPort& main, Platform& platform, const Settings& settings, HelpService& help,
        QWidget* parent = nullptr);
    ~FrmPickupRecord() override;

    // Reads a record file into the record list in time slices, asking about bad records.
    // Returns at once; the window is busy until the load ends.
    void readRecordFile(const QString& path);

    // The toolbar button with the given key ("M_Open", …).
    QToolButton* toolbarButton(const QString& key) const;
    // The window's long work: loads, runs, transfers, and its list commands on a long result.
    LongWork& longWork() override { return m_work; }
    void beginWork(const QString& status, qint64 maximum) override;
    void setWorkProgress(qint64 value) override;
    void endWork() override;
    bool isBusy() const { return m_state.busy(); }
    const PickupCommandState& commandState() const { return m_state; }
    ConditionFrame& conditionFrame() const { return *fraWordSet; }
    RecordListModel* recordModel() const { return m_records; }
    PickupResultModel* resultModel() const { return m_results; }
    // The record file of the last load, read or not: where the next open dialog starts.
    const QString& recordFilePath() const { return m_recordFilePath; }

signals:
    // The window has closed and goes away; the main window is showing again.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createCommands();
    void createContent(QVBoxLayout* content);

    // Busy (false) or idle (true): cursor, every enabled flag, and whether Close is refused.
    // A transfer is busy without Stop.
    void setCommandState(bool idle, bool stoppable = true);
    void applyCommandState();
    // Start is offered when a condition exists and records are loaded.
    void refreshStart();

    void openRecordFile();
    void askAboutBadRecord(RecordLoad& load);
    void finishLoad(RecordLoad& load, bool stopped);
    void runStart();
    void transfer();
    // Shows the record list or the result list in the place they share.
    void showList(QTableView* shown);
    void fitResultColumn();

    MainWindowPort& m_main;
    Platform& m_platform;
    const Settings& m_settings;
    PickupCommandState m_state;
    CommandTable m_commands;
    ToolWindowShell* m_shell = nullptr;
    LongWork m_work;
    QString m_recordFilePath;

    RecordListModel* m_records = nullptr;
    PickupResultModel* m_results = nullptr;
    ListCommands* m_resultCommands = nullptr;

    // Controls, named as the program names them.
    ConditionFrame* fraWordSet = nullptr;
    QTableView* lvwOriginalData = nullptr;
    QTableView* lvwPickupData = nullptr;
    PickupProgressFrame* fraProgressbar = nullptr;
    QLabel* S_FilePath = nullptr;
    QLabel* S_Pickup = nullptr;
    QLabel* S_Original = nullptr;
    QMenu* mnuPopup = nullptr;
};

} // namespace kuji
