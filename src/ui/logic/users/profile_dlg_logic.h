#pragma once
// User management: lists the users, chooses one as the current user,
// creates a user (who becomes the current user), changes a user's
// details or deletes one.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/clock.h"
#include "core/interaction.h"
#include "core/records.h"
#include "store/record_store.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class ProfileDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 161;

    // Control ids of the dialog.
    static constexpr int kIdListFrame = 1000;
    static constexpr int kIdList = 1001;
    static constexpr int kIdChoose = 1008;   // also the result "user chosen"
    static constexpr int kIdDelete = 1009;
    static constexpr int kIdNewFrame = 1002;
    static constexpr int kIdNameCaption = 1011;
    static constexpr int kIdName = 1004;
    static constexpr int kIdSsnCaption = 1012;
    static constexpr int kIdSsn = 1003;
    static constexpr int kIdPhoneCaption = 1010;
    static constexpr int kIdPhone = 1013;
    static constexpr int kIdLookup = 1006;   // shown when the service is at hand
    static constexpr int kIdSaveChanges = 41357;  // the selected user's details
    static constexpr int kIdCreate = kIdOk;  // also the result "user created"
    static constexpr int kIdClose = kIdCancel;
    // The list's search field and column headings (no template control).
    static constexpr int kIdSearch = -1;
    static constexpr int kIdNameColumn = -2;
    static constexpr int kIdSsnColumn = -3;

    // The dialog works on `user` (its list of users and the selected user)
    // through `store`. Choosing a user loads it at `clock`'s present time
    // and lets `prepare` (when set) fill its alarm table for the reminder.
    // With `service`, kIdLookup looks the typed identity code's name up.
    ProfileDlgLogic(CurrentUser& user, RecordStore& store, const StringSource& strings,
                    Interaction& person, const Clock& clock, AlarmTablePreparer prepare = {},
                    ServiceAccess service = {});

    int templateId() const override { return kTemplateId; }

    Text title() const;
    // Texts of the frames, captions and buttons; empty for other ids.
    Text controlText(int controlId) const;

    // ---- The list ----
    int count() const { return static_cast<int>(users_.size()); }
    const Profile& profileAt(int index) const { return users_.at(static_cast<std::size_t>(index)); }
    // "name (ssn)".
    Text entryText(int index) const;
    static Text entryText(const Profile& profile);
    // -1 when no entry is selected.
    int selection() const { return selection_; }
    // An index outside the list clears the selection.
    void select(int index);
    // kIdChoose and kIdDelete are enabled only while an entry is selected:
    // nothing is chosen or deleted that the person did not pick.
    bool listButtonsEnabled() const { return selection_ >= 0; }

    // ---- The fields of a new user, or of the selected one to change ----
    Text name;
    Text ssn;
    Text phone;
    // Puts the selected user's name, ssn and phone into the fields.
    void showSelected();

    // The button that Enter presses: kIdChoose while the list has the focus,
    // 1 while a new-user field has it.
    enum class Focus { List, Name, Ssn, Phone, Other };
    void focusChanged(Focus focus);
    int defaultButton() const { return defaultButton_; }

    // ---- Actions; each returns the result that ends the dialog, or 0
    // when the dialog stays open. ----
    // kIdChoose or a double click: selects the selected user; kIdChoose.
    int choose();
    // Button 1 or Enter in the phone field: 1 when the user was created.
    // Letters the database cannot hold are refused with a message naming
    // them; a user with the same name and ssn as a listed one is created
    // only when the person says so.
    int create();
    // Stores the fields as the selected user's name, ssn and phone, with
    // the checks of create(); the dialog stays. True when stored.
    bool saveChanges();
    // kIdDelete: asks (No is the default answer), deletes; the dialog stays.
    int deleteSelected();
    // 2 or Esc.
    int close() const { return kIdClose; }

    // ---- Name lookup (kIdLookup) ----
    bool lookupOffered() const { return static_cast<bool>(service_); }
    // A lookup is out: kIdLookup waits, the cursor is the wait cursor.
    bool lookupPending() const { return lookupSsn_.has_value(); }
    // Asks the service for the pouch data of the typed ssn (signed in
    // only); the reply's name, when not empty, becomes `name`. A reply for
    // an ssn that was changed meanwhile is dropped.
    void lookupName();
    // Told when a lookup reply was handled: show `name` and `ssn` again.
    void setLookupListener(std::function<void()> listener) { lookupDone_ = std::move(listener); }

private:
    void refreshList();
    // The fields as they are stored (trimmed, "-" for no ssn), or nothing
    // when the person was told why not: no name, letters the database
    // cannot hold, or the name and ssn of another listed user (`self`
    // aside) that the person does not want twice.
    std::optional<Profile> checkedFields(int self);

    CurrentUser& user_;
    RecordStore& store_;
    const StringSource& strings_;
    Interaction& person_;
    const Clock& clock_;
    AlarmTablePreparer prepare_;

    void nameReply();

    ServiceAccess service_;
    std::unique_ptr<ServiceClient> client_;
    std::optional<Text> lookupSsn_;
    std::function<void()> lookupDone_;
    std::vector<Profile> users_;
    int selection_ = -1;
    int defaultButton_ = kIdChoose;
};

}  // namespace velmora
