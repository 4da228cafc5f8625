#pragma once
// Timing helpers of the whole-command benchmarks.

#include "common/ui/LongWork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace kuji::bench {

// Presses Stop a few milliseconds into the first slice of the long work, where the bytes
// are read: the first tick of a zero-interval QTimer (the long-work runner's) after arm()
// marks that slice's start. The press comes from another thread, as a click comes from the
// window system whatever the program is doing, and times run from it, so the wait for the
// slice then running counts.
class StopInFirstSlice final : public QObject {
public:
    StopInFirstSlice(int afterMs, std::function<void()> stop)
        : m_afterMs(afterMs)
        , m_stop(std::move(stop))
    {
    }
    ~StopInFirstSlice() override
    {
        if (m_presser.joinable())
            m_presser.join();
    }
    void arm() { qApp->installEventFilter(this); }
    // From the press to the Stop handler.
    double waitMs() const { return m_waitMs; }
    // Since the press.
    double pressedAgoMs() const { return m_clock.nsecsElapsed() / 1e6 - m_afterMs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* timer = event->type() == QEvent::Timer ? qobject_cast<QTimer*>(watched) : nullptr;
        if (timer && timer->interval() == 0 && !m_clock.isValid()) {
            qApp->removeEventFilter(this);
            m_clock.start();
            m_presser = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(m_afterMs));
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_waitMs = pressedAgoMs();
                        m_stop();
                    },
                    Qt::QueuedConnection);
            });
        }
        return false;
    }

private:
    int m_afterMs;
    std::function<void()> m_stop;
    QElapsedTimer m_clock;
    std::thread m_presser;
    double m_waitMs = -1;
};

// The longest the event loop goes without a turn while it runs: what bounds how long a click
// on Stop waits.
class LoopGapMeter {
public:
    LoopGapMeter()
    {
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longestMs = std::max(m_longestMs, m_sinceTick.nsecsElapsed() / 1e6);
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_ticker.start();
    }
    double longestMs() const { return m_longestMs; }

private:
    QElapsedTimer m_sinceTick;
    QTimer m_ticker;
    double m_longestMs = 0;
};

// Runs the event loop until the long work is over.
inline void waitIdle(LongWork& work)
{
    if (!work.isRunning())
        return;
    QEventLoop untilIdle;
    QObject::connect(&work, &LongWork::runningChanged, &untilIdle, [&](bool running) {
        if (!running)
            untilIdle.quit();
    });
    untilIdle.exec();
}

// Runs the event loop until the long work (if any) is over, then for a few milliseconds more,
// so the window has painted, the gap meter has ticked after the command, and what the command
// let go of is freed and counts for it.
inline void settle(LongWork* work)
{
    if (work)
        waitIdle(*work);
    QElapsedTimer calm;
    calm.start();
    while (calm.elapsed() < 5) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The memory the process holds now (VmRSS), in megabytes.
inline double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

} // namespace kuji::bench
