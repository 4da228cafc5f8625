// The whole 印刷 command in the offscreen main window: COUNT numbered results (100,000 by
// default) printed to "PDF に出力" through the print dialog, timed from 印刷 until the dialog
// has closed; then the pages of the PDF as pdfinfo counts them and the process's peak memory.
//   ui_print [COUNT]
#include "BenchWindow.h"

#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString count = QApplication::arguments().value(1, QStringLiteral("100000"));

    kuji::bench::BenchWindow bench;
    // The results: every number from 1 to COUNT once.
    bench.setBoxes(QStringLiteral("1"), count, count);
    bench.child<QCheckBox>("chkDaburi")->setChecked(true);
    bench.trigger("mnuRunStart");

    const QString pdf = bench.folder.filePath(QStringLiteral("results.pdf"));
    bench.platform.fileAnswers.push_back(pdf);
    bench.platform.modalAnswers.push_back([](QDialog& dialog) {
        QEventLoop untilClosed;
        QObject::connect(&dialog, &QDialog::finished, &untilClosed, &QEventLoop::quit);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPrintStart"))->click();
        if (dialog.isVisible())
            untilClosed.exec();
        return dialog.result();
    });
    QElapsedTimer timer;
    timer.start();
    bench.trigger("mnuFilePrint");
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
        usage.ru_maxrss / 1024.0, bench.platform.messages.size());
    return bench.platform.messages.empty() && pages.hasMatch() ? 0 : 1;
}
