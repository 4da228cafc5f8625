// One entry of 50 MB (a text file of one long line, as an unclosed quote makes of a CSV):
// opening it through the offscreen main window and drawing it once, from the command to the
// idle state each, with the lists painted.
//   ui_long_entry [MEGABYTES]
#include "BenchWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;

    kuji::bench::BenchWindow bench;
    const QString path = bench.folder.filePath(QStringLiteral("one-line.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        const QByteArray block(1 << 20, 'x');
        for (qint64 i = 0; i < megabytes; ++i)
            file.write(block);
        file.write("\r\n");
    }

    bench.child<QRadioButton>("optYomikomi")->click();
    QApplication::processEvents();

    bench.platform.fileAnswers.push_back(path);
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuFileOpen");
    const double openSeconds = timer.nsecsElapsed() / 1e9;

    bench.child<QLineEdit>("txtTyusen")->setText(QStringLiteral("1"));
    timer.restart();
    bench.trigger("mnuRunStart");
    const double drawSeconds = timer.nsecsElapsed() / 1e9;

    std::printf("open_seconds %.4f\ndraw_seconds %.4f\ntotal_seconds %.4f\nmessages %zu\n", openSeconds, drawSeconds,
        openSeconds + drawSeconds, bench.platform.messages.size());
    return bench.platform.messages.empty() ? 0 : 1;
}
