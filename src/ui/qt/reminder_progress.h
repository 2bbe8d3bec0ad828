#pragma once
// The program's reminder runner: each job runs on a worker thread while a
// modal dialog shows its step and percentage (it appears only when the job
// takes longer than a moment; until then the person's input waits). The
// dialog counts as an open modal of the host, so device notices wait for
// it as for any dialog; progress and the end of the job reach the event
// loop as queued calls.
#include "ui/logic/reminder/reminder_runner.h"

namespace velmora {

class QtHost;

class QtReminderRunner : public ReminderRunner {
public:
    explicit QtReminderRunner(QtHost& host) : host_(host) {}
    void run(LinkStep first, const Job& job) override;

    // A job shorter than this shows no dialog.
    static constexpr int kShowAfterMs = 250;

private:
    QtHost& host_;
};

}  // namespace velmora
