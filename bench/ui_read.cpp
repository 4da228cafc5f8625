// Reading an entry file through the offscreen main window, from the command to the idle
// state, then the process's peak memory; the Stop options of BenchStop.h (--stop presses it
// 100 ms after the command).
//   ui_read FILE [--stop | --stop-early | --stop-after MS]
#include "BenchStop.h"
#include "BenchWindow.h"

#include "common/ui/EntryListModel.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const kuji::bench::StopOptions stop = kuji::bench::StopOptions::take(args, 100);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: ui_read FILE [--stop | --stop-early | --stop-after MS]\n");
        return 2;
    }

    kuji::bench::BenchWindow bench;
    bench.child<QRadioButton>("optYomikomi")->click();
    QApplication::processEvents();
    kuji::bench::StopMeasure stopping(
        stop, bench.window.longWork(), &bench.window, [&] { bench.child<QAction>("mnuRunStop")->trigger(); });

    bench.platform.fileAnswers.push_back(args.first());
    stopping.arm();
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuFileOpen");
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("command_to_idle_seconds %.4f\nentries %lld\npeak_rss_mb %.1f\n", seconds,
        static_cast<long long>(bench.window.workModel()->rowCount()), usage.ru_maxrss / 1024.0);
    stopping.print();
    return 0;
}
