// The string window with a big text, offscreen: opening FILE into the editor, transferring it
// to the main window, saving it, gathering its lines for the print dialog, widening the
// window, an open over it stopped after a moment and one left to its end, and pasting 20 MB
// of its text into an empty editor. For each: the time from the command to the idle state (the window painted),
// the longest gap between two turns of the event loop meanwhile (how long a click or a
// repaint waits at worst) and the peak memory of the process while it ran. Last, what Qt's
// text document alone takes for the file's text (setPlainText on a document of no window,
// the text already decoded): the floor of any open into the editor.
//   ui_newstring FILE
// Prints "name seconds gap_ms peak_mb" lines, then the lines and entries it saw.
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "common/FileReading.h"
#include "common/TextCodec.h"
#include "common/ui/EntryListModel.h"
#include "newstring/ui/FrmNewString.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

using kuji::LongWork;
using kuji::bench::settle;

// The peak memory of the process, from /proc, and its reset to what is in use now.
double peakMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

template <typename Run> void measure(const char* name, LongWork* work, Run&& run)
{
    settle(nullptr);
    // Memory freed before counts for nothing: the peak is the command's own.
    malloc_trim(0);
    resetPeak();
    const kuji::bench::LoopGapMeter gaps;
    QElapsedTimer timer;
    timer.start();
    run();
    settle(work);
    std::printf("%-10s %9.4f %9.1f %9.1f\n", name, timer.nsecsElapsed() / 1e9, gaps.longestMs(), peakMb());
    std::fflush(stdout);
}

std::string fileText(const QString& path)
{
    kuji::text::Decoded decoded;
    kuji::ErrorInfo error;
    kuji::readTextFile(path.toStdString(), decoded, error);
    return std::move(decoded.utf8);
}

// About 20 MB of the file's text, whole lines, as another program would put it on the
// clipboard.
QString pasteText(const QString& path)
{
    const std::string whole = fileText(path);
    const std::string_view text(whole);
    const std::size_t end = text.find('\n', std::min<std::size_t>(text.size(), 20u << 20));
    return QString::fromUtf8(text.substr(0, end == std::string_view::npos ? text.size() : end + 1));
}

} // namespace

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
    const QString empty = bench.folder.filePath(QStringLiteral("empty.txt"));
    QFile(empty).open(QIODevice::WriteOnly);

    long long lines = 0;
    long long pastedLines = 0;
    std::printf("%-10s %9s %9s %9s\n", "command", "seconds", "gap_ms", "peak_mb");
    bench.platform.modalAnswers.push_back([&](QDialog& dialog) {
        auto& newString = static_cast<kuji::FrmNewString&>(dialog);
        auto* editor = newString.findChild<QPlainTextEdit*>(QStringLiteral("rtbNewString"));
        const auto command = [&](const char* name) { newString.findChild<QAction*>(QLatin1String(name))->trigger(); };
        LongWork* own = &newString.longWork();
        settle(nullptr);

        bench.platform.fileAnswers.push_back(path);
        measure("open", own, [&] { command("mnuFileOpen"); });
        lines = editor->blockCount();
        measure("transfer", &bench.window.longWork(), [&] { command("mnuSend"); });
        bench.platform.fileAnswers.push_back(bench.folder.filePath(QStringLiteral("strings.txt")));
        measure("save", own, [&] { command("mnuFileSave"); });
        // The print dialog is answered at once; the lines are gathered all the same.
        measure("print", own, [&] { command("mnuFilePrint"); });
        measure("resize", nullptr, [&] { newString.resize(newString.width() + 120, newString.height()); });
        // Stopped a moment into an open over the million lines: they come back.
        measure("stop-open", own, [&] {
            bench.platform.fileAnswers.push_back(path);
            command("mnuFileOpen");
            QTimer::singleShot(500, [&] { newString.findChild<QPushButton*>(QStringLiteral("cmdStop"))->click(); });
        });
        // An open to its end over the million lines, which then go.
        bench.platform.fileAnswers.push_back(path);
        measure("open-over", own, [&] { command("mnuFileOpen"); });

        // An empty file empties the editor; then the paste goes in.
        newString.readFile(empty);
        settle(own);
        QApplication::clipboard()->setText(pasteText(path));
        measure("paste", own, [&] { editor->paste(); });
        pastedLines = editor->blockCount();
        return int(QDialog::Accepted);
    });
    bench.child<QAction>("mnuToolNewString")->trigger();

    {
        const QString text = QString::fromStdString(fileText(path));
        measure("qt-floor", nullptr, [&] {
            QTextDocument document;
            document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
            document.setPlainText(text);
        });
    }

    std::printf("lines %lld\nentries %lld\npasted_lines %lld\n", lines,
        static_cast<long long>(bench.window.workModel()->rowCount()), pastedLines);
    for (const auto& m : bench.platform.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.request.text));
    return 0;
}
