// The whole Start command in the offscreen main window: a million distinct values from
// Start to the idle state, then the process's peak memory; with --stop, the time Stop takes
// 100 ms into the draw. The draw leaves its record as usual; --no-record turns records off
// first, to weigh what the record costs.
//   ui_draw [COUNT [MAXIMUM]] [--stop] [--no-record]
#include "app/ui/FrmMain.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "records/DrawSeed.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool stop = args.removeAll(QStringLiteral("--stop")) > 0;
    const bool noRecord = args.removeAll(QStringLiteral("--no-record")) > 0;
    const QString count = args.value(0, QStringLiteral("1000000"));
    const QString maximum = args.value(1, count);

    kuji::test::ScriptedPlatform platform;
    kuji::SystemSeedSource seeds;
    kuji::HelpService help(platform);
    QTemporaryDir folder;
    if (noRecord)
        kuji::Settings(folder.filePath(QStringLiteral("kujitan.ini")).toStdString()).writeKeepRecords(false);
    kuji::FrmMain window(platform, seeds, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString(),
        folder.filePath(QStringLiteral("records")).toStdString());
    window.show();
    QApplication::processEvents();

    window.findChild<QLineEdit*>(QStringLiteral("txtSaisyo"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("txtSaidai"))->setText(maximum);
    window.findChild<QLineEdit*>(QStringLiteral("txtTyusen"))->setText(count);
    auto* start = window.findChild<QAction*>(QStringLiteral("mnuRunStart"));

    QElapsedTimer sinceStop;
    if (stop) {
        QTimer::singleShot(100, &window, [&] {
            sinceStop.start();
            window.findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger();
        });
    }
    QElapsedTimer timer;
    timer.start();
    QEventLoop untilIdle;
    QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    start->trigger();
    if (window.longWork().isRunning())
        untilIdle.exec();
    const double stopToIdle = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e6 : -1.0;
    QApplication::processEvents(); // and the list has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start_to_idle_seconds %.4f\npeak_rss_mb %.1f\nmessages %zu\n", seconds, usage.ru_maxrss / 1024.0,
        platform.messages.size());
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    qint64 recordBytes = 0;
    for (const QFileInfo& file : QDir(folder.filePath(QStringLiteral("records"))).entryInfoList(QDir::Files))
        recordBytes += file.size();
    std::printf("record_kb %.1f\n", recordBytes / 1024.0);
    return window.isBusy() ? 1 : 0;
}
