#include "ui/logic/account/account_dialogs_logic.h"

#include "online/service_protocol.h"
#include "resources/string_ids.h"
#include "store/credentials.h"
#include "ui/logic/account/web_links.h"

namespace velmora {
namespace {

Text language(const AccountContext& c) { return c.strings.load(ids::kLanguageCode); }

void wrongCredentials(const AccountContext& c) {
    c.host.showMessage(c.strings.load(ids::kWrongCredentials), c.strings.load(ids::kCaptionError),
                       MessageIcon::Error);
}

void failed(const AccountContext& c, const ServiceClient& client) {
    c.host.showMessage(serviceFailedText(c.strings, client.failure()), c.strings.load(ids::kCaptionError),
                       MessageIcon::Error);
}

Text link(const AccountContext& c, WebLink which) {
    return webLinkAddress(which, c.service.settings.url, language(c));
}

}  // namespace

// ---- The sign-in that both dialogs send ----

SignInDialogModel::SignInDialogModel(const AccountContext& context, Text userName, Text password)
    : ServiceDialogModel(context.service),
      c_(context),
      userName_(std::move(userName)),
      password_(std::move(password)) {}

void SignInDialogModel::openLink(int controlId) {
    const Text address = linkAddress(controlId);
    if (!address.empty()) c_.host.openUrl(address);
}

bool SignInDialogModel::sendSignIn() {
    client().setCredentials(userName_, password_);
    mode_ = kModeSignIn;
    if (!CheckUser(client(), language(c_))) {
        mode_ = kModeIdle;
        return false;
    }
    busy_ = true;
    return true;
}

std::optional<int> SignInDialogModel::signInReply() {
    if (mode_ != kModeSignIn) return std::nullopt;
    mode_ = kModeIdle;
    busy_ = false;
    Text payload;
    return ReadReply(client(), payload);
}

Text SignInDialogModel::editLabel(int controlId) const {
    if (controlId == kIdUserNameLabel) return c_.strings.load(ids::kUserNameLabel);
    if (controlId == kIdPasswordLabel) return c_.strings.load(ids::kPasswordLabel);
    return {};
}

// ---- AccountDlg ----

AccountDlgLogic::AccountDlgLogic(const AccountContext& context)
    : SignInDialogModel(context, context.user.account_name, context.user.account_password),
      signedIn_(context.user.logged_in) {}

Text AccountDlgLogic::title() const { return c_.strings.load(ids::kAccountTitle); }

Text AccountDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdOk: return c_.strings.load(signedIn_ ? ids::kSignOut : ids::kSignIn);
        case kIdCancel: return c_.strings.load(ids::kCloseButton);
        case kIdChangePassword: return c_.strings.load(ids::kChangePassword);
        case kIdForgotLink: return c_.strings.load(ids::kForgotPassword);
        case kIdRegisterLink: return c_.strings.load(ids::kRegister);
        case kIdState: return c_.strings.load(signedIn_ ? ids::kSignedIn : ids::kNotSignedIn);
        default: return editLabel(controlId);
    }
}

bool AccountDlgLogic::enabled(int controlId) const {
    switch (controlId) {
        case kIdUserName:
        case kIdPassword: return requestControls_ && !signedIn_;
        case kIdOk:
        case kIdCancel:
        case kIdChangePassword: return requestControls_;
        default: return true;
    }
}

Text AccountDlgLogic::linkAddress(int controlId) const {
    if (controlId == kIdForgotLink) return link(c_, WebLink::AccountForgot);
    if (controlId == kIdRegisterLink) return link(c_, WebLink::AccountRegistration);
    return {};
}

void AccountDlgLogic::ok() {
    if (!requestControls_) return;
    if (signedIn_) {
        // Signing out sends nothing; the dialog stays open.
        signedIn_ = false;
        setLoggedIn(c_.store, c_.user, false);
        return;
    }
    if (sendSignIn()) requestControls_ = false;
}

void AccountDlgLogic::replyArrived() {
    const std::optional<int> code = signInReply();
    if (!code) return;
    requestControls_ = true;
    if (*code == kResultWrongCredentials) {
        wrongCredentials(c_);
    } else if (*code == kResultOk) {
        signedIn_ = true;
        setLoggedIn(c_.store, c_.user, true);
        c_.user.account_name = userName_;
        c_.user.account_password = password_;
        saveAccount(c_.store, c_.user, password_);
        end(kIdOk);
    } else {
        failed(c_, client());
    }
}

void AccountDlgLogic::changePassword() {
    if (!requestControls_) return;
    Text changed;
    if (runChangePasswordDialog(c_, &changed) == kIdOk) password_ = changed;
}

