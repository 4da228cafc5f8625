#pragma once

// An offscreen main window for the whole-command benchmarks: a scripted platform, a random
// source seeded from the system, and a settings file in a folder of its own.

#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>

namespace kuji::bench {

class BenchWindow {
public:
    BenchWindow()
        : window(platform, random, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString())
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

    test::ScriptedPlatform platform;
    RandomSource random = RandomSource::fromEntropy();
    HelpService help { platform };
    QTemporaryDir folder;
    FrmMain window;
};

} // namespace kuji::bench
