#pragma once
// The web account's dialogs: the account dialog (sign in and out, change
// the password), the start-up sign-in, the legacy password prompt and the
// password change. Each service dialog owns its client, keeps one request
// out at a time and, while it is out, disables what could start another;
// a request that gets no answer ends with the client's idle limit as a
// failed transfer (-10), so the dialog always comes back.
#include <optional>

#include "core/records.h"
#include "store/record_store.h"
#include "ui/logic/account/service_dialog.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// The account state lives with the main window's CurrentUser.
struct AccountContext {
    CurrentUser& user;
    RecordStore& store;
    const StringSource& strings;
    UiHost& host;
    const ServiceAccess& service;
};

// What the account and the sign-in dialog share: the user name and
// password edits, their web links, and the sign-in request (CheckUser with
// what was typed, pending-request mode 2) with its reply.
class SignInDialogModel : public ServiceDialogModel {
public:
    static constexpr int kIdUserNameLabel = 1004;
    static constexpr int kIdPasswordLabel = 1005;
    static constexpr int kIdUserName = 57738;
    static constexpr int kIdPassword = 57739;

    const Text& userName() const { return userName_; }
    const Text& password() const { return password_; }
    void setUserName(const Text& t) { userName_ = t; }
    void setPassword(const Text& t) { password_ = t; }
    // The address a link opens; empty for other ids.
    virtual Text linkAddress(int controlId) const = 0;
    void openLink(int controlId);

protected:
    SignInDialogModel(const AccountContext& context, Text userName, Text password);
    // Sends the sign-in; false when it could not be sent.
    bool sendSignIn();
    // The code of the sign-in's reply; nothing when no sign-in was out.
    std::optional<int> signInReply();
    // The labels of the two edits; empty for other ids.
    Text editLabel(int controlId) const;

    AccountContext c_;
    Text userName_;
    Text password_;

private:
    static constexpr int kModeIdle = 0;
    static constexpr int kModeSignIn = 2;
    int mode_ = kModeIdle;
};

// The account dialog: signed-in and signed-out states, sign-in, sign-out,
// password change and two web links. Ends with 1 after a sign-in, 2 when
// closed.
class AccountDlgLogic : public SignInDialogModel {
public:
    static constexpr int kTemplateId = 203;
    static constexpr int kIdChangePassword = 1015;
    static constexpr int kIdForgotLink = 1006;
    static constexpr int kIdRegisterLink = 1002;
    static constexpr int kIdState = 1014;  // bold label: signed in or not

    explicit AccountDlgLogic(const AccountContext& context);
    int templateId() const override { return kTemplateId; }

    Text title() const;
    // Keyed controls, OK (sign in or out) and the state label; empty otherwise.
    Text controlText(int controlId) const;
    bool enabled(int controlId) const;
    bool signedIn() const { return signedIn_; }
    // kIdForgotLink and kIdRegisterLink.
    Text linkAddress(int controlId) const override;

    // OK: signs out (nothing is sent) or sends the sign-in.
    void ok();
    // kIdChangePassword: the password change; on success the new password is
    // in use, stored and shown.
    void changePassword();
    // Cancel and Esc: closes with 2 unless a request is out.
    void cancel();

private:
    void replyArrived() override;

    bool signedIn_ = false;
    bool requestControls_ = true;  // OK, Cancel, kIdChangePassword and both edits
};

// The sign-in dialog at start-up. Ends with 1 when signed in, with
// the service or (without a connection) against the stored account; 2
// when cancelled.
class LoginDlgLogic : public SignInDialogModel {
public:
    static constexpr int kTemplateId = 169;
    static constexpr int kIdForgotLink = 1000;

    explicit LoginDlgLogic(const AccountContext& context);
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;
    bool enabled(int controlId) const;  // OK and Cancel
    Text linkAddress(int controlId) const override;  // kIdForgotLink

    void ok();
    void cancel();

private:
    void replyArrived() override;

    bool buttonsEnabled_ = true;
};

// The legacy password prompt: asks for the password read from the legacy settings file.
// Ends with 1 when it matched, 2 when cancelled.
class LoginPwDlgLogic : public EndableDialogModel {
public:
    static constexpr int kTemplateId = 184;
    static constexpr int kIdPasswordLabel = 1000;
    static constexpr int kIdPassword = 1001;

    LoginPwDlgLogic(const CurrentUser& user, const StringSource& strings, Interaction& person)
        : user_(user), strings_(strings), person_(person) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;
    void setPassword(const Text& t) { password_ = t; }
    // Closes when the password equals the one in use (case-sensitive),
    // else tells the person and stays open.
    void ok();

private:
    const CurrentUser& user_;
    const StringSource& strings_;
    Interaction& person_;
    Text password_;
};

// The account password change dialog. Stores nothing itself: its
// opener does after a result of 1 (runChangePasswordDialog).
class ChangePasswordDlgLogic : public ServiceDialogModel {
public:
    static constexpr int kTemplateId = 179;
    static constexpr int kIdCurrentLabel = 1004;
    static constexpr int kIdNewLabel = 1005;
    static constexpr int kIdAgainLabel = 1006;
    static constexpr int kIdCurrent = 1007;
    static constexpr int kIdNew = 1008;
    static constexpr int kIdAgain = 1009;

    explicit ChangePasswordDlgLogic(const AccountContext& context);
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;
    // OK waits while the request is out.
    bool enabled(int controlId) const { return controlId != kIdOk || !busy_; }

    void setCurrent(const Text& t) { current_ = t; }
    void setNew(const Text& t) { new_ = t; }
    void setAgain(const Text& t) { again_ = t; }
    const Text& newPassword() const { return new_; }

    void ok();

private:
    void replyArrived() override;

    AccountContext c_;
    Text current_;
    Text new_;
    Text again_;
};

// Runs the password change; after a result of 1 the new password is the
// one in use and its digest is stored. The dialog's result.
int runChangePasswordDialog(const AccountContext& context, Text* newPassword = nullptr);

}  // namespace velmora
