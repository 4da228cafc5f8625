#pragma once
// The Stop options the whole-command benchmarks share, and the measures they take:
//   --stop          Stop is pressed a fixed delay after the command (each benchmark picks it);
//   --stop-early    Stop is pressed 5 ms into the first slice, while the bytes are read;
//   --stop-after MS Stop is pressed MS milliseconds after the command.
// Each gives the time from the press to the idle state; --stop-early also the wait from the
// press to the Stop handler.

#include "BenchTiming.h"
#include "common/ui/LongWork.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace kuji::bench {

struct StopOptions {
    bool atDelay = false; // --stop
    bool early = false; // --stop-early
    int afterMs = -1; // --stop-after MS, or the delay of --stop

    // Takes the options out of args, leaving the benchmark's own.
    static StopOptions take(QStringList& args, int stopDelayMs)
    {
        StopOptions options;
        options.atDelay = args.removeAll(QStringLiteral("--stop")) > 0;
        options.early = args.removeAll(QStringLiteral("--stop-early")) > 0;
        const int after = args.indexOf(QStringLiteral("--stop-after"));
        if (after >= 0) {
            options.afterMs = args.value(after + 1).toInt();
            args.remove(after, std::min<qsizetype>(2, args.size() - after));
        } else if (options.atDelay) {
            options.afterMs = stopDelayMs;
        }
        return options;
    }
    bool any() const { return afterMs >= 0 || early; }
};

// Presses Stop as the options say once arm() is called just before the command, and times it.
class StopMeasure {
public:
    StopMeasure(const StopOptions& options, LongWork& work, QObject* context, std::function<void()> pressStop)
        : m_options(options)
        , m_context(context)
        , m_press(pressStop)
        , m_early(5, pressStop)
    {
        QObject::connect(&work, &LongWork::runningChanged, context, [this](bool running) {
            if (running)
                return;
            if (m_sincePress.isValid() && m_toIdleMs < 0)
                m_toIdleMs = m_sincePress.nsecsElapsed() / 1e6;
            if (m_options.early && m_toIdleMs < 0)
                m_toIdleMs = m_early.pressedAgoMs();
        });
    }

    void arm()
    {
        if (m_options.afterMs >= 0)
            QTimer::singleShot(m_options.afterMs, m_context, [this] {
                m_sincePress.start();
                m_press();
            });
        if (m_options.early)
            m_early.arm();
    }

    void print() const
    {
        if (!m_options.any())
            return;
        if (m_options.early)
            std::printf("stop_wait_ms %.1f\n", m_early.waitMs());
        std::printf("stop_to_idle_ms %.1f\n", m_toIdleMs);
    }

private:
    StopOptions m_options;
    QObject* m_context;
    std::function<void()> m_press;
    StopInFirstSlice m_early;
    QElapsedTimer m_sincePress;
    double m_toIdleMs = -1;
};

} // namespace kuji::bench
