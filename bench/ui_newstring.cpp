// The string window with a big text, offscreen: opening FILE into the editor and transferring
// it to the main window, each from the command to the idle state, and how often the main
// window's progress moved during the transfer.
//   ui_newstring FILE
#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "common/ui/ProgressPanel.h"
#include "newstring/ui/FrmNewString.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
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

    kuji::test::ScriptedPlatform platform;
    kuji::HelpService help(platform);
    kuji::RandomSource random = kuji::RandomSource::fromEntropy();
    QTemporaryDir folder;
    kuji::FrmMain window(platform, random, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString());
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("optYomikomi"))->click();
    QApplication::processEvents();

    double openSeconds = 0;
    double transferSeconds = 0;
    qint64 lines = 0;
    QSet<qint64> progressSeen;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        auto& newString = static_cast<kuji::FrmNewString&>(dialog);
        QApplication::processEvents();

        platform.fileAnswers.push_back(path);
        QElapsedTimer timer;
        timer.start();
        newString.findChild<QAction*>(QStringLiteral("mnuFileOpen"))->trigger();
        QApplication::processEvents(); // and the text has been painted
        openSeconds = timer.nsecsElapsed() / 1e9;
        lines = newString.findChild<QPlainTextEdit*>(QStringLiteral("rtbNewString"))->blockCount();

        // Watches the main window's progress between the slices of the transfer.
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] { progressSeen.insert(window.progressPanel().value()); });
        QEventLoop untilIdle;
        QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
            if (!running)
                untilIdle.quit();
        });
        timer.restart();
        newString.findChild<QAction*>(QStringLiteral("mnuSend"))->trigger();
        watch.start();
        if (window.longWork().isRunning())
            untilIdle.exec();
        watch.stop();
        QApplication::processEvents(); // and the work list has been painted
        transferSeconds = timer.nsecsElapsed() / 1e9;
        return int(QDialog::Accepted);
    });
    window.findChild<QAction*>(QStringLiteral("mnuToolNewString"))->trigger();

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("open_seconds %.4f\nlines %lld\ntransfer_seconds %.4f\nentries %lld\nprogress_values %lld\n"
                "peak_rss_mb %.1f\n",
        openSeconds, static_cast<long long>(lines), transferSeconds,
        static_cast<long long>(window.workModel()->rowCount()), static_cast<long long>(progressSeen.size()),
        usage.ru_maxrss / 1024.0);
    return 0;
}
