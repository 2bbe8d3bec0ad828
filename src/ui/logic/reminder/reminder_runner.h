#pragma once
// Where the reminder's jobs run: each job runs on a worker thread, which
// owns the link until the job returns, while the user-interface thread
// waits for it and goes on handling its own events (progress, device
// notices). The program's runner shows the progress in a modal dialog;
// ThreadReminderRunner is the display-free one.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "device/link_progress.h"

namespace velmora {

// The string id that names `step` (0 for None and NotConnected).
int linkStepTextId(LinkStep step);

class ReminderRunner {
public:
    // Reports of the job's progress; called on the worker thread.
    using Progress = LinkProgress::Report;
    using Job = std::function<void(const Progress& progress)>;

    virtual ~ReminderRunner() = default;
    // Runs `job` on a worker thread, its first step being `first`, and
    // returns once it returned.
    virtual void run(LinkStep first, const Job& job) = 0;
};

// Runs each job on a std::thread and waits for it, running meanwhile the
// tasks posted to it (progress, and device notices handed over by post)
// on the waiting thread, one at a time in the order they came.
class ThreadReminderRunner : public ReminderRunner {
public:
    void run(LinkStep first, const Job& job) override;
    // From any thread: `task` runs on the thread that waits in run, or in
    // runPosted.
    void post(std::function<void()> task);
    // Waits until a task was posted or `timeoutMs` passed, then runs the
    // tasks posted so far; how many ran.
    int runPosted(int timeoutMs);

    // Told of each progress report, on the waiting thread.
    std::function<void(LinkStep step, int percent)> onProgress;

private:
    std::function<void()> next(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;  // guarded by mutex_
};

}  // namespace velmora
