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

void error(MainDlgLogic& main, const Text& text) {
    main.host().showMessage(text, main.strings().load(ids::kCaptionError), MessageIcon::Error);
}

// The rule of the reminder: the user's own reminder must be programmed
// again when it no longer holds what the alarms say.
PouchConversion conversionFor(MainDlgLogic& main) {
    PouchConversion options;
    options.alarmTitle = main.strings().load(ids::kPouchAlarmTitle);
    options.needsProgramming = [&main](const CurrentUser& u) {
        return needsProgramming(main.store(), u, u.window, main.clock().nowValue());
    };
    return options;
}

}  // namespace

void PouchFlow::fetch(MainDlgLogic& main, const ServiceAccess& access) {
    if (!main.userSelected()) return error(main, main.strings().load(ids::kCreateOrChooseUser));
    if (!hasIdentityCode(main.user().ssn)) return error(main, main.strings().load(ids::kIdentityCodeMissing));
    if (request_ || !access) return;
    if (!signedInForService(main.user(), main.host(), main.strings(), access)) return;
    if (!client_) client_ = access.makeClient([&main] { main.serviceReply(); });
    const CurrentUser& user = main.user();
    client_->setCredentials(user.account_name, user.account_password);
    if (!GetPouchData(*client_, user.ssn, main.strings().load(ids::kLanguageCode))) return;
    request_ = Request{user.id, user.name};
    main.setBusy(true);
}

void PouchFlow::reply(MainDlgLogic& main) {
    if (!client_ || !request_) return;
    // A question in the middle of another dialog would act on a user that
    // dialog may be changing: the reply waits until it closes.
    if (main.host().modalDepth() > 0) {
        heldBack_ = true;
        return;
    }
    heldBack_ = false;
    main.setBusy(false);
    Text payload;
    const int code = ReadReply(*client_, payload);
    if (main.user().id != request_->userId) {
        main.host().showMessage(fillPlaceholder(main.strings().load(ids::kPouchReplyUserChanged), request_->name),
                                main.strings().load(ids::kCaptionWarning), MessageIcon::Warning);
    } else {
        apply(main, code, payload, client_->failure());
    }
    request_.reset();
}

void PouchFlow::modalsClosed(MainDlgLogic& main) {
    if (heldBack_) reply(main);
}

void PouchFlow::reset() {
    client_.reset();
    request_.reset();
    heldBack_ = false;
}

void PouchFlow::apply(MainDlgLogic& main, int code, const Text& payload, ServiceFailure failure) {
    const StringSource& s = main.strings();
    Interaction& person = main.host();
    if (code != kResultOk) return error(main, pouchReplyMessage(code, failure, s));

    const PouchData data = ParsePouchData(payload);
    // Dates that do not parse say nothing new either: the person decides.
    const auto period = ParsePeriod(data.startDate, data.endDate);
    const SYSTEMTIME now = main.clock().localNow();
    const TimeValue today = toTimeValue(makeTime(now.wYear, now.wMonth, now.wDay));
    if ((!period || toTimeValue(period->first) < today) &&
        !person.askYesNo(s.load(ids::kNoNewPouchAlarms), s.load(ids::kCaptionQuestion)))
        return;
    if (data.doses.empty()) return error(main, s.load(ids::kPouchDataNotFound));

    person.showMessage(s.load(ids::kPouchName) + data.name + "\n" + s.load(ids::kPouchStartDate) +
                           data.startDate + "\n" + s.load(ids::kPouchEndDate) + data.endDate + "\n" +
                           s.load(ids::kPouchDoseCount) + std::to_string(data.doses.size()) + "\n\n" +
                           s.load(ids::kCheckPouchTimes),
                       s.load(ids::kPouchDataCaption), MessageIcon::Information);

    const int result = ConvertPouchToAlarms(data, kPouchRepeatPattern, main.user(), main.store(),
                                            conversionFor(main));
    if (result == kPouchUnchanged) {
        person.showMessage(s.load(ids::kPouchNoChanges), s.load(ids::kCaptionWarning), MessageIcon::Warning);
    } else if (result == kPouchNotStored) {
        error(main, s.load(ids::kPouchNotStored));
    } else if (result != kPouchChanged) {
        error(main, s.load(ids::kPouchDataInvalid));
    }
    main.markMonthStale();
    main.refresh();

    // New alarms belong in the reminder: when this user's own reminder is
    // attached, offer to program it at once, as "Ohjelmoi laite" does.
    const CurrentUser& user = main.user();
    if (result == kPouchChanged && main.reminderConnected() &&
        main.store().getDeviceOwner(user.connected_sn) == user.id &&
        person.askYesNo(s.load(ids::kProgramPouchAlarmsNow), s.load(ids::kCaptionQuestion)))
        main.command(MainDlgLogic::kIdProgram);
}

void PouchFlow::updateAll(MainDlgLogic& main, const ServiceAccess& access) {
    if (!access || request_) return;
    if (!signedInForService(main.user(), main.host(), main.strings(), access)) return;
    main.savePanelState();
    PouchConversion current = conversionFor(main);
    PouchBulkDlgLogic dlg(main.user(), main.store(), main.strings(), main.host(), access,
                          std::move(current));
    if (dlg.count() == 0) {
        main.host().showMessage(main.strings().load(ids::kNoUsersWithIdentityCode),
                                main.strings().load(ids::kCaptionWarning), MessageIcon::Warning);
        return;
    }
    main.host().runDialog(dlg);
    main.store().reloadUsers(main.user());
    main.markMonthStale();
    main.refresh();
}

}  // namespace velmora
