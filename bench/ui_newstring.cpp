// The string window with a big text, offscreen: opening FILE into the editor and transferring
// it to the main window, each from the command to the idle state, and how many different
// values the main window's progress showed during the transfer.
//   ui_newstring FILE
#include "BenchWindow.h"

#include "common/ui/EntryListModel.h"
#include "common/ui/ProgressPanel.h"
#include "newstring/ui/FrmNewString.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_newstring FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);

    kuji::bench::BenchWindow bench;
    bench.child<QRadioButton>("optYomikomi")->click();
    QApplication::processEvents();

    double openSeconds = 0;
    double transferSeconds = 0;
    qint64 lines = 0;
    QSet<qint64> progressSeen;
    bench.platform.modalAnswers.push_back([&](QDialog& dialog) {
        auto& newString = static_cast<kuji::FrmNewString&>(dialog);
        QApplication::processEvents();

        bench.platform.fileAnswers.push_back(path);
        QElapsedTimer timer;
        timer.start();
        newString.findChild<QAction*>(QStringLiteral("mnuFileOpen"))->trigger();
        QApplication::processEvents(); // and the text has been painted
        openSeconds = timer.nsecsElapsed() / 1e9;
        lines = newString.findChild<QPlainTextEdit*>(QStringLiteral("rtbNewString"))->blockCount();

        // Looks at the main window's progress between the slices of the transfer.
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] { progressSeen.insert(bench.window.progressPanel().value()); });
        QEventLoop untilIdle;
        QObject::connect(&bench.window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
            if (!running)
                untilIdle.quit();
        });
        timer.restart();
        newString.findChild<QAction*>(QStringLiteral("mnuSend"))->trigger();
        watch.start();
        if (bench.window.longWork().isRunning())
            untilIdle.exec();
        watch.stop();
        QApplication::processEvents(); // and the work list has been painted
        transferSeconds = timer.nsecsElapsed() / 1e9;
        return int(QDialog::Accepted);
    });
    bench.child<QAction>("mnuToolNewString")->trigger();

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("open_seconds %.4f\nlines %lld\ntransfer_seconds %.4f\nentries %lld\nprogress_values %lld\n"
                "peak_rss_mb %.1f\n",
        openSeconds, static_cast<long long>(lines), transferSeconds,
        static_cast<long long>(bench.window.workModel()->rowCount()), static_cast<long long>(progressSeen.size()),
        usage.ru_maxrss / 1024.0);
    return 0;
}
