#include "ui/logic/reminder/programming_job.h"

#include "core/text.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/reminder/programming_report.h"
#include "resources/string_ids.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/reminder/reminder_steps.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {

namespace {
void message(MainDlgLogic& main, int textId, int captionId, MessageIcon icon) {
    main.host().showMessage(main.strings().load(textId), main.strings().load(captionId), icon);
}
bool ask(MainDlgLogic& main, const Text& text) {
    return main.host().askYesNo(text, main.strings().load(ids::kCaptionQuestion));
}
}  // namespace

void ProgrammingJob::run(MainDlgLogic& main) {
    s_.jobActive = true;
    main.setProgrammingInProgress(true);
    if (!s_.clockConfirmed) {
        ProgramDlgLogic dlg(main.strings(), main.clock());
        if (main.host().runDialog(dlg) != kIdOk) {
            finished(main);
            return;
        }
        s_.clockConfirmed = true;
    }
    const std::uint32_t ownSerial = s_.serial();
    if (s_.connected() && !mayWriteConnected(main, false)) {
        finished(main);
        return;
    }
    if (!programReminder(main, true)) {
        showDeviceFailure(main, s_, ids::kProgrammingFailed, failedStep_, ids::kNextProgramAgain);
        finished(main);
        return;
    }
    main.refreshPanel();
    CurrentUser& user = main.user();
    const Text result = main.noUserProfile()
                            ? main.strings().load(ids::kReminderProgrammed)
                            : fillPlaceholder(main.strings().load(ids::kUserReminderProgrammed), user.name);
    const Text report = buildReport(main.store(), user, main.strings());
    if (user.id >= 1) main.store().saveReport(user.id, report);
    ProgrammingFinishedDlgLogic done(main.strings(), result);
    if (main.host().runDialog(done) == ProgrammingFinishedDlgLogic::kIdReport) openReport(main, report);
    if (ask(main, main.strings().load(ids::kOfferSpare))) offerSpare(main, ownSerial);
    finished(main);
}

void ProgrammingJob::finished(MainDlgLogic& main) {
    s_.jobActive = false;
    main.setProgrammingInProgress(false);
    if (!s_.connected() && s_.pending == ReminderSession::Event::None) main.closeUser();
}

bool ProgrammingJob::logMayBeCleared(MainDlgLogic& main) {
    if (s_.readOk && s_.logSafe) return true;
    // Yes loses the acknowledgements: No is the default answer.
    return main.host().askDestructive(main.strings().load(ids::kConfirmClearUnstoredLog),
                                      main.strings().load(ids::kCaptionQuestion));
}

void ProgrammingJob::offerSpare(MainDlgLogic& main, std::uint32_t ownSerial) {
    for (;;) {
        if (s_.spareWait) return;
        WaitProgramDlgLogic wait(main.strings());
        s_.spareWait = &wait;
        const int result = main.host().runDialog(wait);
        s_.spareWait = nullptr;
        if (result != kIdOk) return;
        if (s_.serial() == ownSerial) {
            // The own reminder is back: its log is stored as on any arrival.
            readAndStoreForOwner(main, s_);
            message(main, ids::kSpareIsOwnReminder, ids::kCaptionError, MessageIcon::Error);
            continue;
        }
        if (!mayWriteConnected(main, true)) return;
        if (programReminder(main, false)) {
            message(main, ids::kSpareDone, ids::kCaptionConfirmation, MessageIcon::Information);
        } else {
            showDeviceFailure(main, s_, ids::kSpareFailed, failedStep_, ids::kNextSpareAgain);
        }
        return;
    }
}

bool ProgrammingJob::mayWriteConnected(MainDlgLogic& main, bool spare) {
    RecordStore& store = main.store();
    CurrentUser& user = main.user();
    const std::uint32_t sn = s_.serial();
    const int owner = store.getDeviceOwner(sn);
    const bool othersReminder = owner >= 1 && owner != user.id;
    if (spare || othersReminder) readAndStoreForOwner(main, s_);
    if (othersReminder) {
        Text name;
        for (const Profile& p : user.users)
            if (p.id == owner) name = p.name;
        // Yes takes a reminder away from its owner: No is the default answer.
        const Text question = main.strings().load(spare ? ids::kSpareOfOtherUser : ids::kOtherUsersReminder);
        if (!main.host().askDestructive(fillPlaceholder(question, name, true),
                                        main.strings().load(ids::kCaptionQuestion)))
            return false;
    }
    if (!logMayBeCleared(main)) return false;
    // The owner's own reminder is about to hold another person's alarms.
    if (othersReminder && store.isOwnReminder(sn)) markNeedsProgramming(main, owner);
    return true;
}

bool ProgrammingJob::programReminder(MainDlgLogic& main, bool own) {
    failedStep_ = LinkStep::NotConnected;
    if (!s_.connected()) return false;
    CurrentUser& user = main.user();
    RecordStore& store = main.store();
    const int window = main.panelWindowSeconds();
    main.setBusy(true);
    const PassResult pass =
        s_.program(user.alarm_table, static_cast<std::uint32_t>(window), own, main.clock());
    failedStep_ = pass.failed;
    // The reminder's old table and log are gone; so are the entries read
    // from it, which must not reach anybody's history any more.
    s_.readBack.clear();
    if (!pass.ok()) {
        s_.readOk = false;
        if (own) {
            user.is_programming_needed = true;
            user.programmed_instants.clear();
            if (user.id >= 1) store.updateProfile(user);
            main.refreshPanel();
        }
        main.setBusy(false);
        return false;
    }
    const std::uint32_t sn = s_.serial();
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
    main.savePanelState();
    s_.logSafe = true;
    s_.readOk = true;
    main.setBusy(false);
    return true;
}

void ProgrammingJob::printAlarmReport(MainDlgLogic& main) {
    Text report;
    main.store().loadReport(main.user().id, report);
    openReport(main, report);
}

void ProgrammingJob::openReport(MainDlgLogic& main, const Text& report) {
    openProgrammingReport(main.host(), main.strings(), report, reportDirectory(main.store()));
}

}  // namespace velmora
