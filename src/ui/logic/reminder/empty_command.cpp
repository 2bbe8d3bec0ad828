#include "ui/logic/reminder/empty_command.h"

#include "resources/string_ids.h"
#include "ui/logic/reminder/reminder_steps.h"

namespace velmora {

void EmptyCommand::start() {
    if (c_.session.connected()) empty();
    finish();
}

void EmptyCommand::empty() {
    ReminderSession& s = c_.session;
    const StringSource& strings = c_.strings;
    if (!c_.host.askDestructive(strings.load(ids::kConfirmEmptyReminder), strings.load(ids::kCaptionQuestion)))
        return;
    // Acknowledgements that are not stored anywhere go only on a second Yes.
    const bool nothingToLose = s.readOk && (s.logSafe || s.readBack.log_entries.empty());
    if (!nothingToLose &&
        !c_.host.askDestructive(strings.load(ids::kConfirmEmptyUnstoredLog), strings.load(ids::kCaptionQuestion)))
        return;
    c_.window.setBusy(true);
    const LinkStep failed = s.empty();
    c_.window.setBusy(false);
    RecordStore& store = c_.store;
    const std::uint32_t sn = s.serial();
    // Whatever part was cleared, the reminder no longer holds its table:
    // only the owner of an own reminder must program it again, not the
    // owner of a spare.
    if (store.isOwnReminder(sn)) markNeedsProgramming(c_, store.getDeviceOwner(sn));
    recordReminderEmptied(store, sn);
    c_.window.refreshPanel();
    c_.window.savePanelState();
    if (failed != LinkStep::None) {
        showDeviceFailure(c_, ids::kEmptyingFailed, failed, ids::kNextEmptyAgain);
        return;
    }
    s.logSafe = true;  // nothing is left to lose
    tell(c_, ids::kReminderEmptied, ids::kCaptionConfirmation, MessageIcon::Information);
    if (c_.window.noUserProfile()) {
        c_.user.alarms.clear();
        c_.window.usersChanged();
    }
}

}  // namespace velmora
