#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace kuji {

// One message box as the program asks for it.
struct MessageRequest {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// One open or save dialog. filter uses Qt's form ("CSV (*.csv *.txt);;全ファイル (*)").
struct FileDialogRequest {
    QString caption;
    QString folder;
    QString fileName;
    QString filter;
    bool confirmOverwrite = true; // save dialogs only

    // A dialog that starts at the folder and name of startPath, or in the program's folder
    // when that folder does not exist, as every file dialog of the program does.
    static FileDialogRequest startingAt(const QString& caption, const QString& startPath, const QString& filter);
};

// The filter of the dialogs that open text files: CSV and text files, or all files.
inline const QString kTextFileFilter = QStringLiteral("*.csv;*.txt (*.csv *.txt);;全ファイル (*)");

// Everything the windows ask of the desktop that a test must see or answer: message
// boxes, file dialogs, modal windows, the beep, the clipboard and opening addresses. The windows receive
// one instance; tests give them a scripted one.
class Platform {
public:
    virtual ~Platform() = default;

    // Shows a modal message box and returns the button chosen.
    virtual QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request) = 0;
    // Returns the chosen path, or an empty string when the user cancelled.
    virtual QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString getSaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // Opens a web or mailto: address with the desktop's default program.
    virtual bool openUrl(const QString& address) = 0;
    // Shows a window modally (the version window, the print dialog, …) and returns its result
    // code, as QDialog::exec does.
    virtual int execModal(QDialog& dialog) = 0;

    // The program's usual error box: critical icon, OK, title "エラー".
    void showError(QWidget* parent, const QString& text);
    // The save dialog's own question before a file is replaced, for a name that is settled
    // only after the dialog (an extension added to it): warning icon, Yes and No, No the
    // default. True for Yes.
    bool confirmReplace(QWidget* parent, const QString& title, const QString& path);
};

// The same filter with every letter of its patterns matching either case ("*.csv" becomes
// "*.[cC][sS][vV]"), since the desktop's file dialogs compare names case-sensitively and a
// DATA.CSV would not show under "*.csv". Descriptions stay as they are.
QString caseInsensitiveFilter(const QString& filter);

// The real desktop, through Qt.
class QtPlatform final : public Platform {
public:
    QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request) override;
    QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileDialogRequest& request) override;
    void beep() override;
    void setClipboardText(const QString& text) override;
    bool openUrl(const QString& address) override;
    int execModal(QDialog& dialog) override;
};

} // namespace kuji
