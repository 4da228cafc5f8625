#pragma once

#include "common/ui/LongWork.h"

#include <QString>

namespace kuji {

// A window's side of the work its commands start: the long-work runner, and the busy state
// with a progress display (a status, a bar of some steps, and Stop) while work runs.
class WorkHost {
public:
    virtual ~WorkHost() = default;
    virtual LongWork& longWork() = 0;
    // Goes busy and shows the status with a bar of maximum steps.
    virtual void beginWork(const QString& status, qint64 maximum) = 0;
    virtual void setWorkProgress(qint64 value) = 0;
    // Back to the idle state.
    virtual void endWork() = 0;
};

// Runs the work of a command that is quick on a short list and long on a million rows. The
// first slice runs at once, under the wait cursor: work that ends within it is finished there,
// with no busy state and nothing shown, so a command on ten rows looks as it always did. Work
// that goes on becomes long work of the host: busy, with the status and task.progress moving
// the bar, and Stop ending it before its next slice (finished(true)). task.finished is called
// once either way. Without a host the work runs to its end at once. False when the host's
// runner is busy with other work; nothing is started then.
bool runCommandWork(WorkHost* host, const QString& status, qint64 maximum, LongWork::Task task);

// For tests: how long the first slice may run (two slices unless set); zero makes every
// command that is not done in its first few rows go on as long work.
void setCommandWorkAtOnce(std::chrono::milliseconds atOnce);

} // namespace kuji
