#pragma once

#include "common/ui/Platform.h"

#include <deque>
#include <functional>

namespace kuji::test {

// The program's own desktop platform, with its real message boxes, file dialogs and modal
// windows, for the tests that must see what a real modal window leaves behind. A modal window
// runs its own event loop, so what the test does inside it is handed over beforehand: each
// modal call runs the next step once its window is shown and active. Beeps are counted.
class DesktopPlatform final : public Platform {
public:
    // One step inside a modal window, given the window.
    using Step = std::function<void(QWidget& modal)>;

    QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request) override;
    QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileDialogRequest& request) override;
    void beep() override { ++beeps; }
    void setClipboardText(const QString& text) override { m_real.setClipboardText(text); }
    bool openUrl(const QString&) override { return true; }
    int execModal(QDialog& dialog) override;

    std::deque<Step> steps;
    int beeps = 0;
    int modalCalls = 0;

private:
    // Runs the next step inside the modal window about to open; without one, the window is
    // closed with Escape, as a user would.
    void scheduleNextStep();

    QtPlatform m_real;
};

} // namespace kuji::test
