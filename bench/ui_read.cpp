// Reading an entry file through the offscreen main window, from the command to the idle
// state, then the process's peak memory; with --stop, the time Stop takes during the read
// (pressed 100 ms after the command); with --stop-early, the time from pressing Stop 5 ms
// into the first slice (while the bytes are read) to the idle state.
//   ui_read FILE [--stop | --stop-early]
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "common/ui/EntryListModel.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_read FILE [--stop | --stop-early]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool stop = argc > 2 && std::strcmp(argv[2], "--stop") == 0;
    const bool stopEarly = argc > 2 && std::strcmp(argv[2], "--stop-early") == 0;

    kuji::bench::BenchWindow bench;
    bench.child<QRadioButton>("optYomikomi")->click();
    QApplication::processEvents();

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
    kuji::bench::StopInFirstSlice early(5, [&] { bench.child<QAction>("mnuRunStop")->trigger(); });
    double earlyStopToIdle = -1;
    if (stopEarly) {
        QObject::connect(&bench.window.longWork(), &kuji::LongWork::runningChanged, [&](bool running) {
            if (!running)
                earlyStopToIdle = early.pressedAgoMs();
        });
        early.arm();
    }
    bench.platform.fileAnswers.push_back(path);
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuFileOpen");
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("command_to_idle_seconds %.4f\nentries %lld\npeak_rss_mb %.1f\n", seconds,
        static_cast<long long>(bench.window.workModel()->rowCount()), usage.ru_maxrss / 1024.0);
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    if (stopEarly)
        std::printf("stop_wait_ms %.1f\nstop_to_idle_ms %.1f\n", early.waitMs(), earlyStopToIdle);
    return 0;
}
