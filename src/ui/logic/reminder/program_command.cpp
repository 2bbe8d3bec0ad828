#include "ui/logic/reminder/program_command.h"

#include "core/datetime.h"
#include "core/programming_table.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/reminder/programming_report.h"
#include "ui/logic/reminder/reminder_steps.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {

void ProgramCommand::start() {
    if (c_.user.id < 1 && !c_.window.noUserProfile()) {
        tell(c_, ids::kCreateOrChooseUser, ids::kCaptionError, MessageIcon::Error);
        return;
    }
    if (!buildProgrammingTable(c_.user, c_.clock.localNow())) {
        tell(c_, ids::kNothingToProgram, ids::kCaptionError, MessageIcon::Error);
        return;
    }
    const InstantList& table = c_.user.alarm_table;
    if (table.endsAtTimeLimit() && !table.empty()) {
        // The reminder would otherwise seem to hold alarms it never got.
        const Text text = fillPlaceholder(c_.strings.load(ids::kTableEndsAtTimeLimit),
                                          formatDateTime(fromTimeValue(kLastTimeValue)));
        c_.host.showMessage(fillPlaceholder(text, formatDateTime(fromTimeValue(table.items().back()))),
                            c_.strings.load(ids::kCaptionWarning), MessageIcon::Warning);
    }
    job();
}

void ProgramCommand::job() {
    ReminderSession& s = c_.session;
    s.jobActive = true;
    c_.window.setProgrammingInProgress(true);
    if (!s.clockConfirmed) {
        ProgramDlgLogic dlg(c_.strings, c_.clock);
        if (c_.host.runDialog(dlg) != kIdOk) return end();
        s.clockConfirmed = true;
    }
    const std::uint32_t ownSerial = s.serial();
    if (s.connected() && !mayWriteConnected(false)) return end();
    if (!programReminder(true)) {
        showDeviceFailure(c_, ids::kProgrammingFailed, failedStep_, ids::kNextProgramAgain);
        return end();
    }
    c_.window.refreshPanel();
    CurrentUser& user = c_.user;
    const Text result = c_.window.noUserProfile()
                            ? c_.strings.load(ids::kReminderProgrammed)
                            : fillPlaceholder(c_.strings.load(ids::kUserReminderProgrammed), user.name);
    const Text report = buildReport(c_.store, user, c_.strings);
    if (user.id >= 1) c_.store.saveReport(user.id, report);
    ProgrammingFinishedDlgLogic done(c_.strings, result);
    if (c_.host.runDialog(done) == ProgrammingFinishedDlgLogic::kIdReport)
        openProgrammingReport(c_.host, c_.strings, report, reportDirectory(c_.store));
    if (c_.host.askYesNo(c_.strings.load(ids::kOfferSpare), c_.strings.load(ids::kCaptionQuestion)))
        offerSpare(ownSerial);
    end();
}

void ProgramCommand::end() {
    c_.session.jobActive = false;
    c_.window.setProgrammingInProgress(false);
    if (!c_.session.connected() && c_.session.pending == ReminderSession::Event::None) c_.window.closeUser();
    finish();
}

bool ProgramCommand::logMayBeCleared() {
    if (c_.session.readOk && c_.session.logSafe) return true;
    // Yes loses the acknowledgements: No is the default answer.
    return c_.host.askDestructive(c_.strings.load(ids::kConfirmClearUnstoredLog),
                                  c_.strings.load(ids::kCaptionQuestion));
}

void ProgramCommand::offerSpare(std::uint32_t ownSerial) {
    ReminderSession& s = c_.session;
    for (;;) {
        if (s.spareWait) return;
        WaitProgramDlgLogic wait(c_.strings);
        s.spareWait = &wait;
        const int result = c_.host.runDialog(wait);
        s.spareWait = nullptr;
        if (result != kIdOk) return;
        if (s.serial() == ownSerial) {
            // The own reminder is back: its log is stored as on any arrival.
            readAndStoreForOwner(c_);
            tell(c_, ids::kSpareIsOwnReminder, ids::kCaptionError, MessageIcon::Error);
            continue;
        }
        if (!mayWriteConnected(true)) return;
        if (programReminder(false)) {
            tell(c_, ids::kSpareDone, ids::kCaptionConfirmation, MessageIcon::Information);
        } else {
            showDeviceFailure(c_, ids::kSpareFailed, failedStep_, ids::kNextSpareAgain);
        }
        return;
    }
}

bool ProgramCommand::mayWriteConnected(bool spare) {
    RecordStore& store = c_.store;
    const std::uint32_t sn = c_.session.serial();
    const int owner = store.getDeviceOwner(sn);
    const bool othersReminder = owner >= 1 && owner != c_.user.id;
    if (spare || othersReminder) readAndStoreForOwner(c_);
    if (othersReminder) {
        Text name;
        for (const Profile& p : c_.user.users)
            if (p.id == owner) name = p.name;
        // Yes takes a reminder away from its owner: No is the default answer.
        const Text question = c_.strings.load(spare ? ids::kSpareOfOtherUser : ids::kOtherUsersReminder);
        if (!c_.host.askDestructive(fillPlaceholder(question, name, true), c_.strings.load(ids::kCaptionQuestion)))
            return false;
    }
    if (!logMayBeCleared()) return false;
    // The owner's own reminder is about to hold another person's alarms.
    if (othersReminder && store.isOwnReminder(sn)) markNeedsProgramming(c_, owner);
    return true;
}

bool ProgramCommand::programReminder(bool own) {
    ReminderSession& s = c_.session;
    failedStep_ = LinkStep::NotConnected;
    if (!s.connected()) return false;
    CurrentUser& user = c_.user;
    RecordStore& store = c_.store;
    const int window = c_.window.panelWindowSeconds();
    c_.window.setBusy(true);
    const PassResult pass = s.program(user.alarm_table, static_cast<std::uint32_t>(window), own, c_.clock);
    failedStep_ = pass.failed;
    // The reminder's old table and log are gone; so are the entries read
    // from it, which must not reach anybody's history any more.
    s.readBack.clear();
    if (!pass.ok()) {
        s.readOk = false;
        if (own) {
            user.is_programming_needed = true;
            user.programmed_instants.clear();
            if (user.id >= 1) store.updateProfile(user);
            c_.window.refreshPanel();
        }
        c_.window.setBusy(false);
        return false;
    }
    const std::uint32_t sn = s.serial();
    store.assignDevice(user, sn);
    DeviceRecord record;
    record.sn = sn;
    record.device_type = own ? DeviceRecord::kOwn : DeviceRecord::kSpare;
    record.programming_time = pass.programming_time;
    record.last_alarm = pass.lastAlarm();
    record.alarm_amount = pass.count();
    store.saveDevice(record, user.id);
    user.is_programming_needed = false;
    rememberProgrammed(user, pass.written, window);
    c_.window.savePanelState();
    s.logSafe = true;
    s.readOk = true;
    c_.window.setBusy(false);
    return true;
}

}  // namespace velmora
