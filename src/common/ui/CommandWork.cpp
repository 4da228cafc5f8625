#include "common/ui/CommandWork.h"

#include "common/ui/WaitCursor.h"

namespace kuji {
namespace {

// What a command may take before it shows its progress: two slices, far below what a user
// notices as a pause.
std::chrono::milliseconds& atOnce()
{
    static std::chrono::milliseconds value = 2 * LongWork::kSlice;
    return value;
}

} // namespace

void setCommandWorkAtOnce(std::chrono::milliseconds value)
{
    atOnce() = value;
}

bool runCommandWork(WorkHost* host, const QString& status, qint64 maximum, LongWork::Task task)
{
    if (host && host->longWork().isRunning())
        return false;
    {
        WaitCursor wait;
        const bool done
            = host ? task.step(LongWork::Clock::now() + atOnce()) : task.step(LongWork::Clock::time_point::max());
        if (done) {
            if (task.finished)
                task.finished(false);
            return true;
        }
    }
    host->beginWork(status, maximum);
    if (task.progress)
        task.progress();
    LongWork::Task slices;
    slices.step = task.step;
    slices.progress = task.progress;
    slices.finished = [host, finished = std::move(task.finished)](bool stopped) {
        host->endWork();
        if (finished)
            finished(stopped);
    };
    return host->longWork().start(std::move(slices));
}

} // namespace kuji
