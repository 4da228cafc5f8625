// The whole 印刷 command in the offscreen main window: COUNT numbered results (100,000 by
// default) printed to "PDF に出力" through the print dialog, timed from 印刷 until the dialog
// has closed; then the pages of the PDF as pdfinfo counts them and the process's peak memory.
//   ui_print [COUNT]
#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString count = QApplication::arguments().value(1, QStringLiteral("100000"));

    kuji::test::ScriptedPlatform platform;
    kuji::RandomSource random = kuji::RandomSource::fromEntropy();
    kuji::HelpService help(platform);
    QTemporaryDir folder;
    kuji::FrmMain window(platform, random, help, folder.filePath(QStringLiteral("kujitan.ini")).toStdString());
    window.show();
    QApplication::processEvents();

    // The results: every number from 1 to COUNT once.
    window.findChild<QLineEdit*>(QStringLiteral("txtSaisyo"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("txtSaidai"))->setText(count);
    window.findChild<QLineEdit*>(QStringLiteral("txtTyusen"))->setText(count);
    window.findChild<QCheckBox*>(QStringLiteral("chkDaburi"))->setChecked(true);
    QEventLoop untilIdle;
    QObject::connect(&window.longWork(), &kuji::LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    window.findChild<QAction*>(QStringLiteral("mnuRunStart"))->trigger();
    if (window.longWork().isRunning())
        untilIdle.exec();

    const QString pdf = folder.filePath(QStringLiteral("results.pdf"));
    platform.fileAnswers.push_back(pdf);
    platform.modalAnswers.push_back([](QDialog& dialog) {
        QEventLoop untilClosed;
        QObject::connect(&dialog, &QDialog::finished, &untilClosed, &QEventLoop::quit);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPrintStart"))->click();
        if (dialog.isVisible())
            untilClosed.exec();
        return dialog.result();
    });
    QElapsedTimer timer;
    timer.start();
    window.findChild<QAction*>(QStringLiteral("mnuFilePrint"))->trigger();
    const double seconds = timer.nsecsElapsed() / 1e9;

    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), { pdf });
    pdfinfo.waitForFinished(60000);
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("results %s\nprint_to_closed_seconds %.3f\npages %s\npdf_mb %.1f\npeak_rss_mb %.1f\nmessages %zu\n",
        qPrintable(count), seconds, qPrintable(pages.captured(1)), QFileInfo(pdf).size() / 1048576.0,
        usage.ru_maxrss / 1024.0, platform.messages.size());
    return platform.messages.empty() && pages.hasMatch() ? 0 : 1;
}
