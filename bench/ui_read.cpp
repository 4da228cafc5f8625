// Reading an entry file through the offscreen main window, from the command to the idle
// state, then the process's peak memory; with --stop, the time Stop takes during the read.
//   ui_read FILE [--stop]
#include "app/ui/FrmMain.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "records/DrawSeed.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_read FILE [--stop]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool stop = argc > 2 && std::strcmp(argv[2], "--stop") == 0;

    kuji::test::ScriptedPlatform platform;
    kuji::HelpService help(platform);
    kuji::SystemSeedSource seeds;
    QTemporaryDir folder;
    kuji::FrmMain window(platform, seeds, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString(),
        folder.filePath(QStringLiteral("records")).toStdString());
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("optYomikomi"))->click();
    QApplication::processEvents();

    QElapsedTimer sinceStop;
    if (stop) {
        QTimer::singleShot(100, &window, [&] {
            sinceStop.start();
            window.findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger();
        });
    }
    platform.fileAnswers.push_back(path);
    QElapsedTimer timer;
    timer.start();
    QEventLoop untilIdle;
    QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    window.findChild<QAction*>(QStringLiteral("mnuFileOpen"))->trigger();
    if (window.longWork().isRunning())
        untilIdle.exec();
    const double stopToIdle = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e6 : -1.0;
    QApplication::processEvents(); // and the list has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("command_to_idle_seconds %.4f\nentries %lld\npeak_rss_mb %.1f\n", seconds,
        static_cast<long long>(window.workModel()->rowCount()), usage.ru_maxrss / 1024.0);
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    return 0;
}
