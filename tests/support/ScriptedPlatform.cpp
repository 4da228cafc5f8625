#include "support/ScriptedPlatform.h"

#include <QDialog>

namespace kuji::test {

QMessageBox::StandardButton ScriptedPlatform::showMessage(QWidget* parent, const MessageRequest& request)
{
    messages.push_back({ request, parent });
    if (!messageAnswers.empty()) {
        const auto answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    return request.defaultButton != QMessageBox::NoButton ? request.defaultButton : QMessageBox::Ok;
}

QString ScriptedPlatform::getOpenFileName(QWidget*, const FileDialogRequest& request)
{
    dialogs.push_back({ false, request });
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPlatform::getSaveFileName(QWidget*, const FileDialogRequest& request)
{
    dialogs.push_back({ true, request });
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

int ScriptedPlatform::execModal(QDialog& dialog)
{
    modalWindows << dialog.objectName();
    if (modalAnswers.empty())
        return QDialog::Rejected;
    auto answer = std::move(modalAnswers.front());
    modalAnswers.pop_front();
    dialog.setModal(true);
    dialog.show();
    const int result = answer(dialog);
    dialog.hide();
    return result;
}

} // namespace kuji::test
