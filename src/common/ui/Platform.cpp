#include "common/ui/Platform.h"

#include "common/FilePaths.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace kuji {

FileDialogRequest FileDialogRequest::startingAt(const QString& caption, const QString& startPath, const QString& filter)
{
    const DialogPath start
        = mySplitDialogPath(startPath.toStdString(), QCoreApplication::applicationDirPath().toStdString());
    FileDialogRequest request;
    request.caption = caption;
    request.folder = QString::fromStdString(start.folder);
    request.fileName = QString::fromStdString(start.name);
    request.filter = filter;
    return request;
}

void Platform::showError(QWidget* parent, const QString& text)
{
    showMessage(parent, { text, QStringLiteral("エラー"), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok });
}

bool Platform::confirmReplace(QWidget* parent, const QString& title, const QString& path)
{
    // In the words of the desktop's save dialog, as Qt's Japanese translation gives them.
    const QString text = QStringLiteral("%1 は既に存在します。\n置き換えますか?").arg(QFileInfo(path).fileName());
    return showMessage(
               parent, { text, title, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::No })
        == QMessageBox::Yes;
}

QString caseInsensitiveFilter(const QString& filter)
{
    QStringList choices = filter.split(QStringLiteral(";;"));
    for (QString& choice : choices) {
        const qsizetype open = choice.lastIndexOf(QLatin1Char('('));
        const qsizetype close = choice.lastIndexOf(QLatin1Char(')'));
        if (open < 0 || close < open)
            continue;
        QString patterns;
        for (const QChar c : choice.mid(open + 1, close - open - 1)) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                patterns += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                patterns += c;
        }
        choice = choice.left(open + 1) + patterns + choice.mid(close);
    }
    return choices.join(QStringLiteral(";;"));
}

namespace {

// A desktop without a window manager leaves the keyboard nowhere once a modal window has
// gone, and the next keys would be lost: the window it belonged to takes the keyboard back,
// as a window manager would give it, with the control that had it before.
void returnKeyboardTo(QWidget* owner)
{
    QWidget* window = owner ? owner->window() : nullptr;
    if (window && window->isVisible())
        window->activateWindow();
}

} // namespace

QMessageBox::StandardButton QtPlatform::showMessage(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    returnKeyboardTo(parent);
    return answer;
}

QString QtPlatform::getOpenFileName(QWidget* parent, const FileDialogRequest& request)
{
    QDir folder(request.folder);
    const QString path = QFileDialog::getOpenFileName(parent, request.caption, folder.filePath(request.fileName),
        caseInsensitiveFilter(request.filter), nullptr, QFileDialog::HideNameFilterDetails);
    returnKeyboardTo(parent);
    return path;
}

QString QtPlatform::getSaveFileName(QWidget* parent, const FileDialogRequest& request)
{
    QDir folder(request.folder);
    QFileDialog::Options options = QFileDialog::HideNameFilterDetails;
    if (!request.confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    const QString path = QFileDialog::getSaveFileName(parent, request.caption, folder.filePath(request.fileName),
        caseInsensitiveFilter(request.filter), nullptr, options);
    returnKeyboardTo(parent);
    return path;
}

void QtPlatform::beep()
{
    QApplication::beep();
}

void QtPlatform::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool QtPlatform::openUrl(const QString& address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

int QtPlatform::execModal(QDialog& dialog)
{
    const int result = dialog.exec();
    returnKeyboardTo(dialog.parentWidget());
    return result;
}

} // namespace kuji
