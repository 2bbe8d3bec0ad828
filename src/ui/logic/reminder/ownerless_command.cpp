#include "ui/logic/reminder/ownerless_command.h"

#include "core/schedule.h"
#include "device/log_decode.h"
#include "resources/string_ids.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/reminder/arrival_command.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"

namespace velmora {

void OwnerlessCommand::start() {
    ReminderSession& s = c_.session;
    if (s.ownerlessDlg) return;
    SelectActionDlgLogic dlg(c_.strings);
    s.ownerlessDlg = &dlg;
    c_.window.setBusy(false);
    const int result = c_.host.runDialog(dlg);
    s.ownerlessDlg = nullptr;
    if (s.connected()) {  // else removed while the question was open
        if (result == SelectActionDlgLogic::kIdCreateOrChoose && chooseUser) chooseUser();
        else if (result == SelectActionDlgLogic::kIdProgramWithoutUser) programWithoutUser();
    }
    finish();
}

void OwnerlessCommand::cancel() {
    if (c_.session.ownerlessDlg) c_.session.ownerlessDlg->end(kIdCancel);
}

void OwnerlessCommand::programWithoutUser() {
    ReminderSession& s = c_.session;
    c_.window.setBusy(true);
    if (!readReminder(c_)) {
        c_.window.setBusy(false);
        return;
    }
    CurrentUser& user = c_.user;
    const SYSTEMTIME nowTime = c_.clock.localNow();
    const TimeValue now = toTimeValue(nowTime);
    Profile p;
    p.name = c_.strings.load(ids::kNoUserName);
    p.window = static_cast<int>(s.reminderWindow());
    p.program_type = p.window != 600 ? 1 : 0;
    for (TimeValue t : s.readBack.instants()) {
        if (static_cast<std::uint32_t>(t) < static_cast<std::uint32_t>(now)) continue;
        Alarm a;
        a.alarm_start = a.alarm_end = fromTimeValue(t);
        a.repeat_pattern = 0;
        p.alarms.push_back(a);
    }
    for (const LogEntry& e : toLogEntries(s.readBack.log_entries)) p.history[e.alarm_time] = e;
    user.setProfile(p);
    c_.window.setNoUserProfile(true);
    const Horizon h = scheduleHorizon(p.alarms, nowTime);
    DeviceRecord record;
    record.sn = s.serial();
    record.device_type = DeviceRecord::kOwn;
    record.programming_time = s.readBack.programming_time;
    record.last_alarm = h.kind == Horizon::kEnds ? toTimeValue(h.bound) : 0;
    record.alarm_amount = static_cast<int>(s.readBack.instants().size());
    c_.store.saveDevice(record, user.id);
    // What this reminder holds, not what the previous user's was given.
    rememberProgrammed(user, s.readBack.instants(), p.window);
    user.is_programming_needed = needsProgramming(c_.store, user, user.window, now);
    s.logSafe = true;  // the person chose to go on without a user
    c_.window.setBusy(false);
    c_.window.usersChanged();
}

void StoreForChosenUserCommand::start() {
    const int owner = c_.store.getDeviceOwner(c_.session.serial());
    // Another person's reminder: its acknowledgements are its owner's,
    // stored when it arrived, and stay on it; nothing to store or to say.
    if (enabled() && (owner < 1 || owner == c_.user.id)) storeLog(c_, owner, false);
    finish();
}

}  // namespace velmora
