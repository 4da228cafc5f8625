#include "common/ui/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QUrl>

namespace kuji {

void Platform::showError(QWidget* parent, const QString& text)
{
    showMessage(parent, { text, QStringLiteral("エラー"), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok });
}

QMessageBox::StandardButton QtPlatform::showMessage(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtPlatform::getOpenFileName(QWidget* parent, const FileDialogRequest& request)
{
    QDir folder(request.folder);
    return QFileDialog::getOpenFileName(parent, request.caption, folder.filePath(request.fileName), request.filter);
}

QString QtPlatform::getSaveFileName(QWidget* parent, const FileDialogRequest& request)
{
    QDir folder(request.folder);
    QFileDialog::Options options;
    if (!request.confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(
        parent, request.caption, folder.filePath(request.fileName), request.filter, nullptr, options);
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
    return dialog.exec();
}

} // namespace kuji
