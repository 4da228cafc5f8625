#pragma once

#include "common/RuntimeError.h"
#include "draw/DrawRun.h"

#include <QObject>

#include <functional>

namespace kuji {

class DrawRecording;
class MainWindowPort;
class Platform;
class RecordedDraw;
class ResultListModel;

// Start of the main window: the draw planned from the boxes, run as the window's long work
// with its progress, and its end: the results shown (none after Stop or when memory ran
// out; unchanged when a public draw is refused for its commitment), then its record written.
class DrawCommand final : public QObject {
    Q_OBJECT
public:
    // shown is called once the results of a completed draw are in the list and on screen.
    DrawCommand(MainWindowPort& window, ResultListModel& results, DrawRecording& recording, Platform& platform,
        std::function<void()> shown, QObject* parent = nullptr);

    void start();
    // Told of every completed draw once its results are shown, before its record is written.
    void setCompletedListener(std::function<void(const RecordedDraw&)> listener) { m_completed = std::move(listener); }
    // For tests: caps the memory a draw may reserve, as if memory ran out beyond it.
    void setMemoryLimit(std::size_t bytes) { m_memoryLimit = bytes; }

private:
    struct Draw;
    void finish(Draw& draw, bool stopped);

    MainWindowPort& m_window;
    ResultListModel& m_results;
    DrawRecording& m_recording;
    Platform& m_platform;
    std::function<void()> m_shown;
    std::function<void(const RecordedDraw&)> m_completed;
    RuntimeError m_runtimeError;
    std::size_t m_memoryLimit = DrawRun::kNoMemoryLimit;
};

} // namespace kuji
