#include "ui/logic/reminder/reminder_runner.h"

#include <chrono>
#include <thread>

#include "resources/string_ids.h"

namespace velmora {

int linkStepTextId(LinkStep step) {
    switch (step) {
        case LinkStep::Identify: return ids::kStepIdentify;
        case LinkStep::ReadTable: return ids::kStepReadTable;
        case LinkStep::ReadLog: return ids::kStepReadLog;
        case LinkStep::ClearTable: return ids::kStepClearTable;
        case LinkStep::ClearLog: return ids::kStepClearLog;
        case LinkStep::WriteTable: return ids::kStepWriteTable;
        case LinkStep::WriteSettings: return ids::kStepWriteSettings;
        case LinkStep::Verify: return ids::kStepVerifyTable;
        case LinkStep::None:
        case LinkStep::NotConnected: break;
    }
    return 0;
}

void ThreadReminderRunner::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

std::function<void()> ThreadReminderRunner::next(std::unique_lock<std::mutex>& lock) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    return task;
}

void ThreadReminderRunner::run(LinkStep, const Job& job) {
    bool done = false;  // set by the last task the worker posts
    std::thread worker([&] {
        job([this](LinkStep step, int percent) {
            post([this, step, percent] {
                if (onProgress) onProgress(step, percent);
            });
        });
        post([&done] { done = true; });
    });
    while (!done) {
        std::unique_lock lock(mutex_);
        posted_.wait(lock, [this] { return !tasks_.empty(); });
        next(lock)();
    }
    worker.join();
}

int ThreadReminderRunner::runPosted(int timeoutMs) {
    std::unique_lock lock(mutex_);
    posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !tasks_.empty(); });
    int ran = 0;
    while (!tasks_.empty()) {
        next(lock)();
        ++ran;
        lock.lock();
    }
    return ran;
}

}  // namespace velmora
