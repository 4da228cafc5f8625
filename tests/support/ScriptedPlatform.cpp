#include "support/ScriptedPlatform.h"

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

} // namespace kuji::test
