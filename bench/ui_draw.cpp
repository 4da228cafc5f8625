// The whole Start command in the offscreen main window: a million distinct values from
// Start to the idle state, then the process's peak memory.
#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString count = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("1000000");
    const QString maximum = argc > 2 ? QString::fromLocal8Bit(argv[2]) : count;

    kuji::test::ScriptedPlatform platform;
    kuji::RandomSource random = kuji::RandomSource::fromEntropy();
    kuji::HelpService help(platform);
    QTemporaryDir folder;
    kuji::FrmMain window(platform, random, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString());
    window.show();
    QApplication::processEvents();

    window.findChild<QLineEdit*>(QStringLiteral("txtSaisyo"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("txtSaidai"))->setText(maximum);
    window.findChild<QLineEdit*>(QStringLiteral("txtTyusen"))->setText(count);
    auto* start = window.findChild<QAction*>(QStringLiteral("mnuRunStart"));

    QElapsedTimer timer;
    timer.start();
    start->trigger(); // returns when the window is idle again
    QApplication::processEvents(); // and the list has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start_to_idle_seconds %.4f\npeak_rss_mb %.1f\nmessages %zu\n", seconds, usage.ru_maxrss / 1024.0,
        platform.messages.size());
    return window.isBusy() ? 1 : 0;
}
