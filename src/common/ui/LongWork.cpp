#include "common/ui/LongWork.h"

namespace kuji {

LongWork::LongWork(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &LongWork::runSlice);
}

bool LongWork::start(Task task)
{
    if (m_running)
        return false;
    m_task = std::move(task);
    m_running = true;
    m_stopRequested = false;
    m_pauses = 0;
    m_timer.start();
    emit runningChanged(true);
    return true;
}

void LongWork::requestStop()
{
    if (m_running)
        m_stopRequested = true;
}

void LongWork::pause()
{
    if (m_running && m_pauses++ == 0)
        m_timer.stop();
}

void LongWork::resume()
{
    if (m_running && m_pauses > 0 && --m_pauses == 0)
        m_timer.start();
}

void LongWork::runSlice()
{
    // A slice that opens a window runs a nested event loop; the timer must not start a
    // second slice inside the first.
    if (m_inSlice || !m_running)
        return;
    if (m_stopRequested) {
        finish(true);
        return;
    }
    m_inSlice = true;
    const bool done = m_task.step(Clock::now() + kSlice);
    m_inSlice = false;
    if (m_task.progress)
        m_task.progress();
    if (done)
        finish(false);
    else if (m_stopRequested)
        finish(true);
}

void LongWork::finish(bool stopped)
{
    m_timer.stop();
    Task task = std::move(m_task);
    m_task = {};
    m_running = false;
    m_pauses = 0;
    emit runningChanged(false);
    if (task.finished)
        task.finished(stopped);
}

} // namespace kuji
