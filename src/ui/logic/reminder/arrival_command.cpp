#include "ui/logic/reminder/arrival_command.h"

#include "resources/string_ids.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/reminder/log_readback.h"
#include "ui/logic/reminder/reminder_steps.h"

namespace velmora {

bool readReminder(const ReminderContext& c) {
    const int unknownBefore = c.session.unrecognisedModelCount();
    if (c.session.read()) return true;
    // An unrecognised model says nothing; every other failure is reported.
    if (c.session.unrecognisedModelCount() == unknownBefore)
        showDeviceFailure(c, ids::kReadFailed, c.session.failedStep(), ids::kNextReadAgain, MessageIcon::None);
    return false;
}

void storeLog(const ReminderContext& c, int owner, bool checkProgrammingTime) {
    ReminderSession& s = c.session;
    const ReadBackOutcome outcome = storeReadBack(c.store, c.user, s.readBack, s.connected(), s.serial(),
                                                  owner, checkProgrammingTime, c.host, c.strings);
    if (outcome == ReadBackOutcome::StoreFailed) tell(c, ids::kLogNotStored, ids::kCaptionError, MessageIcon::Error);
    if (outcome == ReadBackOutcome::OwnerNotFound)
        tell(c, ids::kReadBackOwnerNotFound, ids::kCaptionError, MessageIcon::Error);
    s.logSafe = s.readOk && !leftUnstored(outcome);
}

void ArrivalCommand::start() {
    c_.session.setProgrammingTable(&c_.user.alarm_table);
    if (startWatch_ && startWatch_()) return;  // an attached reminder comes as an arrival
    if (c_.session.open()) onArrival();
    else onRemoval();
    finish();
}

bool ArrivalCommand::heldBack() const { return c_.session.jobActive || c_.host.modalDepth() > 0; }

void ArrivalCommand::deviceEvent(bool arrived) {
    ReminderSession& s = c_.session;
    s.setProgrammingTable(&c_.user.alarm_table);
    if (arrived && s.spareWait) {
        spareArrived();
        return;
    }
    if (!arrived) {
        // The link is gone now: a pass in progress fails, nothing more is
        // read, and the dialog about an ownerless reminder ends.
        s.disconnect();
        c_.window.setReminderConnected(false, 0);
        if (removed) removed();
    }
    s.pending = arrived ? ReminderSession::Event::Arrived : ReminderSession::Event::Left;
    settle();
}

void ArrivalCommand::settle() {
    ReminderSession& s = c_.session;
    if (s.pending == ReminderSession::Event::None || heldBack()) return;
    const auto event = s.pending;
    s.pending = ReminderSession::Event::None;
    if (event == ReminderSession::Event::Arrived) onArrival();
    else onRemoval();
    finish();
}

void ArrivalCommand::spareArrived() {
    ReminderSession& s = c_.session;
    if (!s.connected()) s.open();
    if (!s.connected() || !s.identify()) return;
    // This arrival is the last state: an earlier removal is answered by it.
    s.pending = ReminderSession::Event::None;
    s.readOk = false;
    s.logSafe = false;
    c_.window.setReminderConnected(true, s.serial());
    s.spareWait->end(kIdOk);
}

void ArrivalCommand::onArrival() {
    ReminderSession& s = c_.session;
    if (!s.connected() && !s.open()) return;
    c_.window.setStatusText(c_.strings.load(ids::kReminderConnected));
    c_.window.setBusy(true);
    c_.host.bringToFront();
    if (!readReminder(c_)) {
        c_.window.setBusy(false);
        return;
    }
    c_.window.setReminderConnected(true, s.serial());
    if (batteryLow(s.battery())) tell(c_, ids::kBatteryLow, ids::kCaptionWarning, MessageIcon::Warning);
    c_.window.savePanelState();
    RecordStore& store = c_.store;
    CurrentUser& user = c_.user;
    const TimeValue now = c_.clock.nowValue();
    const int owner = store.getDeviceOwner(s.serial());
    // A reminder emptied elsewhere is not one programmed from other data.
    if (s.readBack.programming_time == 0 && s.readBack.instants().empty()) recordReminderEmptied(store, s.serial());
    if (owner >= 1) {
        if (user.id != owner && selectUserWithReminder(store, user, owner, now, RecordStore::SaveCurrent::No))
            c_.window.setNoUserProfile(false);
        storeLog(c_, owner, true);
        if (user.id == owner && store.isOwnReminder(s.serial())) {
            // What the reminder holds is what was read from it, not what
            // it was once given: an emptied reminder must be programmed.
            user.programmed_instants = s.readBack.instants();
            user.is_programming_needed = needsProgramming(store, user, user.window, now);
            store.updateProfile(user);
        }
    } else if (ownerless) {
        ownerless();
    }
    c_.window.setBusy(false);
    c_.window.usersChanged();
    c_.window.noticeCutTexts();
}

void ArrivalCommand::onRemoval() {
    c_.session.disconnect();
    c_.session.logSafe = false;
    if (removed) removed();
    c_.window.setProgrammingInProgress(c_.session.jobActive);
    c_.window.reminderRemoved();
}

}  // namespace velmora
