// Loading a record file into the Pickup Record window's record list, offscreen, from the
// command to the idle state with the list painted, with the longest event-loop gap; the Stop
// options of BenchStop.h (--stop presses it 50 ms after the command). After --stop-after,
// the memory the process still holds once the stopped load is let go of is printed too.
//   ui_pickup_load FILE [--stop | --stop-early | --stop-after MS]
#include "BenchStop.h"
#include "BenchWindow.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "pickup/ui/RecordListModel.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const kuji::bench::StopOptions stop = kuji::bench::StopOptions::take(args, 50);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: ui_pickup_load FILE [--stop | --stop-early | --stop-after MS]\n");
        return 2;
    }

    kuji::bench::BenchWindow bench;
    kuji::FrmPickupRecord* tool = bench.openPickupRecord();
    kuji::bench::StopMeasure stopping(
        stop, tool->longWork(), tool, [&] { tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger(); });

    stopping.arm();
    QElapsedTimer timer;
    timer.start();
    // The longest the event loop goes without a turn bounds how long a click on Stop waits.
    const kuji::bench::LoopGapMeter gaps;
    tool->readRecordFile(args.first());
    kuji::bench::waitIdle(tool->longWork());
    QApplication::processEvents(); // and the list has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("command_to_idle_seconds %.4f\nrecords %lld\npeak_rss_mb %.1f\n", seconds,
        static_cast<long long>(tool->recordModel()->rowCount()), usage.ru_maxrss / 1024.0);
    std::printf("longest_event_loop_gap_ms %.1f\n", gaps.longestMs());
    if (stop.afterMs >= 0 && !stop.atDelay) {
        QElapsedTimer calm;
        calm.start();
        while (calm.elapsed() < 50)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::printf("rss_after_stop_mb %.1f\n", kuji::bench::residentMegabytes());
    }
    stopping.print();
    return 0;
}
