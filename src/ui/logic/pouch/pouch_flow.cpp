#include "ui/logic/pouch/pouch_flow.h"

#include "core/datetime.h"
#include "core/text.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "online/pouch.h"
#include "online/service_protocol.h"
#include "resources/string_ids.h"
#include "ui/logic/pouch/pouch_bulk_dlg_logic.h"

namespace velmora {

namespace {

// The rule of the reminder: the user's own reminder must be programmed
// again when it no longer holds what the alarms say.
PouchConversion conversionFor(const PouchContext& c) {
    PouchConversion options;
    options.alarmTitle = c.strings.load(ids::kPouchAlarmTitle);
    options.needsProgramming = [&c](const CurrentUser& u) {
        return needsProgramming(c.store, u, u.window, c.clock.nowValue());
    };
    return options;
}

}  // namespace

void FetchPouchCommand::error(const Text& text) {
    c_.host.showMessage(text, c_.strings.load(ids::kCaptionError), MessageIcon::Error);
}

void FetchPouchCommand::start() {
    const bool running = awaitingReply();  // its reply finishes the run
    if (!send() && !running) finish();
}

bool FetchPouchCommand::send() {
    if (c_.user.id <= 0) {
        error(c_.strings.load(ids::kCreateOrChooseUser));
        return false;
    }
    if (!hasIdentityCode(c_.user.ssn)) {
        error(c_.strings.load(ids::kIdentityCodeMissing));
        return false;
    }
    if (request_ || !c_.service || !signedInForService(c_.user, c_.host, c_.strings, c_.service)) return false;
    if (!client_) client_ = c_.service.makeClient([this] { reply(); });
    const CurrentUser& user = c_.user;
    client_->setCredentials(user.account_name, user.account_password);
    if (!GetPouchData(*client_, user.ssn, c_.strings.load(ids::kLanguageCode))) return false;
    request_ = Request{user.id, user.name};
    c_.window.setBusy(true);
    return true;
}

void FetchPouchCommand::reply() {
    if (!client_ || !request_) return;
    // A question in the middle of another dialog would act on a user that
    // dialog may be changing: the reply waits until it closes.
    if (c_.host.modalDepth() > 0) {
        heldBack_ = true;
        return;
    }
    heldBack_ = false;
    c_.window.setBusy(false);
    Text payload;
    const int code = ReadReply(*client_, payload);
    if (c_.user.id != request_->userId) {
        c_.host.showMessage(fillPlaceholder(c_.strings.load(ids::kPouchReplyUserChanged), request_->name),
                            c_.strings.load(ids::kCaptionWarning), MessageIcon::Warning);
    } else {
        apply(code, payload, client_->failure());
    }
    request_.reset();
    finish();
}

void FetchPouchCommand::modalsClosed() {
    if (heldBack_) reply();
}

void FetchPouchCommand::cancel() {
    client_.reset();
    request_.reset();
    heldBack_ = false;
}

void FetchPouchCommand::apply(int code, const Text& payload, ServiceFailure failure) {
    const StringSource& s = c_.strings;
    Interaction& person = c_.host;
    if (code != kResultOk) return error(pouchReplyMessage(code, failure, s));

    const PouchData data = ParsePouchData(payload);
    // Dates that do not parse say nothing new either: the person decides.
    const auto period = ParsePeriod(data.startDate, data.endDate);
    const SYSTEMTIME now = c_.clock.localNow();
    const TimeValue today = toTimeValue(makeTime(now.wYear, now.wMonth, now.wDay));
    if ((!period || toTimeValue(period->first) < today) &&
        !person.askYesNo(s.load(ids::kNoNewPouchAlarms), s.load(ids::kCaptionQuestion)))
        return;
    if (data.doses.empty()) return error(s.load(ids::kPouchDataNotFound));

    person.showMessage(s.load(ids::kPouchName) + data.name + "\n" + s.load(ids::kPouchStartDate) +
                           data.startDate + "\n" + s.load(ids::kPouchEndDate) + data.endDate + "\n" +
                           s.load(ids::kPouchDoseCount) + std::to_string(data.doses.size()) + "\n\n" +
                           s.load(ids::kCheckPouchTimes),
                       s.load(ids::kPouchDataCaption), MessageIcon::Information);

    const int result = ConvertPouchToAlarms(data, kPouchRepeatPattern, c_.user, c_.store, conversionFor(c_));
    if (result == kPouchUnchanged) {
        person.showMessage(s.load(ids::kPouchNoChanges), s.load(ids::kCaptionWarning), MessageIcon::Warning);
    } else if (result == kPouchNotStored) {
        error(s.load(ids::kPouchNotStored));
    } else if (result != kPouchChanged) {
        error(s.load(ids::kPouchDataInvalid));
    }
    c_.window.usersChanged();

    // New alarms belong in the reminder: when this user's own reminder is
    // attached, offer to program it at once, as its button does.
    const CurrentUser& user = c_.user;
    if (result == kPouchChanged && reminderConnected_ && reminderConnected_() &&
        c_.store.getDeviceOwner(user.connected_sn) == user.id &&
        person.askYesNo(s.load(ids::kProgramPouchAlarmsNow), s.load(ids::kCaptionQuestion)) && program_)
        program_();
}

void UpdateAllPouchCommand::start() {
    run();
    finish();
}

void UpdateAllPouchCommand::run() {
    if (!c_.service || (fetchAwaitingReply_ && fetchAwaitingReply_())) return;
    if (!signedInForService(c_.user, c_.host, c_.strings, c_.service)) return;
    c_.window.savePanelState();
    PouchBulkDlgLogic dlg(c_.user, c_.store, c_.strings, c_.host, c_.service, conversionFor(c_));
    if (dlg.count() == 0) {
        c_.host.showMessage(c_.strings.load(ids::kNoUsersWithIdentityCode),
                            c_.strings.load(ids::kCaptionWarning), MessageIcon::Warning);
        return;
    }
    c_.host.runDialog(dlg);
    c_.store.reloadUsers(c_.user);
    c_.window.usersChanged();
}

}  // namespace velmora
