#include "app/ui/DrawCommand.h"

#include "app/ui/DrawRecording.h"
#include "common/ui/LongWork.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "draw/DrawPlan.h"
#include "entries/ui/ResultListModel.h"
#include "records/RecordedDraw.h"

namespace kuji {

// One draw: the run and the list it fills, kept together until the run ends.
struct DrawCommand::Draw {
    ResultList results;
    std::unique_ptr<RecordedDraw> run;
};

DrawCommand::DrawCommand(MainWindowPort& window, ResultListModel& results, DrawRecording& recording, Platform& platform,
    std::function<void()> shown, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_results(results)
    , m_recording(recording)
    , m_platform(platform)
    , m_shown(std::move(shown))
{
}

void DrawCommand::start()
{
    if (m_window.longWork().isRunning())
        return;
    const MainWindowPort::DrawBoxes boxes = m_window.drawBoxes();
    PlannedDraw planned = planFromBoxes({ m_window.isFileMode(), boxes.noDuplicates, boxes.first.toStdString(),
                                            boxes.second.toStdString(), boxes.count.toStdString() },
        m_window.workList());
    if (planned.validation.code != 0) {
        m_platform.showError(m_window.mainWidget(), QString::fromStdString(planned.validation.message));
        m_window.setCommandState(true);
        return;
    }
    try {
        m_recording.completePlan(planned.plan, m_window.currentEntryFile());
    } catch (const std::exception& error) {
        // The system gave no seed: no draw at all rather than a predictable one.
        m_runtimeError.setFromException(error);
        m_window.setCommandState(true);
        myShowRuntimeError(m_platform, m_window.mainWidget(), m_runtimeError);
        return;
    }

    m_window.setCommandState(false);
    auto draw = std::make_shared<Draw>();
    draw->run = std::make_unique<RecordedDraw>(std::move(planned.plan), draw->results, m_memoryLimit);
    ProgressPanel& progress = m_window.progressPanel();
    progress.begin(QStringLiteral("抽選中..."), draw->run->total(), true);

    LongWork::Task task;
    task.step = [draw](LongWork::Clock::time_point deadline) { return draw->run->step(deadline); };
    task.progress = [&progress, draw] { progress.setProgress(draw->run->drawn()); };
    task.finished = [this, draw](bool stopped) { finish(*draw, stopped); };
    m_window.longWork().start(std::move(task));
}

void DrawCommand::finish(Draw& draw, bool stopped)
{
    const bool refused = draw.run->refused();
    // A stopped run, or one that ran out of memory, leaves no results and no record; each run
    // replaces all earlier results. A public draw refused for its commitment draws nothing and
    // changes nothing.
    const bool failed = draw.run->failed();
    if (failed)
        m_runtimeError.set(draw.run->error().number, draw.run->error().description);
    const bool completed = !stopped && !failed && !refused;
    if (completed)
        m_results.change([&draw](ResultList& list) { list = std::move(draw.results); });
    else if (!refused)
        m_results.clear();
    m_window.progressPanel().end();
    if (completed)
        m_shown();
    m_window.setCommandState(true);
    m_window.refreshStartAvailability();
    if (m_runtimeError.isPending())
        myShowRuntimeError(m_platform, m_window.mainWidget(), m_runtimeError);
    if (refused) {
        QString text = QStringLiteral("Error:予告と違う設定やエントリーでは、公開値を使う抽選はできません｡");
        for (const std::string& difference : draw.run->refusal())
            text += QStringLiteral("\r\n       ") + QString::fromStdString(difference);
        m_platform.showError(m_window.mainWidget(), text);
    }
    // The record is written once the results are shown, so nothing about it can cost the draw.
    if (completed && m_completed)
        m_completed(*draw.run);
    if (completed)
        m_recording.drawCompleted(*draw.run);
    draw.run.reset();
}

} // namespace kuji
