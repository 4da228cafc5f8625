// The whole Start command in the offscreen main window: a million distinct values from
// Start to the idle state, then the process's peak memory; with --stop, the time Stop takes
// 100 ms into the draw. The draw leaves its record as usual; --no-record turns records off
// first, to weigh what the record costs.
//   ui_draw [COUNT [MAXIMUM]] [--stop] [--no-record]
#include "BenchWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool stop = args.removeAll(QStringLiteral("--stop")) > 0;
    const bool keepRecords = args.removeAll(QStringLiteral("--no-record")) == 0;
    const QString count = args.value(0, QStringLiteral("1000000"));
    const QString maximum = args.value(1, count);

    kuji::bench::BenchWindow bench(keepRecords);
    bench.setBoxes(QStringLiteral("1"), maximum, count);

    QElapsedTimer sinceStop;
    double stopToIdle = -1;
    if (stop) {
        QTimer::singleShot(100, &bench.window, [&] {
            sinceStop.start();
            bench.child<QAction>("mnuRunStop")->trigger();
        });
        QObject::connect(&bench.window.longWork(), &kuji::LongWork::runningChanged, [&](bool running) {
            if (!running && sinceStop.isValid())
                stopToIdle = sinceStop.nsecsElapsed() / 1e6;
        });
    }
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuRunStart");
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start_to_idle_seconds %.4f\npeak_rss_mb %.1f\nmessages %zu\n", seconds, usage.ru_maxrss / 1024.0,
        bench.platform.messages.size());
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    qint64 recordBytes = 0;
    for (const QFileInfo& file : QDir(bench.folder.filePath(QStringLiteral("records"))).entryInfoList(QDir::Files))
        recordBytes += file.size();
    std::printf("record_kb %.1f\n", recordBytes / 1024.0);
    return bench.window.isBusy() ? 1 : 0;
}
