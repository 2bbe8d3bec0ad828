#include "ui/logic/reminder/reminder_flow.h"

#include "core/schedule.h"
#include "device/alarm_rules.h"
#include "device/log_readback.h"
#include "resources/string_ids.h"
#include "ui/logic/reminder/reminder_steps.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"

namespace velmora {

namespace {
void error(MainDlgLogic& main, int textId, MessageIcon icon = MessageIcon::Error) {
    main.host().showMessage(main.strings().load(textId), main.strings().load(ids::kCaptionError), icon);
}
}  // namespace

void ReminderFlow::startDeviceWatch(MainDlgLogic& main) {
    s_.setProgrammingTable(&main.user().alarm_table);
    if (startWatch_ && startWatch_()) return;  // an attached reminder comes as an arrival
    if (s_.open()) onArrival(main);
    else onRemoval(main);
}

bool ReminderFlow::heldBack(MainDlgLogic& main) const {
    return s_.jobActive || main.host().modalDepth() > 0;
}

void ReminderFlow::deviceEvent(MainDlgLogic& main, bool arrived) {
    s_.setProgrammingTable(&main.user().alarm_table);
    if (arrived && s_.spareWait) {
        spareArrived(main);
        return;
    }
    if (!arrived) {
        // The link is gone now: a pass in progress fails, nothing more is
        // read, and the dialog about an ownerless reminder ends.
        s_.disconnect();
        main.setReminderConnected(false);
        if (s_.ownerlessDlg) s_.ownerlessDlg->end(kIdCancel);
    }
    s_.pending = arrived ? ReminderSession::Event::Arrived : ReminderSession::Event::Left;
    settle(main);
}

void ReminderFlow::settle(MainDlgLogic& main) {
    if (s_.pending == ReminderSession::Event::None || heldBack(main)) return;
    const auto event = s_.pending;
    s_.pending = ReminderSession::Event::None;
    if (event == ReminderSession::Event::Arrived) onArrival(main);
    else onRemoval(main);
}

void ReminderFlow::spareArrived(MainDlgLogic& main) {
    if (!s_.connected()) s_.open();
    if (!s_.connected() || !s_.identify()) return;
    // This arrival is the last state: an earlier removal is answered by it.
    s_.pending = ReminderSession::Event::None;
    s_.readOk = false;
    s_.logSafe = false;
    main.setReminderConnected(true, s_.serial());
    s_.spareWait->end(kIdOk);
}

bool ReminderFlow::readReminder(MainDlgLogic& main) {
    const int unknownBefore = s_.unrecognisedModelCount();
    if (s_.read()) return true;
    // An unrecognised model says nothing; every other failure is reported.
    if (s_.unrecognisedModelCount() == unknownBefore)
        showDeviceFailure(main, s_, ids::kReadFailed, s_.failedStep(), ids::kNextReadAgain,
                          MessageIcon::None);
    return false;
}

void ReminderFlow::storeLog(MainDlgLogic& main, int owner, bool checkProgrammingTime) {
    const ReadBackOutcome outcome =
        storeReadBack(main.store(), main.user(), s_.readBack, s_.connected(), s_.serial(), owner,
                      checkProgrammingTime, main.host(), main.strings());
    if (outcome == ReadBackOutcome::StoreFailed) error(main, ids::kLogNotStored);
    if (outcome == ReadBackOutcome::OwnerNotFound) error(main, ids::kReadBackOwnerNotFound);
    s_.logSafe = s_.readOk && !leftUnstored(outcome);
}

void ReminderFlow::onArrival(MainDlgLogic& main) {
    if (!s_.connected() && !s_.open()) return;
    main.setStatusText(main.strings().load(ids::kReminderConnected));
    main.setBusy(true);
    main.host().bringToFront();
    if (!readReminder(main)) {
        main.setBusy(false);
        return;
    }
    main.setReminderConnected(true, s_.serial());
    if (batteryLow(s_.battery()))
        main.host().showMessage(main.strings().load(ids::kBatteryLow),
                                main.strings().load(ids::kCaptionWarning), MessageIcon::Warning);
    main.savePanelState();
    RecordStore& store = main.store();
    CurrentUser& user = main.user();
    const TimeValue now = main.clock().nowValue();
    const int owner = store.getDeviceOwner(s_.serial());
    // A reminder emptied elsewhere is not one programmed from other data.
    if (s_.readBack.programming_time == 0 && s_.readBack.instants().empty())
        recordReminderEmptied(store, s_.serial());
    if (owner >= 1) {
        if (user.id != owner &&
            selectUserWithReminder(store, user, owner, now, RecordStore::SaveCurrent::No))
            main.setNoUserProfile(false);
        storeLog(main, owner, true);
        if (user.id == owner && store.isOwnReminder(s_.serial())) {
            // What the reminder holds is what was read from it, not what
            // it was once given: an emptied reminder must be programmed.
            user.programmed_instants = s_.readBack.instants();
            user.is_programming_needed = needsProgramming(store, user, user.window, now);
            store.updateProfile(user);
        }
    } else {
        ownerlessReminder(main);
    }
    main.setBusy(false);
    main.markMonthStale();
    main.refresh();
    main.noticeCutTexts();
}

void ReminderFlow::onRemoval(MainDlgLogic& main) {
    s_.disconnect();
    s_.logSafe = false;
    if (s_.ownerlessDlg) s_.ownerlessDlg->end(kIdCancel);
    main.setProgrammingInProgress(s_.jobActive);
    main.reminderRemoved();
}

void ReminderFlow::ownerlessReminder(MainDlgLogic& main) {
    if (s_.ownerlessDlg) return;
    SelectActionDlgLogic dlg(main.strings());
    s_.ownerlessDlg = &dlg;
    main.setBusy(false);
    const int result = main.host().runDialog(dlg);
    s_.ownerlessDlg = nullptr;
    if (!s_.connected()) return;  // removed while the question was open
    if (result == SelectActionDlgLogic::kIdCreateOrChoose) main.command(cmd::kUserManagement);
    else if (result == SelectActionDlgLogic::kIdProgramWithoutUser) programWithoutUser(main);
}

void ReminderFlow::storeReadBackForChosenUser(MainDlgLogic& main) {
    if (!s_.connected() || !s_.readOk) return;
    storeLog(main, main.store().getDeviceOwner(s_.serial()), false);
}

void ReminderFlow::programWithoutUser(MainDlgLogic& main) {
    main.setBusy(true);
    if (!readReminder(main)) {
        main.setBusy(false);
        return;
    }
    CurrentUser& user = main.user();
    const SYSTEMTIME nowTime = main.clock().localNow();
    const TimeValue now = toTimeValue(nowTime);
    Profile p;
    p.name = main.strings().load(ids::kNoUserName);
    p.window = static_cast<int>(s_.reminderWindow());
    p.program_type = p.window != 600 ? 1 : 0;
    for (TimeValue t : s_.readBack.instants()) {
        if (static_cast<std::uint32_t>(t) < static_cast<std::uint32_t>(now)) continue;
        Alarm a;
        a.alarm_start = a.alarm_end = fromTimeValue(t);
        a.repeat_pattern = 0;
        p.alarms.push_back(a);
    }
    for (const LogEntry& e : toLogEntries(s_.readBack.log_entries)) p.history[e.alarm_time] = e;
    user.setProfile(p);
    main.setNoUserProfile(true);
    const Horizon h = scheduleHorizon(p.alarms, nowTime);
    DeviceRecord record;
    record.sn = s_.serial();
    record.device_type = DeviceRecord::kOwn;
    record.programming_time = s_.readBack.programming_time;
    record.last_alarm = h.kind == Horizon::kEnds ? toTimeValue(h.bound) : 0;
    record.alarm_amount = static_cast<int>(s_.readBack.instants().size());
    main.store().saveDevice(record, user.id);
    // What this reminder holds, not what the previous user's was given.
    rememberProgrammed(user, s_.readBack.instants(), p.window);
    user.is_programming_needed = needsProgramming(main.store(), user, user.window, now);
    s_.logSafe = true;  // the person chose to go on without a user
    main.setBusy(false);
    main.markMonthStale();
    main.refresh();
}

void ReminderFlow::emptyReminder(MainDlgLogic& main) {
    if (!s_.connected()) return;
    const StringSource& strings = main.strings();
    if (!main.host().askDestructive(strings.load(ids::kConfirmEmptyReminder), strings.load(ids::kCaptionQuestion)))
        return;
    // Acknowledgements that are not stored anywhere go only on a second Yes.
    const bool nothingToLose = s_.readOk && (s_.logSafe || s_.readBack.log_entries.empty());
    if (!nothingToLose &&
        !main.host().askDestructive(strings.load(ids::kConfirmEmptyUnstoredLog), strings.load(ids::kCaptionQuestion)))
        return;
    main.setBusy(true);
    const LinkStep failed = s_.empty();
    main.setBusy(false);
    RecordStore& store = main.store();
    const std::uint32_t sn = s_.serial();
    // Whatever part was cleared, the reminder no longer holds its table:
    // only the owner of an own reminder must program it again, not the
    // owner of a spare.
    if (store.isOwnReminder(sn)) markNeedsProgramming(main, store.getDeviceOwner(sn));
    recordReminderEmptied(store, sn);
    main.refreshPanel();
    main.savePanelState();
    if (failed != LinkStep::None) {
        showDeviceFailure(main, s_, ids::kEmptyingFailed, failed, ids::kNextEmptyAgain);
        return;
    }
    s_.logSafe = true;  // nothing is left to lose
    main.host().showMessage(strings.load(ids::kReminderEmptied), strings.load(ids::kCaptionConfirmation),
                            MessageIcon::Information);
    if (main.noUserProfile()) {
        main.user().alarms.clear();
        main.markMonthStale();
        main.refresh();
    }
}

}  // namespace velmora
