// One entry of 50 MB (a text file of one long line, as an unclosed quote makes of a CSV):
// opening it through the offscreen main window and drawing it once, from the command to the
// idle state each, with the lists painted.
//   ui_long_entry [MEGABYTES]
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "records/DrawSeed.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void runToIdle(kuji::FrmMain& window, const char* command)
{
    QEventLoop untilIdle;
    QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    window.findChild<QAction*>(QLatin1String(command))->trigger();
    if (window.longWork().isRunning())
        untilIdle.exec();
    QApplication::processEvents(); // and the list has been painted
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("one-line.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        const QByteArray block(1 << 20, 'x');
        for (qint64 i = 0; i < megabytes; ++i)
            file.write(block);
        file.write("\r\n");
    }

    kuji::test::ScriptedPlatform platform;
    kuji::SystemSeedSource seeds;
    kuji::HelpService help(platform);
    kuji::FrmMain window(platform, seeds, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString(),
        folder.filePath(QStringLiteral("records")).toStdString());
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("optYomikomi"))->click();
    QApplication::processEvents();

    platform.fileAnswers.push_back(path);
    QElapsedTimer timer;
    timer.start();
    runToIdle(window, "mnuFileOpen");
    const double openSeconds = timer.nsecsElapsed() / 1e9;

    window.findChild<QLineEdit*>(QStringLiteral("txtTyusen"))->setText(QStringLiteral("1"));
    timer.restart();
    runToIdle(window, "mnuRunStart");
    const double drawSeconds = timer.nsecsElapsed() / 1e9;

    std::printf("open_seconds %.4f\ndraw_seconds %.4f\ntotal_seconds %.4f\nmessages %zu\n", openSeconds, drawSeconds,
        openSeconds + drawSeconds, platform.messages.size());
    return platform.messages.empty() ? 0 : 1;
}
