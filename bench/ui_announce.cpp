// 発表 over a million results in the offscreen main window: opening it (the settings dialog
// and the big screen, each of which orders the results), then, reveal by reveal, the time from
// the key to the frame painted. Rolling is off, so each reveal
// shows its winner at once.
//   ui_announce [COUNT] [RECORD_FILE]
// Without a record file it draws COUNT numbers; with one (../shared/bench/make-records COUNT
// FILE) it draws COUNT of its records and shows column 2 masked.
#include "BenchWindow.h"
#include "announce/ui/FrmAnnounce.h"
#include "entries/ui/ResultListModel.h"

#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Counts the frames the winner's text was painted in.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, static_cast<std::size_t>(share * static_cast<double>(times.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString count = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("1000000");
    const QString records = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    kuji::bench::BenchWindow bench(false);
    if (records.isEmpty()) {
        bench.setBoxes(QStringLiteral("1"), count, count);
    } else {
        bench.child<QRadioButton>("optYomikomi")->click();
        bench.platform.fileAnswers.push_back(records);
        bench.trigger("mnuFileOpen");
        bench.child<QLineEdit>("txtTyusen")->setText(count);
    }
    bench.trigger("mnuRunStart");

    QElapsedTimer clock;
    double openMs = 0;
    std::vector<double> revealMs;
    std::vector<double> backMs;
    PaintCounter painted;
    int revealed = 0;
    bool visible = false;
    QSize size;
    bench.platform.modalAnswers.push_back([&](QDialog& settings) {
        settings.findChild<QDoubleSpinBox*>("spnRoll")->setValue(0);
        if (!records.isEmpty()) {
            settings.findChild<QLineEdit*>("txtColumns")->setText(QStringLiteral("2"));
            settings.findChild<QCheckBox*>("chkMask")->setChecked(true);
        }
        settings.accept();
        return settings.result();
    });
    bench.platform.modalAnswers.push_back([&](QDialog& big) {
        // The frame of a 1920 x 1080 projector, whatever the offscreen screen measures.
        big.setWindowState(Qt::WindowNoState);
        big.resize(1920, 1080);
        big.findChild<QWidget*>(QStringLiteral("lblWinner"))->installEventFilter(&painted);
        QApplication::setActiveWindow(&big);
        if (!QTest::qWaitForWindowExposed(&big))
            return int(QDialog::Rejected);
        big.repaint();
        openMs = clock.nsecsElapsed() / 1e6;
        const auto timed = [&](Qt::Key key, std::vector<double>& into) {
            QElapsedTimer frame;
            frame.start();
            // Press and release, through the shortcuts as a key from the desktop goes.
            QTest::keyClick(&big, key);
            big.repaint();
            into.push_back(frame.nsecsElapsed() / 1e6);
        };
        for (int i = 0; i < 2000; ++i)
            timed(Qt::Key_Space, revealMs);
        revealed = static_cast<kuji::FrmAnnounce&>(big).current() + 1;
        visible = big.isVisible();
        size = big.size();
        for (int i = 0; i < 500; ++i)
            timed(Qt::Key_Left, backMs);
        // The far end of the list and back again.
        timed(Qt::Key_End, revealMs);
        timed(Qt::Key_Home, revealMs);
        return int(QDialog::Accepted);
    });
    clock.start();
    bench.trigger("mnuToolAnnounce");

    std::printf("results %zu\nopen_ms %.1f\nreveals %zu\nreveal_median_ms %.3f\nreveal_p99_ms %.3f\n"
                "reveal_worst_ms %.3f\nback_median_ms %.3f\nback_worst_ms %.3f\nmessages %zu\n",
        bench.window.resultModel()->results().size(), openMs, revealMs.size(), percentile(revealMs, 0.5),
        percentile(revealMs, 0.99), percentile(revealMs, 1.0), percentile(backMs, 0.5), percentile(backMs, 1.0),
        bench.platform.messages.size());
    std::printf("revealed %d\nvisible %d\nwinner_paints %d\nwindow %dx%d\n", revealed, visible, painted.paints,
        size.width(), size.height());
    return bench.platform.messages.empty() && revealed == 2000 ? 0 : 1;
}
