#pragma once
// The web account seen from the main window: the sign-in at start-up (the
// legacy password prompt or the sign-in dialog), the account dialog
// (cmd::kAccount, and for any command that needs the person signed in
// first), the password change (cmd::kChangePassword) and the web pages
// (cmd::kCheckUpdates, cmd::kRegister).
#include <filesystem>

#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/logic/account/web_links.h"
#include "ui/logic/command.h"

namespace velmora {

// Start-up: false ends the program with `exitCode` (2 the legacy prompt
// cancelled, 1 the sign-in cancelled). `dataDirectory` is where the legacy
// settings file "settings.dat" may lie.
bool signInAtStartup(const AccountContext& c, const std::filesystem::path& dataDirectory, int& exitCode);

class AccountCommand final : public Command {
public:
    explicit AccountCommand(AccountContext context) : c_(context) {}
    void start() override {
        runDialog();
        finish();
    }
    // The account dialog; its result: kIdOk signed in, kIdCancel closed.
    int runDialog();

private:
    AccountContext c_;
};

// After kIdOk the new password is in use and stored.
class ChangePasswordCommand final : public Command {
public:
    explicit ChangePasswordCommand(AccountContext context) : c_(context) {}
    void start() override {
        runChangePasswordDialog(c_);
        finish();
    }

private:
    AccountContext c_;
};

// Opens `link` of the service's web site in the language in use.
class WebPageCommand final : public Command {
public:
    WebPageCommand(UiHost& host, const StringSource& strings, const ServiceAccess& service, WebLink link)
        : host_(host), strings_(strings), service_(service), link_(link) {}
    void start() override;

private:
    UiHost& host_;
    const StringSource& strings_;
    const ServiceAccess& service_;
    WebLink link_;
};

}  // namespace velmora
