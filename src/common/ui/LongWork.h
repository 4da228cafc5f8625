#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace kuji {

// Runs long work (a draw, a file read, a filter run, a transfer) in slices of about 15 ms
// from the event loop. Between two slices the window repaints and handles Stop, and a modal
// window opened meanwhile (help, the version window, a message box) does not hold the work
// up, because its own event loop runs the next slices too. The command that starts the work
// returns at once, so no handler is ever re-entered from inside itself.
//
// The work itself is a core object with step(deadline); the window hands it over as three
// functions: the step, what to show after each slice, and what to do at the end.
class LongWork final : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kSlice { 15 };

    struct Task {
        // Works until the deadline; returns true when the work is complete.
        std::function<bool(Clock::time_point deadline)> step;
        // After each slice: move the progress display.
        std::function<void()> progress;
        // Once, at the end: stopped is true when Stop ended the work before it was complete.
        std::function<void(bool stopped)> finished;
    };

    explicit LongWork(QObject* parent = nullptr);

    // Starts the work; the first slice runs from the event loop. False while other work runs.
    bool start(Task task);
    // Ends the work before its next slice.
    void requestStop();
    // While the work asks the user something (a dialog inside a slice), no slice may run:
    // pause before asking, resume after the answer.
    void pause();
    void resume();

    bool isRunning() const { return m_running; }
    bool stopRequested() const { return m_stopRequested; }

signals:
    void runningChanged(bool running);

private:
    void runSlice();
    void finish(bool stopped);

    QTimer m_timer;
    Task m_task;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_inSlice = false;
    int m_pauses = 0;
};

} // namespace kuji
