#pragma once

#include "common/ui/Platform.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace kuji::test {

// A platform whose dialogs answer from a script and which records every call, so a test
// can check each message's text, title, icon and buttons. An unscripted message box is
// answered with its default button (or OK); an unscripted file dialog is cancelled.
class ScriptedPlatform final : public Platform {
public:
    struct Message {
        MessageRequest request;
        QWidget* parent = nullptr;
    };
    struct Dialog {
        bool save = false;
        FileDialogRequest request;
    };

    QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request) override;
    QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileDialogRequest& request) override;
    void beep() override { ++beeps; }
    void setClipboardText(const QString& text) override
    {
        clipboard = text;
        ++clipboardWrites;
    }
    bool openUrl(const QString& address) override
    {
        openedUrls << address;
        return openUrlResult;
    }
    // A modal window is shown (not executed) and handed to the next scripted answer, which
    // may use it like a user and returns its result; without one it is cancelled at once.
    int execModal(QDialog& dialog) override;

    std::deque<QMessageBox::StandardButton> messageAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::function<int(QDialog&)>> modalAnswers;
    bool openUrlResult = true;

    std::vector<Message> messages;
    std::vector<Dialog> dialogs;
    int beeps = 0;
    QString clipboard;
    int clipboardWrites = 0;
    QStringList openedUrls;
    QStringList modalWindows; // object names, in the order shown
};

} // namespace kuji::test
