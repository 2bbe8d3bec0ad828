#pragma once
// The backup dialog (BackupDlgLogic::kTemplateId): the date of the latest backup on the
// service, "Tee varmuuskopio" that sends a checked snapshot of the database
// and "Palauta varmuuskopio" that puts the service's copy in its place
// when it is a usable database of this program. The dialog owns one
// ServiceClient; each request's reply comes back through replyArrived().
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/interaction.h"
#include "core/records.h"
#include "online/service_client.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class RecordStore;

class BackupDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 201;
    static constexpr int kIdLatest = 1004;
    static constexpr int kIdLatestCaption = 1005;
    static constexpr int kIdBackup = 1006;
    static constexpr int kIdRestore = 1007;

    // The request that is out.
    enum Mode { kIdle = 0, kBackupSent = 1, kRestoreSent = 2, kDateAsked = 3 };

    BackupDlgLogic(CurrentUser& user, RecordStore& store, const StringSource& strings, Interaction& ui,
                   const Clock& clock, ServiceAccess service);
    ~BackupDlgLogic() override;
    int templateId() const override { return kTemplateId; }

    Text title() const;
    // Texts of kIdLatestCaption, kIdBackup, kIdRestore and the close
    // button; the latest backup for kIdLatest.
    Text controlText(int controlId) const;

    // Creates the client with the account in use, then asks for the date
    // of the latest backup.
    void initialise();
    // Drops the client (the dialog closes): a request still out ends
    // without a reply.
    void close();
    void backup();   // kIdBackup
    // kIdRestore: asks first (No is the default), naming the backup's date.
    void restore();
    // The reply notice of the dialog's client.
    void replyArrived();

    int mode() const { return mode_; }
    // A request is out: the wait cursor, and neither button can start another.
    bool waiting() const { return client_ && client_->busy(); }
    bool backupEnabled() const { return backupEnabled_ && !waiting(); }
    bool restoreEnabled() const { return restoreEnabled_ && !waiting(); }
    const Text& latestBackup() const { return latest_; }

    // Runs when what the dialog shows changed.
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
    // Runs right after a restore replaced the database (before the person
    // is told), so that the main window shows the restored data.
    void setRestoredListener(std::function<void()> listener) { restored_ = std::move(listener); }

private:
    void send(Mode mode, const std::function<bool(ServiceClient&)>& action);
    void restoreReply();
    void restoreFailed(const Text& why);
    void message(int textId, int captionId, MessageIcon icon);
    void notify() {
        if (changed_) changed_();
    }

    CurrentUser& user_;
    RecordStore& store_;
    const StringSource& strings_;
    Interaction& ui_;
    const Clock& clock_;
    ServiceAccess service_;
    std::unique_ptr<ServiceClient> client_;
    Mode mode_ = kIdle;
    bool backupEnabled_ = true;
    // Only once the service has named its backup (or said there is none).
    bool restoreEnabled_ = false;
    Text latest_ = "-";
    std::function<void()> changed_;
    std::function<void()> restored_;
};

}  // namespace velmora
