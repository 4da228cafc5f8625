#pragma once

#include "common/ui/CommandTable.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace kuji {

class HelpService;
class MainWindowPort;
class Platform;
class DrawRecordListModel;
class RecordsHost;
struct VerificationReport;

// The 抽選記録 window: the records of past draws, newest first, with notes where the chain of
// records is broken and a mark on every record --verify would refuse; the chosen record's full
// text and its commands (保存, 再現確認, 削除); the public draw: its commitment (予告), made here
// and published before the public value exists, and the public value once it is known; and
// the option to stop keeping records. Modeless and owned by the main window, which it reaches
// only through MainWindowPort and RecordsHost.
class FrmRecords final : public QWidget {
    Q_OBJECT
public:
    FrmRecords(
        MainWindowPort& window, RecordsHost& host, Platform& platform, HelpService& help, QWidget* parent = nullptr);

    // Reads the folder afresh, keeping the chosen record chosen when it is still there (or
    // choosing the newest, after a draw added one).
    void refresh(bool selectNewest = false);
    // Shows the commitment and public value the host holds (after a draw used them up).
    void showCommitment();
    // The record file chosen in the list, or empty.
    QString selectedPath() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createPublicDrawFrame();
    // The one place that sets the busy or idle state of the window's commands.
    void applyState();
    void showSelected();
    void save();
    void verify();
    void remove();
    void reportVerification(const VerificationReport& report);
    void commit();
    void showCommitmentText();
    void cancelCommitment();
    bool ask(const QString& text);
    void reportWriteError(const std::string& text);

    MainWindowPort& m_window;
    RecordsHost& m_host;
    Platform& m_platform;
    HelpService& m_help;
    DrawRecordListModel* m_model = nullptr;
    CommandTable m_commands { this };
    bool m_working = false; // a check or the preparation of a commitment runs

    QTreeView* lvwRecords = nullptr;
    QPlainTextEdit* txtRecord = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdVerify = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblCommitment = nullptr;
    QPushButton* cmdCommit = nullptr;
    QPushButton* cmdCommitmentText = nullptr;
    QPushButton* cmdCancelCommitment = nullptr;
    QLabel* lblPublicValue = nullptr;
    QLineEdit* txtPublicValue = nullptr;
    QLabel* lblPublicNote = nullptr;
    QCheckBox* chkKeepRecords = nullptr;
    QLabel* lblFolder = nullptr;
};

} // namespace kuji
