// The whole Start command in the offscreen main window: a million distinct values from
// Start to the idle state, then the process's peak memory; the Stop options of BenchStop.h
// (--stop presses it 100 ms into the draw). The draw leaves its record as usual; --no-record
// turns records off first, to weigh what the record costs.
//   ui_draw [COUNT [MAXIMUM]] [--stop | --stop-after MS] [--no-record]
#include "BenchStop.h"
#include "BenchWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const kuji::bench::StopOptions stop = kuji::bench::StopOptions::take(args, 100);
    const bool keepRecords = args.removeAll(QStringLiteral("--no-record")) == 0;
    const QString count = args.value(0, QStringLiteral("1000000"));
    const QString maximum = args.value(1, count);

    kuji::bench::BenchWindow bench(keepRecords);
    bench.setBoxes(QStringLiteral("1"), maximum, count);
    kuji::bench::StopMeasure stopping(
        stop, bench.window.longWork(), &bench.window, [&] { bench.child<QAction>("mnuRunStop")->trigger(); });

    stopping.arm();
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuRunStart");
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start_to_idle_seconds %.4f\npeak_rss_mb %.1f\nmessages %zu\n", seconds, usage.ru_maxrss / 1024.0,
        bench.platform.messages.size());
    stopping.print();
    qint64 recordBytes = 0;
    for (const QFileInfo& file : QDir(bench.folder.filePath(QStringLiteral("records"))).entryInfoList(QDir::Files))
        recordBytes += file.size();
    std::printf("record_kb %.1f\n", recordBytes / 1024.0);
    return bench.window.isBusy() ? 1 : 0;
}
