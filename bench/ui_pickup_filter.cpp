// The Pickup Record filter run through the offscreen window over a loaded record file, with
// one condition in each of the four lists (one a wildcard phrase on a field), typed into the
// boxes as a user does; from Start to the idle state with the result painted; the Stop
// options of BenchStop.h (--stop presses it 20 ms into the run). The same test as an awk line is printed by
// core_filter.
//   ui_pickup_filter FILE [--stop | --stop-after MS]
#include "BenchStop.h"
#include "BenchWindow.h"
#include "common/ui/LongWork.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "pickup/ui/PickupResultModel.h"
#include "pickup/ui/RecordListModel.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const kuji::bench::StopOptions stop = kuji::bench::StopOptions::take(args, 20);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: ui_pickup_filter FILE [--stop | --stop-after MS]\n");
        return 2;
    }

    kuji::bench::BenchWindow bench;
    kuji::FrmPickupRecord* tool = bench.openPickupRecord();
    tool->readRecordFile(args.first());
    kuji::bench::waitIdle(tool->longWork());

    // Keep: code (field 5) is A or B, a digit, 0-4, a digit; and age (field 3) holds a 2.
    // Remove: id (field 1) holds a 7 and the line holds ",5".
    bench.addCondition(tool, "InAND", "5", "[AB]#[0-4]#");
    bench.addCondition(tool, "InOR", "3", "2");
    bench.addCondition(tool, "OutAND", "1", "7");
    bench.addCondition(tool, "OutOR", "0", ",5");
    QApplication::processEvents();
    kuji::bench::StopMeasure stopping(
        stop, tool->longWork(), tool, [&] { tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger(); });
    stopping.arm();
    QElapsedTimer timer;
    timer.start();
    // The longest the event loop goes without a turn bounds how long a click on Stop waits.
    const kuji::bench::LoopGapMeter gaps;
    tool->findChild<QAction*>(QStringLiteral("mnuRunStart"))->trigger();
    kuji::bench::waitIdle(tool->longWork());
    QApplication::processEvents(); // and the result has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    std::printf("start_to_idle_seconds %.4f\nrecords %lld\nkept %lld\n", seconds,
        static_cast<long long>(tool->recordModel()->rowCount()),
        static_cast<long long>(tool->resultModel()->rowCount()));
    std::printf("longest_event_loop_gap_ms %.1f\n", gaps.longestMs());
    stopping.print();
    return 0;
}
