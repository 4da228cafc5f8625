// Sorting and saving a million drawn results through the offscreen main window: from the
// command to the idle state. The saved file is left for the script to sort with GNU sort.
//   ui_sort OUTPUT_FILE [COUNT]
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "records/DrawSeed.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
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

    kuji::test::ScriptedPlatform platform;
    kuji::SystemSeedSource seeds;
    kuji::HelpService help(platform);
    QTemporaryDir folder;
    kuji::FrmMain window(platform, seeds, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString(),
        folder.filePath(QStringLiteral("records")).toStdString());
    window.show();
    QApplication::processEvents();

    window.findChild<QLineEdit*>(QStringLiteral("txtSaisyo"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("txtSaidai"))->setText(count);
    window.findChild<QLineEdit*>(QStringLiteral("txtTyusen"))->setText(count);
    QEventLoop untilIdle;
    QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    window.findChild<QAction*>(QStringLiteral("mnuRunStart"))->trigger();
    if (window.longWork().isRunning())
        untilIdle.exec();
    QApplication::processEvents();

    // The sort runs to its end inside the command, with the wait cursor.
    QElapsedTimer timer;
    timer.start();
    window.findChild<QAction*>(QStringLiteral("mnuHensyuSortAsc2"))->trigger();
    QApplication::processEvents(); // and the list has been painted
    const double sortSeconds = timer.nsecsElapsed() / 1e9;

    platform.fileAnswers.push_back(output);
    timer.restart();
    window.findChild<QAction*>(QStringLiteral("mnuFileSave"))->trigger();
    const double saveSeconds = timer.nsecsElapsed() / 1e9;

    std::printf(
        "sort_seconds %.4f\nsave_seconds %.4f\nmessages %zu\n", sortSeconds, saveSeconds, platform.messages.size());
    return platform.messages.empty() ? 0 : 1;
}