void AccountDlgLogic::cancel() {
    if (enabled(kIdCancel)) end(kIdCancel);
}

// ---- LoginDlg ----

// The stored account's name is filled in: only the password is asked.
LoginDlgLogic::LoginDlgLogic(const AccountContext& context)
    : SignInDialogModel(context, context.user.settings.username, {}) {}

Text LoginDlgLogic::title() const { return c_.strings.load(ids::kAccountTitle); }

Text LoginDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdOk: return c_.strings.load(ids::kOk);
        case kIdCancel: return c_.strings.load(ids::kCancel);
        case kIdForgotLink: return c_.strings.load(ids::kForgotPassword);
        default: return editLabel(controlId);
    }
}

bool LoginDlgLogic::enabled(int controlId) const {
    return (controlId != kIdOk && controlId != kIdCancel) || buttonsEnabled_;
}

Text LoginDlgLogic::linkAddress(int controlId) const {
    return controlId == kIdForgotLink ? link(c_, WebLink::LoginForgot) : Text();
}

void LoginDlgLogic::ok() {
    if (!buttonsEnabled_) return;
    if (sendSignIn()) buttonsEnabled_ = false;
}

void LoginDlgLogic::replyArrived() {
    const std::optional<int> code = signInReply();
    if (!code) return;
    if (*code == kResultOk) {
        end(kIdOk);
        return;
    }
    if (*code == kResultTransferFailed) {
        // No connection: the stored account lets the person in.
        if (checkAccount(c_.user, userName_, password_)) {
            end(kIdOk);
            return;
        }
        wrongCredentials(c_);
    } else if (*code == kResultWrongCredentials) {
        wrongCredentials(c_);
    } else {
        failed(c_, client());
    }
    buttonsEnabled_ = true;
}

void LoginDlgLogic::cancel() {
    if (buttonsEnabled_) end(kIdCancel);
}

// ---- LoginPwDlg ----

Text LoginPwDlgLogic::title() const { return strings_.load(ids::kEnterPassword); }

Text LoginPwDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdPasswordLabel: return strings_.load(ids::kPasswordLabel);
        case kIdOk: return strings_.load(ids::kOk);
        case kIdCancel: return strings_.load(ids::kCancel);
        default: return {};
    }
}

void LoginPwDlgLogic::ok() {
    if (password_ == user_.account_password) {
        end(kIdOk);
        return;
    }
    person_.showMessage(strings_.load(ids::kWrongPassword), strings_.load(ids::kCaptionError),
                        MessageIcon::Error);
}

// ---- ChangePasswordDlg ----

ChangePasswordDlgLogic::ChangePasswordDlgLogic(const AccountContext& context)
    : ServiceDialogModel(context.service), c_(context) {}

Text ChangePasswordDlgLogic::title() const { return c_.strings.load(ids::kChangePassword); }

Text ChangePasswordDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdCurrentLabel: return c_.strings.load(ids::kCurrentPassword);
        case kIdNewLabel: return c_.strings.load(ids::kNewPassword);
        case kIdAgainLabel: return c_.strings.load(ids::kNewPasswordAgain);
        case kIdOk: return c_.strings.load(ids::kOk);
        case kIdCancel: return c_.strings.load(ids::kCancel);
        default: return {};
    }
}

void ChangePasswordDlgLogic::ok() {
    if (busy_) return;
    if (new_ != again_) {
        c_.host.showMessage(c_.strings.load(ids::kNewPasswordsDiffer), c_.strings.load(ids::kCaptionError),
                            MessageIcon::Error);
        return;
    }
    client().setCredentials(c_.user.account_name, c_.user.account_password);
    busy_ = ChangePassword(client(), current_, new_, again_);
}

void ChangePasswordDlgLogic::replyArrived() {
    busy_ = false;
    Text payload;
    const int code = ReadReply(client(), payload);
    if (code == kResultWrongCredentials) {
        wrongCredentials(c_);
    } else if (code == kResultOk) {
        c_.host.showMessage(c_.strings.load(ids::kPasswordChanged), c_.strings.load(ids::kCaptionConfirmation),
                            MessageIcon::Information);
        end(kIdOk);
    } else {
        failed(c_, client());
    }
}

int runChangePasswordDialog(const AccountContext& context, Text* newPassword) {
    ChangePasswordDlgLogic dlg(context);
    const int result = context.host.runDialog(dlg);
    if (result == kIdOk) {
        context.user.account_password = dlg.newPassword();
        saveAccount(context.store, context.user, dlg.newPassword());
        if (newPassword) *newPassword = dlg.newPassword();
    }
    return result;
}

}  // namespace velmora
