#pragma once
// The flows the program installs into its main window: one plain object per
// flow (alarm editing, the reminder, ...), each receiving only what it
// needs; this class routes the main window's requests to them.
#include <memory>

#include "ui/logic/account/account_flow.h"
#include "ui/logic/calendar/alarm_edit_flow.h"
#include "ui/logic/account/backup_flow.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/pouch/pouch_flow.h"
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
    // and removal notices (which the program hands to deviceEvent); the
    // reminder's jobs run through `runner` (none: on the calling thread).
    void useReminder(UsbTransport& transport, const Clock& clock, ReminderFlow::WatchStarter startWatch,
                     ReminderRunner* runner = nullptr);
    // An arrival (true) or removal notice, on the user-interface thread.
    void deviceEvent(MainDlgLogic& main, bool arrived);
    // The last modal dialog closed: handle a held-back device event.
    void modalsClosed(MainDlgLogic& main);
    ReminderSession* reminderSession() { return session_.get(); }
    // The web account, its dialogs and the web links, and where the service
    // is for every flow that talks to it. Drops the main window's pending
    // pouch request (its client belongs to the earlier setup).
    void useAccount(AccountFlow::Setup setup);
    // The window is going: no service notice may reach it any more.
    void endServiceRequests() { pouch_.reset(); }

    void startDeviceWatch(MainDlgLogic& main) override;
    void programmingJob(MainDlgLogic& main) override;
    void emptyReminder(MainDlgLogic& main) override;
    void ownerlessReminder(MainDlgLogic& main) override;
    void storeReadBackForChosenUser(MainDlgLogic& main) override;
    void printAlarmReport(MainDlgLogic& main) override;
    void userManual(MainDlgLogic& main) override;  // 40016

    // ---- Backup (40004) ----
    void backup(MainDlgLogic& main) override;
    // ---- Pouch data (32882, 40400, 40401, user management's lookup) ----
    void serviceReply(MainDlgLogic& main) override { pouch_.reply(main); }
    void fetchPouchData(MainDlgLogic& main) override;
    void updateAllPouchData(MainDlgLogic& main) override;
    ServiceAccess serviceAccess(MainDlgLogic& main) override;

    // ---- The web account (32884 sign-in, 40011, 40014, 40016, 40009, 40007) ----
    bool signIn(MainDlgLogic& main, int& exitCode) override;
    int runAccountDialog(MainDlgLogic& main) override;
    void changePassword(MainDlgLogic& main) override;
    void checkUpdates(MainDlgLogic& main) override;
    void registration(MainDlgLogic& main) override;

    // ---- Alarm editing (32877, 32879, 32878) ----
    void addAlarm(MainDlgLogic& main, const SYSTEMTIME& start) override {
        alarmEdit_.add(alarmEditContext(main), start);
    }
    void editAlarm(MainDlgLogic& main, const SYSTEMTIME& occurrence, const Alarm& alarm) override {
        alarmEdit_.edit(alarmEditContext(main), occurrence, alarm);
    }
    void deleteAlarm(MainDlgLogic& main, const SYSTEMTIME& occurrence, const Alarm& alarm) override {
        alarmEdit_.remove(alarmEditContext(main), occurrence, alarm);
    }

private:
    std::unique_ptr<ReminderSession> session_;
    std::unique_ptr<ReminderFlow> reminder_;
    std::unique_ptr<ProgrammingJob> job_;
    std::unique_ptr<AccountFlow> account_;
    // The alarm editing works with the panel's medication window when the
    // reminder alarms only if the intake is forgotten, else with 600 s.
    AlarmEditContext alarmEditContext(MainDlgLogic& main) {
        const int window = main.panelProgramType() == 1 ? main.panelWindowSeconds() : 600;
        return {main.store(), main.host(), main.strings(), main.clock(), main.user(), window,
                [this, &main] {
                    main.programmingStateChanged(main.user().window);
                    main.markMonthStale();
                    main.refresh();
                }};
    }
    AlarmEditFlow alarmEdit_;
    BackupFlow backup_;
    PouchFlow pouch_;
};

}  // namespace velmora
