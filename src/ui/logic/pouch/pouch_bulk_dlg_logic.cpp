#include "ui/logic/pouch/pouch_bulk_dlg_logic.h"

#include "core/text.h"
#include "online/service_protocol.h"
#include "resources/string_ids.h"
#include "ui/logic/users/profile_dlg_logic.h"

namespace velmora {

PouchBulkDlgLogic::PouchBulkDlgLogic(CurrentUser& current, RecordStore& store, const StringSource& strings,
                                     Interaction& person, ServiceAccess service,
                                     PouchConversion currentRule)
    : current_(current),
      store_(store),
      strings_(strings),
      person_(person),
      service_(std::move(service)),
      currentRule_(std::move(currentRule)) {
    std::vector<Profile> all;
    store_.loadProfiles(all);
    for (Profile& p : all) {
        if (hasIdentityCode(p.ssn)) persons_.push_back(std::move(p));
    }
}

Text PouchBulkDlgLogic::title() const { return strings_.load(ids::kUpdatingChanges); }

Text PouchBulkDlgLogic::buttonText() const {
    return strings_.load(finished_ ? ids::kCloseButton : ids::kCancel);
}

void PouchBulkDlgLogic::start() {
    if (finished_ || client_) return;
    if (!service_ || persons_.empty()) return finish(ids::kUsersUpdated);
    client_ = service_.makeClient([this] { reply(); });
    client_->setCredentials(current_.account_name, current_.account_password);
    sendNext();
}

int PouchBulkDlgLogic::cancel() {
    if (finished_) return kIdCancel;
    client_.reset();  // the request out is dropped unanswered
    finish(ids::kUpdateInterrupted);
    return 0;
}

void PouchBulkDlgLogic::sendNext() {
    if (next_ >= count()) return finish(notUpdated_.empty() ? ids::kUsersUpdated : ids::kUsersNotUpdated);
    if (!GetPouchData(*client_, persons_[static_cast<std::size_t>(next_)].ssn,
                      strings_.load(ids::kLanguageCode)))
        return finish(ids::kUpdateInterrupted);
    if (listener_) listener_();
}

void PouchBulkDlgLogic::reply() {
    Text payload;
    const int code = ReadReply(*client_, payload);
    const bool unreachable = client_->replyState() != kReplyComplete;
    if (unreachable || code == kResultWrongCredentials) {
        // Every further request would fail the same way: the run stops and
        // nobody left is touched.
        const Text why = strings_.load(unreachable ? ids::kServiceNotInUse : ids::kWrongCredentials);
        const Text detail = serviceFailureText(strings_, client_->failure());
        person_.showMessage(detail.empty() ? why : why + "\n\n" + detail, strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        for (; next_ < count(); ++next_)
            notUpdated_.push_back(ProfileDlgLogic::entryText(persons_[static_cast<std::size_t>(next_)]) + ": " + why);
        return finish(ids::kUsersNotUpdated);
    }
    const Profile& p = persons_[static_cast<std::size_t>(next_)];
    Text why;
    if (code != kResultOk) {
        why = pouchReplyMessage(code, client_->failure(), strings_);
    } else if (const int reason = update(p, payload)) {
        why = strings_.load(reason);
    }
    if (!why.empty()) notUpdated_.push_back(ProfileDlgLogic::entryText(p) + ": " + why);
    ++next_;
    sendNext();
}

int PouchBulkDlgLogic::update(const Profile& p, const Text& payload) {
    const PouchData data = ParsePouchData(payload);
    if (data.doses.empty()) return ids::kPouchDataNotFound;
    int result = kPouchNotStored;
    if (p.id == current_.id) {
        result = ConvertPouchToAlarms(data, kPouchRepeatPattern, current_, store_, currentRule_);
    } else {
        CurrentUser other;
        other.daylight = current_.daylight;
        if (!store_.loadProfile(p.id, other) || other.id != p.id || !store_.loadAlarms(p.id, other.alarms))
            return ids::kPouchNotStored;
        // Nothing is known here of what the user's reminder holds: the
        // stored flag stays unless the alarms changed.
        PouchConversion keep = currentRule_;
        keep.needsProgramming = [flag = other.is_programming_needed](const CurrentUser&) { return flag; };
        result = ConvertPouchToAlarms(data, kPouchRepeatPattern, other, store_, keep);
    }
    switch (result) {
        case kPouchChanged: toProgram_.push_back(ProfileDlgLogic::entryText(p)); return 0;
        case kPouchUnchanged: return 0;
        case kPouchNotStored: return ids::kPouchNotStored;
        default: return ids::kPouchDataInvalid;
    }
}

void PouchBulkDlgLogic::finish(int statusId) {
    finished_ = true;
    statusId_ = statusId;
    if (listener_) listener_();
}

Text PouchBulkDlgLogic::statusText() const {
    if (finished_) return strings_.load(statusId_);
    if (next_ >= count()) return {};
    return fillPlaceholder(strings_.load(ids::kFetchingPouchDataOf), persons_[static_cast<std::size_t>(next_)].name);
}

std::vector<Text> PouchBulkDlgLogic::resultLines() const {
    std::vector<Text> lines;
    if (!notUpdated_.empty() && statusId_ != ids::kUsersNotUpdated) lines.push_back(strings_.load(ids::kUsersNotUpdated));
    lines.insert(lines.end(), notUpdated_.begin(), notUpdated_.end());
    if (toProgram_.empty()) return lines;
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(strings_.load(ids::kProgramTheseReminders));
    lines.insert(lines.end(), toProgram_.begin(), toProgram_.end());
    return lines;
}

}  // namespace velmora
