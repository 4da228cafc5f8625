#pragma once

// An offscreen main window for the whole-command benchmarks: a scripted platform, seeds from
// the system, and a settings file and a records folder in a folder of its own.

#include "app/ui/FrmMain.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "draw/DrawSeed.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>

namespace kuji::bench {

class BenchWindow {
public:
    // keepRecords false turns the draw records off before the window opens.
    explicit BenchWindow(bool keepRecords = true)
        : window(
            platform, seeds, help, settingsFile(keepRecords), folder.filePath(QStringLiteral("records")).toStdString())
    {
        window.show();
        QApplication::processEvents();
    }

    template <typename T> T* child(const char* name) { return window.findChild<T*>(QLatin1String(name)); }

    void setBoxes(const QString& first, const QString& second, const QString& count)
    {
        child<QLineEdit>("txtSaisyo")->setText(first);
        child<QLineEdit>("txtSaidai")->setText(second);
        child<QLineEdit>("txtTyusen")->setText(count);
    }

    // Triggers a command and returns once the long work it started has ended and the window
    // has painted what it shows afterwards.
    void trigger(const char* command)
    {
        QEventLoop untilIdle;
        QObject::connect(&window.longWork(), &LongWork::runningChanged, &untilIdle, [&](bool running) {
            if (!running)
                untilIdle.quit();
        });
        child<QAction>(command)->trigger();
        if (window.longWork().isRunning())
            untilIdle.exec();
        QApplication::processEvents();
    }

    std::string settingsFile(bool keepRecords)
    {
        const std::string path = folder.filePath(QStringLiteral("kujitan.ini")).toStdString();
        if (!keepRecords)
            Settings(path).writeKeepRecords(false);
        return path;
    }

    test::ScriptedPlatform platform;
    SystemSeedSource seeds;
    HelpService help { platform };
    QTemporaryDir folder;
    FrmMain window;
};

} // namespace kuji::bench
