#include "x11/DesktopPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kuji::test {

void DesktopPlatform::scheduleNextStep()
{
    ++modalCalls;
    Step step;
    if (!steps.empty()) {
        step = std::move(steps.front());
        steps.pop_front();
    }
    // The timer fires inside the modal window's own event loop.
    QTimer::singleShot(0, qApp, [step = std::move(step)] {
        QWidget* modal = nullptr;
        const bool shown = QTest::qWaitFor([&modal] {
            modal = QApplication::activeModalWidget();
            return modal && modal->isActiveWindow();
        });
        if (!shown) {
            ADD_FAILURE() << "no modal window became active";
            if (modal)
                modal->close();
            return;
        }
        if (step) {
            step(*modal);
        } else {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(modal, &escape);
        }
    });
}

QMessageBox::StandardButton DesktopPlatform::showMessage(QWidget* parent, const MessageRequest& request)
{
    scheduleNextStep();
    return m_real.showMessage(parent, request);
}

QString DesktopPlatform::getOpenFileName(QWidget* parent, const FileDialogRequest& request)
{
    scheduleNextStep();
    return m_real.getOpenFileName(parent, request);
}

QString DesktopPlatform::getSaveFileName(QWidget* parent, const FileDialogRequest& request)
{
    scheduleNextStep();
    return m_real.getSaveFileName(parent, request);
}

int DesktopPlatform::execModal(QDialog& dialog)
{
    scheduleNextStep();
    return m_real.execModal(dialog);
}

} // namespace kuji::test
