// The Pickup Record filter run through the offscreen window over a loaded record file, with
// one condition in each of the four lists (one a wildcard phrase on a field), typed into the
// boxes as a user does; from Start to the idle state with the result painted. With --stop,
// the time Stop takes during the run. The same test as an awk line is printed by core_filter.
//   ui_pickup_filter FILE [--stop]
#include "BenchTiming.h"
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

namespace {

void waitIdle(kuji::FrmPickupRecord* tool)
{
    if (!tool->longWork().isRunning())
        return;
    QEventLoop untilIdle;
    QObject::connect(&tool->longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    untilIdle.exec();
}

void addCondition(kuji::FrmPickupRecord* tool, const char* list, const char* column, const char* phrase)
{
    const QString name = QLatin1String(list);
    tool->findChild<QLineEdit*>(QStringLiteral("txt") + name + QStringLiteral("No"))->setText(QLatin1String(column));
    tool->findChild<QLineEdit*>(QStringLiteral("txt") + name + QStringLiteral("Goku"))->setText(QLatin1String(phrase));
    tool->findChild<QPushButton*>(QStringLiteral("cmd") + name + QStringLiteral("Tuika"))->click();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_pickup_filter FILE [--stop]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool stop = argc > 2 && std::strcmp(argv[2], "--stop") == 0;

    kuji::bench::BenchWindow bench;
    bench.child<QRadioButton>("optYomikomi")->click();
    bench.child<QAction>("mnuToolPickupRecord")->trigger();
    kuji::FrmPickupRecord* tool = bench.window.findChild<kuji::PickupRecordTool*>()->window();
    tool->readRecordFile(path);
    waitIdle(tool);

    // Keep: code (field 5) is A or B, a digit, 0-4, a digit; and age (field 3) holds a 2.
    // Remove: id (field 1) holds a 7 and the line holds ",5".
    addCondition(tool, "InAND", "5", "[AB]#[0-4]#");
    addCondition(tool, "InOR", "3", "2");
    addCondition(tool, "OutAND", "1", "7");
    addCondition(tool, "OutOR", "0", ",5");
    QApplication::processEvents();
    QElapsedTimer sinceStop;
    if (stop) {
        QTimer::singleShot(20, tool, [&] {
            sinceStop.start();
            tool->findChild<QAction*>(QStringLiteral("mnuRunStop"))->trigger();
        });
    }
    QElapsedTimer timer;
    timer.start();
    // The longest the event loop goes without a turn bounds how long a click on Stop waits.
    const kuji::bench::LoopGapMeter gaps;
    tool->findChild<QAction*>(QStringLiteral("mnuRunStart"))->trigger();
    waitIdle(tool);
    const double stopToIdle = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e6 : -1.0;
    QApplication::processEvents(); // and the result has been painted
    const double seconds = timer.nsecsElapsed() / 1e9;

    std::printf("start_to_idle_seconds %.4f\nrecords %lld\nkept %lld\n", seconds,
        static_cast<long long>(tool->recordModel()->rowCount()),
        static_cast<long long>(tool->resultModel()->rowCount()));
    std::printf("longest_event_loop_gap_ms %.1f\n", gaps.longestMs());
    if (stop)
        std::printf("stop_to_idle_ms %.1f\n", stopToIdle);
    return 0;
}
