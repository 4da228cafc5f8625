#pragma once

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

// The 抽選記録 window: the records of past draws, newest first, the chosen record's full
// text, and its commands (保存, 再現確認, 削除); the public value for the next draw with what
// it is for; and the option to stop keeping records. Modeless and owned by the main window,
// which it reaches only through MainWindowPort and RecordsHost.
class FrmRecords final : public QWidget {
    Q_OBJECT
public:
    FrmRecords(
        MainWindowPort& window, RecordsHost& host, Platform& platform, HelpService& help, QWidget* parent = nullptr);

    // Reads the folder afresh, keeping the chosen record chosen when it is still there (or
    // choosing the newest, after a draw added one).
    void refresh(bool selectNewest = false);
    // Shows the public value the host holds (after a draw used it up).
    void showPublicValue();
    // The record file chosen in the list, or empty.
    QString selectedPath() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The one place that sets the busy or idle state of the window's commands.
    void applyState();
    void showSelected();
    void save();
    void verify();
    void remove();
    void reportVerification(const VerificationReport& report);

    MainWindowPort& m_window;
    RecordsHost& m_host;
    Platform& m_platform;
    HelpService& m_help;
    DrawRecordListModel* m_model = nullptr;
    bool m_verifying = false;

    QTreeView* lvwRecords = nullptr;
    QPlainTextEdit* txtRecord = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdVerify = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblPublicValue = nullptr;
    QLineEdit* txtPublicValue = nullptr;
    QLabel* lblPublicNote = nullptr;
    QCheckBox* chkKeepRecords = nullptr;
    QLabel* lblFolder = nullptr;
};

} // namespace kuji
