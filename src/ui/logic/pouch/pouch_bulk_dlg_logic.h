#pragma once
// The bulk update dialog: updates the pouch alarms of every user with an identity code
// from the service, one request at a time, asking nothing per person.
// Shows whose data is being fetched with the progress, and at the end the
// persons whose data could not be updated (with the reason) and the users
// whose reminders must be programmed again.
#include <functional>
#include <memory>
#include <vector>

#include "online/pouch.h"
#include "store/record_store.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class PouchBulkDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 188;

    // Works on the users stored in `store`; the one that is `current` is
    // updated through it (with `currentRule`), so the main window keeps
    // what the database holds. Every other user keeps its stored
    // programming flag unless its alarms changed.
    PouchBulkDlgLogic(CurrentUser& current, RecordStore& store, const StringSource& strings,
                      Interaction& person, ServiceAccess service,
                      PouchConversion currentRule);

    int templateId() const override { return kTemplateId; }
    Text title() const;
    Text buttonText() const;  // "Peruuta" while running, "Sulje" at the end

    // Users with an identity code, in list order.
    int count() const { return static_cast<int>(persons_.size()); }
    // Sends the first request.
    void start();
    // Cancel or Close: stops the run, leaving the users not yet answered
    // as they are. The result that ends the dialog.
    int cancel();
    bool finished() const { return finished_; }
    // Persons answered so far.
    int done() const { return next_; }
    // "Haetaan käyttäjän %s pussitustietoja" while running; the outcome
    // (updated, not updated, interrupted) at the end.
    Text statusText() const;
    // At the end: "name (ssn): reason" of each person not updated, then the
    // users whose reminders must be programmed again.
    std::vector<Text> resultLines() const;
    // Told after each reply and at the end.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    void sendNext();
    void reply();
    // Converts the pouch data of person `p`; 0 on success, else the
    // string id of the reason.
    int update(const Profile& p, const Text& payload);
    void finish(int statusId);

    CurrentUser& current_;
    RecordStore& store_;
    const StringSource& strings_;
    Interaction& person_;
    ServiceAccess service_;
    PouchConversion currentRule_;
    std::unique_ptr<ServiceClient> client_;
    std::vector<Profile> persons_;
    int next_ = 0;  // index of the person asked for
    bool finished_ = false;
    int statusId_ = 0;
    std::vector<Text> notUpdated_;
    std::vector<Text> toProgram_;
    std::function<void()> listener_;
};

}  // namespace velmora
