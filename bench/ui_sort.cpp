// Sorting and saving a million drawn results through the offscreen main window: from the
// command to the idle state. The saved file is left for the script to sort with GNU sort.
//   ui_sort OUTPUT_FILE [COUNT]
#include "BenchWindow.h"

#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_sort OUTPUT_FILE [COUNT]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QString count = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("1000000");

    kuji::bench::BenchWindow bench;
    bench.setBoxes(QStringLiteral("1"), count, count);
    bench.trigger("mnuRunStart");

    // The sort runs to its end inside the command, with the wait cursor.
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuHensyuSortAsc2");
    const double sortSeconds = timer.nsecsElapsed() / 1e9;

    bench.platform.fileAnswers.push_back(output);
    timer.restart();
    bench.trigger("mnuFileSave");
    const double saveSeconds = timer.nsecsElapsed() / 1e9;

    std::printf("sort_seconds %.4f\nsave_seconds %.4f\nmessages %zu\n", sortSeconds, saveSeconds,
        bench.platform.messages.size());
    return bench.platform.messages.empty() ? 0 : 1;
}
