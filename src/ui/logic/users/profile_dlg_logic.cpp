#include "ui/logic/users/profile_dlg_logic.h"

#include <utility>

#include "core/cp1252.h"
#include "ui/logic/users/program_type.h"
#include "core/text.h"
#include "online/pouch.h"
#include "online/service_protocol.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

// Leading and trailing blanks are never part of a name, ssn or phone.
Text trimmed(const Text& v) {
    const char* blanks = " \t\r\n";
    const auto first = v.find_first_not_of(blanks);
    if (first == Text::npos) return {};
    const auto last = v.find_last_not_of(blanks);
    return v.substr(first, last - first + 1);
}
}  // namespace

ProfileDlgLogic::ProfileDlgLogic(CurrentUser& user, RecordStore& store,
                                 const StringSource& strings, Interaction& person,
                                 const Clock& clock, AlarmTablePreparer prepare,
                                 ServiceAccess service)
    : user_(user),
      store_(store),
      strings_(strings),
      person_(person),
      clock_(clock),
      prepare_(std::move(prepare)),
      service_(std::move(service)),
      users_(user.users) {
    if (user_.id > 0) {
        for (std::size_t i = 0; i < users_.size(); ++i) {
            if (users_[i].id == user_.id) {
                selection_ = static_cast<int>(i);
                break;
            }
        }
    }
}

Text ProfileDlgLogic::title() const { return strings_.load(ids::kUserManagementTitle); }

Text ProfileDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdListFrame: return strings_.load(ids::kChooseUserFrame);
        case kIdChoose: return strings_.load(ids::kChooseUserButton);
        case kIdDelete: return strings_.load(ids::kDeleteUser);
        case kIdNewFrame: return strings_.load(ids::kUserDetailsFrame);
        case kIdNameCaption: return strings_.load(ids::kNameLabel);
        case kIdSsnCaption: return strings_.load(ids::kSsnLabel);
        case kIdPhoneCaption: return strings_.load(ids::kPhoneLabel);
        case kIdLookup: return strings_.load(ids::kFetchNameFromService);
        case kIdCreate: return strings_.load(ids::kCreateUser);
        case kIdSaveChanges: return strings_.load(ids::kSaveUserChanges);
        case kIdClose: return strings_.load(ids::kClose);
        case kIdSearch: return strings_.load(ids::kSearchUsers);
        case kIdNameColumn: return strings_.load(ids::kReportName);
        case kIdSsnColumn: return strings_.load(ids::kReportSsn);
        default: return {};
    }
}

Text ProfileDlgLogic::entryText(const Profile& profile) {
    return profile.name + " (" + profile.ssn + ")";
}

Text ProfileDlgLogic::entryText(int index) const { return entryText(profileAt(index)); }

void ProfileDlgLogic::select(int index) {
    selection_ = (index >= 0 && index < count()) ? index : -1;
}

void ProfileDlgLogic::focusChanged(Focus focus) {
    switch (focus) {
        case Focus::List: defaultButton_ = kIdChoose; break;
        case Focus::Name:
        case Focus::Ssn:
        case Focus::Phone: defaultButton_ = kIdCreate; break;
        case Focus::Other: break;
    }
}

