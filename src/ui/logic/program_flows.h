#pragma once
// The reminder's flows as the program installs them into its main window
// (MainDlgFlows): attachment, programming and emptying on one session.
#include <memory>

#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/programming_job.h"
#include "ui/logic/reminder/reminder_flow.h"
#include "ui/logic/reminder/reminder_session.h"

namespace velmora {

class ProgramFlows : public MainDlgFlows {
public:
    ProgramFlows() = default;
    ProgramFlows(const ProgramFlows&) = delete;
    ProgramFlows& operator=(const ProgramFlows&) = delete;

    // The reminder flows on `transport`; `startWatch` starts its arrival
    // and removal notices (which the program hands to deviceEvent).
    void useReminder(UsbTransport& transport, const Clock& clock, ReminderFlow::WatchStarter startWatch);
    // An arrival (true) or removal notice, on the user-interface thread.
    void deviceEvent(MainDlgLogic& main, bool arrived);
    // The last modal dialog closed: handle a held-back device event.
    void modalsClosed(MainDlgLogic& main);
    ReminderSession* reminderSession() { return session_.get(); }

    void startDeviceWatch(MainDlgLogic& main) override;
    void programmingJob(MainDlgLogic& main) override;
    void emptyReminder(MainDlgLogic& main) override;
    void ownerlessReminder(MainDlgLogic& main) override;
    void storeReadBackForChosenUser(MainDlgLogic& main) override;

private:
    std::unique_ptr<ReminderSession> session_;
    std::unique_ptr<ReminderFlow> reminder_;
    std::unique_ptr<ProgrammingJob> job_;
};

}  // namespace velmora
