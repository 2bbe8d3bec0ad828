#include "ui/logic/account/backup_dlg_logic.h"

#include "online/service_protocol.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "store/credentials.h"
#include "store/database_file.h"
#include "store/record_store.h"

namespace velmora {

BackupDlgLogic::BackupDlgLogic(CurrentUser& user, RecordStore& store, const StringSource& strings,
                               Interaction& ui, const Clock& clock, ServiceAccess service)
    : user_(user), store_(store), strings_(strings), ui_(ui), clock_(clock), service_(std::move(service)) {}

BackupDlgLogic::~BackupDlgLogic() = default;

Text BackupDlgLogic::title() const { return strings_.load(ids::kBackupTitle); }

Text BackupDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdLatestCaption: return strings_.load(ids::kLatestBackup);
        case kIdLatest: return latest_;
        case kIdBackup: return strings_.load(ids::kMakeBackup);
        case kIdRestore: return strings_.load(ids::kRestoreBackup);
        case kIdOk: return strings_.load(ids::kCloseButton);
        default: return {};
    }
}

void BackupDlgLogic::initialise() {
    latest_ = "-";
    restoreEnabled_ = false;
    client_ = service_.makeClient([this] { replyArrived(); });
    client_->setCredentials(user_.account_name, user_.account_password);
    const Text language = strings_.load(ids::kLanguageCode);
    send(kDateAsked, [&](ServiceClient& c) { return GetBackupDate(c, language); });
}

void BackupDlgLogic::close() { client_.reset(); }

void BackupDlgLogic::backup() {
    if (!backupEnabled()) return;
    std::string bytes;
    switch (snapshotDatabase(store_.databasePath(), bytes)) {
        case SnapshotResult::TooLarge:
            return message(ids::kBackupTooLarge, ids::kCaptionError, MessageIcon::Error);
        case SnapshotResult::Unreadable:
            return message(ids::kBackupDatabaseUnreadable, ids::kCaptionError, MessageIcon::Error);
        case SnapshotResult::Ok: break;
    }
    backupEnabled_ = restoreEnabled_ = false;
    send(kBackupSent, [&](ServiceClient& c) { return SendDatabase(c, bytes); });
}

// Restoring replaces the database: the person confirms first, with No as
// the default, knowing which backup comes and that the present database
// is kept as a dated copy. The date is what the service answered.
void BackupDlgLogic::restore() {
    if (!restoreEnabled()) return;
    if (latest_ == "-") return restoreFailed(strings_.load(ids::kNoBackupOnService));
    if (!ui_.askDestructive(fillPlaceholder(strings_.load(ids::kConfirmRestore), latest_),
                            strings_.load(ids::kCaptionQuestion)))
        return;
    backupEnabled_ = restoreEnabled_ = false;
    const Text language = strings_.load(ids::kLanguageCode);
    send(kRestoreSent, [&](ServiceClient& c) { return Restore(c, language); });
}

void BackupDlgLogic::send(Mode mode, const std::function<bool(ServiceClient&)>& action) {
    if (!client_) return;
    mode_ = mode;
    action(*client_);
    notify();
}

void BackupDlgLogic::replyArrived() {
    if (mode_ == kRestoreSent) return restoreReply();
    Text payload;
    const int code = ReadReply(*client_, payload);
    const Mode mode = mode_;
    if (code == kResultTransferFailed) {
        mode_ = kIdle;
        const ServiceFailure why = client_->failure();
        if (mode == kBackupSent && why == ServiceFailure::Unreachable) {
            message(ids::kNoNetwork, ids::kCaptionConfirmation, MessageIcon::Error);
        } else if (mode == kBackupSent) {
            ui_.showMessage(serviceFailedText(strings_, why), strings_.load(ids::kCaptionError), MessageIcon::Error);
        } else if (mode == kDateAsked) {
            // Not "-": that would read as "no backup yet".
            latest_ = strings_.load(ids::kServiceNotReached);
            restoreEnabled_ = false;
        }
    } else if (code == kResultWrongCredentials) {
        mode_ = kIdle;
        message(ids::kWrongCredentials, ids::kCaptionError, MessageIcon::Error);
    } else if (code == kResultOk) {
        if (mode == kBackupSent) {
            backupEnabled_ = restoreEnabled_ = true;
            message(ids::kBackedUp, ids::kCaptionConfirmation, MessageIcon::Information);
            // The label follows the backup just made.
            const Text language = strings_.load(ids::kLanguageCode);
            send(kDateAsked, [&](ServiceClient& c) { return GetBackupDate(c, language); });
        } else if (mode == kDateAsked) {
            latest_ = payload;
            restoreEnabled_ = true;
            mode_ = kIdle;
        }
    } else {
        mode_ = kIdle;
        ui_.showMessage(serviceFailedText(strings_, client_->failure()), strings_.load(ids::kCaptionError),
                        MessageIcon::Error);
    }
    notify();
}

// The reply is the backed-up database itself. It replaces the database
// only when it is one of this program, and never half. The mode stays.
void BackupDlgLogic::restoreReply() {
    backupEnabled_ = restoreEnabled_ = true;
    notify();
    if (client_->replyState() != kReplyComplete)
        return restoreFailed(serviceFailureText(strings_, client_->failure()));
    switch (replaceDatabase(store_.databasePath(), client_->reply(), clock_.localNow())) {
        case RestoreResult::Replaced: break;
        case RestoreResult::NotWritten: return restoreFailed(strings_.load(ids::kRestoreNotWritten));
        case RestoreResult::NotADatabase: {
            // A short text reply is the service's own answer.
            Text payload;
            const int code = client_->reply().size() < kMinimumRestoreBytes ? ReadReply(*client_, payload) : 0;
            return restoreFailed(strings_.load(code == kResultWrongCredentials ? ids::kWrongCredentials
                                               : code == kResultNoBackup       ? ids::kNoBackupOnService
                                                                               : ids::kRestoreReplyNotDatabase));
        }
    }
    // The restored database holds the account in use.
    saveAccount(store_, user_, user_.account_password);
    if (restored_) restored_();
    message(ids::kBackupRestored, ids::kCaptionConfirmation, MessageIcon::Information);
}

// "Varmuuskopiota ei voitu palauttaa!" and why.
void BackupDlgLogic::restoreFailed(const Text& why) {
    const Text failed = strings_.load(ids::kRestoreFailed);
    ui_.showMessage(why.empty() ? failed : failed + "\n\n" + why, strings_.load(ids::kCaptionConfirmation),
                    MessageIcon::Error);
}

void BackupDlgLogic::message(int textId, int captionId, MessageIcon icon) {
    ui_.showMessage(strings_.load(textId), strings_.load(captionId), icon);
}

}  // namespace velmora
