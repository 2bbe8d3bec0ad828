#include "ui/logic/reminder/reminder_steps.h"

#include <vector>

#include "ui/logic/reminder/log_readback.h"
#include "resources/string_ids.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {

void readAndStoreForOwner(const ReminderContext& c) {
    RecordStore& store = c.store;
    CurrentUser& user = c.user;
    ReminderSession& s = c.session;
    c.window.setBusy(true);
    s.read();
    c.window.setBusy(false);
    const int owner = store.getDeviceOwner(s.serial());
    bool stored = s.readBack.log_entries.empty();
    if (s.readOk && !stored && owner >= 1) {
        const std::vector<LogEntry> entries = toLogEntries(s.readBack.log_entries);
        if (owner == user.id) {
            stored = mergeAndStore(store, user, entries);
        } else {
            CurrentUser other;
            other.id = owner;
            std::vector<LogEntry> history;
            store.loadLog(owner, history);
            for (const LogEntry& e : history) other.history[e.alarm_time] = e;
            stored = mergeAndStore(store, other, entries);
        }
        if (!stored) tell(c, ids::kLogNotStored, ids::kCaptionError, MessageIcon::Error);
    }
    s.logSafe = s.readOk && stored;
}

void markNeedsProgramming(const ReminderContext& c, int owner) {
    if (owner < 1) return;
    CurrentUser& user = c.user;
    for (Profile& p : user.users)
        if (p.id == owner) p.is_programming_needed = true;
    if (owner == user.id) {
        user.is_programming_needed = true;
        user.programmed_instants.clear();
        c.store.updateProfile(user);
        return;
    }
    Profile other;
    if (!c.store.loadProfile(owner, other) || other.id != owner) return;
    other.is_programming_needed = true;
    c.store.updateProfile(other);
}

void recordReminderEmptied(RecordStore& store, std::uint32_t sn) {
    DeviceRecord d;
    const int owner = store.getDeviceOwner(sn);
    if (owner < 0 || !store.findDevice(sn, d)) return;
    d.programming_time = 0;
    d.last_alarm = 0;
    d.alarm_amount = 0;
    store.saveDevice(d, owner);
}

void showDeviceFailure(const ReminderContext& c, int firstLineId, LinkStep step, int nextStepId,
                       MessageIcon icon) {
    // A reminder that no longer answers was pulled out, whatever the step.
    const bool pulledOut = !c.session.answers();
    c.host.showMessage(deviceFailureText(c.strings, firstLineId, step, pulledOut, nextStepId),
                       c.strings.load(ids::kCaptionError), icon);
}

void tell(const ReminderContext& c, int textId, int captionId, MessageIcon icon) {
    c.host.showMessage(c.strings.load(textId), c.strings.load(captionId), icon);
}

}  // namespace velmora