int ProfileDlgLogic::choose() {
    if (selection_ < 0) return 0;
    const int id = profileAt(selection_).id;
    // The main window stored the previous user before opening this dialog.
    if (!store_.selectUser(user_, id, clock_.nowValue(), prepare_,
                           RecordStore::SaveCurrent::No)) {
        // The user is gone from the database (a restore replaced it, or the
        // file cannot be read): nothing was chosen. Say so and show the list
        // as the database has it now.
        person_.showMessage(strings_.load(ids::kOperationFailed), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        refreshList();
        return 0;
    }
    return kIdChoose;
}

void ProfileDlgLogic::refreshList() {
    const int keepId = selection_ >= 0 ? profileAt(selection_).id : 0;
    if (!store_.reloadUsers(user_)) return;
    users_ = user_.users;
    selection_ = -1;
    for (std::size_t i = 0; i < users_.size(); ++i) {
        if (users_[i].id == keepId) selection_ = static_cast<int>(i);
    }
}

std::optional<Profile> ProfileDlgLogic::checkedFields(int self) {
    const Text newName = trimmed(name);
    if (newName.empty()) {
        person_.showMessage(strings_.load(ids::kEnterNameAndSsn), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        return std::nullopt;
    }
    const Text givenSsn = trimmed(ssn);
    const Text newSsn = givenSsn.empty() ? Text(1, '-') : givenSsn;
    // The database keeps Windows-1252 text: a letter outside it would be
    // stored as "?" and the name lost. Say which letters to change.
    const Text unstorable = charactersOutsideCp1252(newName + newSsn + trimmed(phone));
    if (!unstorable.empty()) {
        person_.showMessage(fillPlaceholder(strings_.load(ids::kUnstorableCharacters), unstorable),
                            strings_.load(ids::kCaptionError), MessageIcon::Error);
        return std::nullopt;
    }
    Profile checked;
    checked.setName(newName);
    checked.setSsn(newSsn);
    checked.setPhone(trimmed(phone));
    for (const Profile& p : users_) {
        if (p.id == self || p.name != checked.name || p.ssn != checked.ssn) continue;
        if (!person_.askDestructive(fillPlaceholder(strings_.load(ids::kDuplicateUser), entryText(p)),
                                    strings_.load(ids::kCaptionQuestion)))
            return std::nullopt;
        break;
    }
    return checked;
}

int ProfileDlgLogic::create() {
    const std::optional<Profile> fields = checkedFields(0);
    if (!fields) return 0;
    Profile created = *fields;
    created.is_programming_needed = true;
    created.program_type = static_cast<int>(ProgramType::Intake);
    created.window = kDefaultWindowSeconds;

    const int id = store_.insertProfile(true, created.name, created.ssn, created.phone, Text{});
    if (id <= 0) {
        // The current user stays as it was.
        person_.showMessage(strings_.load(ids::kUserCreateFailed), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        return 0;
    }
    created.id = id;
    // The new user becomes the current user; it has no alarms, history or
    // programmed reminder yet.
    user_.setProfile(created);
    user_.alarm_table.clear();
    user_.users.push_back(created);
    users_.push_back(created);
    selection_ = count() - 1;
    return kIdCreate;
}

void ProfileDlgLogic::showSelected() {
    if (selection_ < 0) return;
    const Profile& p = profileAt(selection_);
    name = p.name;
    ssn = p.ssn;
    phone = p.phone;
}

bool ProfileDlgLogic::saveChanges() {
    if (selection_ < 0) return false;
    Profile& listed = users_[static_cast<std::size_t>(selection_)];
    const std::optional<Profile> fields = checkedFields(listed.id);
    if (!fields) return false;
    if (!store_.updateUserDetails(listed.id, fields->name, fields->ssn, fields->phone)) {
        person_.showMessage(strings_.load(ids::kUserUpdateFailed), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        refreshList();
        return false;
    }
    const auto changeDetails = [&fields](Profile& p) {
        p.name = fields->name;
        p.ssn = fields->ssn;
        p.phone = fields->phone;
    };
    changeDetails(listed);
    for (Profile& p : user_.users) {
        if (p.id == listed.id) changeDetails(p);
    }
    if (user_.id == listed.id) changeDetails(user_);
    return true;
}

int ProfileDlgLogic::deleteSelected() {
    if (selection_ < 0) return 0;
    const Profile victim = profileAt(selection_);
    // Named with the identity code: two people may share a name.
    if (!person_.askDestructive(fillPlaceholder(strings_.load(ids::kConfirmDeleteUser), entryText(victim)),
                                strings_.load(ids::kCaptionQuestion))) {
        return 0;
    }
    if (!store_.deleteUser(user_, victim)) {
        person_.showMessage(strings_.load(ids::kDeleteFailed), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        return 0;
    }
    users_.erase(users_.begin() + selection_);
    if (users_.empty()) {
        selection_ = -1;
    } else if (selection_ >= count()) {
        selection_ = count() - 1;
    }
    return 0;
}

void ProfileDlgLogic::lookupName() {
    if (!service_ || lookupPending()) return;
    const Text code = trimmed(ssn);
    if (!hasIdentityCode(code)) {
        person_.showMessage(strings_.load(ids::kIdentityCodeMissing), strings_.load(ids::kCaptionError),
                            MessageIcon::Error);
        return;
    }
    if (!signedInForService(user_, person_, strings_, service_)) return;
    if (!client_) client_ = service_.makeClient([this] { nameReply(); });
    client_->setCredentials(user_.account_name, user_.account_password);
    if (GetPouchData(*client_, code, strings_.load(ids::kLanguageCode))) lookupSsn_ = code;
}

void ProfileDlgLogic::nameReply() {
    if (!lookupSsn_) return;
    const Text asked = *lookupSsn_;
    lookupSsn_.reset();
    Text payload;
    const int code = ReadReply(*client_, payload);
    const auto error = [this](const Text& text) {
        person_.showMessage(text, strings_.load(ids::kCaptionError), MessageIcon::Error);
    };
    if (trimmed(ssn) != asked) {
        error(strings_.load(ids::kIdentityCodeChangedMeanwhile));
    } else if (code != kResultOk) {
        error(pouchReplyMessage(code, client_->failure(), strings_, true));
    } else if (const Text found = ParsePouchData(payload).name; !found.empty()) {
        name = withoutLineFeeds(found);
    }
    if (lookupDone_) lookupDone_();
}

}  // namespace velmora
