// Loading a record file into the Pickup Record window's record list, offscreen, from the
// command to the idle state with the list painted; with --stop, the time Stop takes during
// the load (pressed 50 ms after the command); with --stop-early, the time from pressing Stop
// 5 ms into the first slice (while the bytes are read) to the idle state.
//   ui_pickup_load FILE [--stop | --stop-early | --stop-after MS]
// With --stop-after, Stop is pressed MS milliseconds into the load, and the memory the process
// still holds afterwards is printed.
#include "BenchTiming.h"
#include "BenchWindow.h"
#include "common/ui/LongWork.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "pickup/ui/RecordListModel.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_pickup_load FILE [--stop | --stop-early]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool stop = argc > 2 && std::strcmp(argv[2], "--stop") == 0;
    const bool stopEarly = argc > 2 && std::strcmp(argv[2], "--stop-early") == 0;
    const int stopAfterMs = argc > 3 && std::strcmp(argv[2], "--stop-after") == 0 ? std::atoi(argv[3]) : -1;

    kuji::bench::BenchWindow bench;
    bench.child<QRadioButton>("optYomikomi")->click();
    bench.child<QAction>("mnuToolPickupRecord")->trigger();
    kuji::FrmPickupRecord* tool = bench.window.findChild<kuji::PickupRecordTool*>()->window();
    QApplication::processEvents();

    QElapsedTimer sinceStop;
    if (stopAfterMs >= 0) {
        QTimer::singleShot(stopAfterMs, tool, [&] {
            sinceStop.start();
            tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger();
        });
    }
    if (stop) {
        QTimer::singleShot(50, tool, [&] {
            sinceStop.start();
            tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger();
        });
    }
    kuji::bench::StopInFirstSlice early(5, [&] { tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger(); });
    double earlyStopToIdle = -1;
    if (stopEarly)
        early.arm();
    QElapsedTimer timer;
    timer.start();
    QEventLoop untilIdle;
    QObject::connect(&tool->longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    // The longest the event loop goes without a turn bounds how long a click on Stop waits.
    const kuji::bench::LoopGapMeter gaps;
    tool->readRecordFile(path);
    if (tool->longWork().isRunning())
        untilIdle.exec();
    const double stopToIdle = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e6 : -1.0;
    if (stopEarly)
        earlyStopToIdle = early.pressedAgoMs();
    QApplication::processEvents(); // and the list has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("command_to_idle_seconds %.4f\nrecords %lld\npeak_rss_mb %.1f\n", seconds,
        static_cast<long long>(tool->recordModel()->rowCount()), usage.ru_maxrss / 1024.0);
    std::printf("longest_event_loop_gap_ms %.1f\n", gaps.longestMs());
    if (stopAfterMs >= 0) {
        // What the process holds once the stopped load is let go of.
        QElapsedTimer calm;
        calm.start();
        while (calm.elapsed() < 50)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::printf("rss_after_stop_mb %.1f\n", kuji::bench::residentMegabytes());
    }
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    if (stopEarly)
        std::printf("stop_wait_ms %.1f\nstop_to_idle_ms %.1f\n", early.waitMs(), earlyStopToIdle);
    return 0;
}
