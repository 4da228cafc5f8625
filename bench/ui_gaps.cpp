// Every command at a million rows, in the offscreen windows: for each, the time from the
// command to the idle state (the window painted), and the longest gap between two turns of the
// event loop meanwhile, which is how long a click or a repaint waits at worst.
//   ui_gaps RECORDS_FILE [RECORD_OUT]
// RECORDS_FILE is a CSV of 1,000,000 records (../shared/bench/make-records). With RECORD_OUT,
// the record of the million-value draw is copied there, for timing --verify from the shell.
// Prints one line per command: "name seconds longest_gap_ms".
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "app/ui/DrawRecording.h"
#include "common/ui/EntryListModel.h"
#include "entries/ui/ResultListModel.h"
#include "newstring/ui/FrmNewString.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "records/RecordStore.h"
#include "records/ui/FrmRecords.h"

#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <cstdio>

namespace {

using kuji::LongWork;
using kuji::bench::settle;

// Times one command, started by run, until work (if any) is idle.
template <typename Run> void measure(const char* name, LongWork* work, Run&& run)
{
    const kuji::bench::LoopGapMeter gaps;
    QElapsedTimer timer;
    timer.start();
    run();
    settle(work);
    std::printf("%-28s %9.3f %9.1f\n", name, timer.nsecsElapsed() / 1e9, gaps.longestMs());
    std::fflush(stdout);
}

void selectFirstRows(QTableView* view, int rows)
{
    QAbstractItemModel* model = view->model();
    view->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(rows - 1, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_gaps RECORDS_FILE [RECORD_OUT]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString records = QString::fromLocal8Bit(argv[1]);
    const QString recordOut = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    kuji::bench::BenchWindow bench;
    kuji::FrmMain& window = bench.window;
    LongWork* main = &window.longWork();
    std::printf("%-28s %9s %9s\n", "command", "seconds", "gap_ms");

    // The main window in file mode: the records file read as entries.
    bench.child<QRadioButton>("optYomikomi")->click();
    bench.platform.fileAnswers.push_back(records);
    measure("main: read", main, [&] { bench.child<QAction>("mnuFileOpen")->trigger(); });

    // A million-value number draw, and the result-list commands on its rows.
    bench.child<QRadioButton>("optSuji")->click();
    bench.setBoxes(QStringLiteral("1"), QStringLiteral("1000000"), QStringLiteral("1000000"));
    bench.child<QCheckBox>("chkDaburi")->setChecked(true);
    measure("main: Start", main, [&] { bench.child<QAction>("mnuRunStart")->trigger(); });
    const std::vector<std::string> kept = kuji::RecordStore(bench.folder.filePath("records").toStdString()).list();
    if (!recordOut.isEmpty() && !kept.empty())
        QFile::copy(QString::fromStdString(kept.front()), recordOut);

    // 再現確認 of that draw in the records window.
    window.drawRecording().openWindow();
    kuji::FrmRecords* recordsWindow = window.drawRecording().recordsWindow();
    measure(
        "records: verify", main, [&] { recordsWindow->findChild<QPushButton*>(QStringLiteral("cmdVerify"))->click(); });
    recordsWindow->close();

    measure("main: sort ascending", main, [&] { bench.child<QAction>("mnuHensyuSortAsc2")->trigger(); });
    measure("main: sort descending", main, [&] { bench.child<QAction>("mnuHensyuSortDesc")->trigger(); });
    measure("main: sort draw order", main, [&] { bench.child<QAction>("mnuHensyuSortAsc1")->trigger(); });
    measure("main: select all", main, [&] { bench.child<QAction>("mnuHensyuAllSelect")->trigger(); });
    measure("main: copy", main, [&] { bench.child<QAction>("mnuHensyuCopy")->trigger(); });
    bench.platform.fileAnswers.push_back(bench.folder.filePath(QStringLiteral("results.csv")));
    measure("main: save", main, [&] { bench.child<QAction>("mnuFileSave")->trigger(); });

    int pdfs = 0;
    const auto printToPdf = [&](const char* name) {
        // A new file each time: replacing one would ask first.
        bench.platform.fileAnswers.push_back(bench.folder.filePath(QStringLiteral("results-%1.pdf").arg(++pdfs)));
        bench.platform.modalAnswers.push_back([](QDialog& dialog) {
            QEventLoop untilClosed;
            QObject::connect(&dialog, &QDialog::finished, &untilClosed, &QEventLoop::quit);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdPrintStart"))->click();
            if (dialog.isVisible())
                untilClosed.exec();
            return dialog.result();
        });
        measure(name, main, [&] { bench.child<QAction>("mnuFilePrint")->trigger(); });
    };
    printToPdf("main: print 1,000,000");
    selectFirstRows(bench.child<QTableView>("lvwKekka"), 500000);
    measure("main: delete half", main, [&] { bench.child<QAction>("mnuHensyuDelete")->trigger(); });
    selectFirstRows(bench.child<QTableView>("lvwKekka"), 400000);
    measure("main: delete to 100,000", main, [&] { bench.child<QAction>("mnuHensyuDelete")->trigger(); });
    printToPdf("main: print 100,000");

    // Pickup Record: the same file loaded, filtered by four conditions, the result sent.
    kuji::FrmPickupRecord* tool = bench.openPickupRecord();
    LongWork* pickup = &tool->longWork();
    settle(pickup);
    measure("pickup: load", pickup, [&] { tool->readRecordFile(records); });
    // Keeps most records, so the transfer has a million-row order of work to do.
    bench.addCondition(tool, "OutOR", "1", "zzz");
    measure("pickup: filter run", pickup, [&] { tool->findChild<QAction*>(QStringLiteral("mnuRunStart"))->trigger(); });
    measure("pickup: transfer", main, [&] { tool->findChild<QAction*>(QStringLiteral("mnuSend"))->trigger(); });
    tool->close();
    settle(nullptr);

    // A draw from the transferred list: its record keeps a copy of the million entries,
    // written after the results are shown.
    bench.child<QLineEdit>("txtTyusen")->setText(QStringLiteral("10"));
    measure("main: Start, record + copy", main, [&] {
        bench.child<QAction>("mnuRunStart")->trigger();
        settle(main);
        while (window.drawRecording().isWriting())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    });

    // 文字列作成: the records file opened as text, sent, and saved.
    bench.platform.modalAnswers.push_back([&](QDialog& dialog) {
        auto& newString = static_cast<kuji::FrmNewString&>(dialog);
        settle(nullptr);
        bench.platform.fileAnswers.push_back(records);
        LongWork* own = &newString.longWork();
        measure(
            "newstring: open", own, [&] { newString.findChild<QAction*>(QStringLiteral("mnuFileOpen"))->trigger(); });
        measure(
            "newstring: transfer", main, [&] { newString.findChild<QAction*>(QStringLiteral("mnuSend"))->trigger(); });
        bench.platform.fileAnswers.push_back(bench.folder.filePath(QStringLiteral("strings.txt")));
        measure(
            "newstring: save", own, [&] { newString.findChild<QAction*>(QStringLiteral("mnuFileSave"))->trigger(); });
        return int(QDialog::Accepted);
    });
    bench.child<QAction>("mnuToolNewString")->trigger();
    settle(main);
    for (const auto& m : bench.platform.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.request.text));
    return 0;
}
