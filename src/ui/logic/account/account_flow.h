#pragma once
// The web account seen from the main window: the sign-in at start-up
// (the legacy password prompt or the sign-in dialog), the account dialog
// (40011, and for other flows that need a signed-in person first), the
// password change (40014), and the web pages (40009, 40007).
#include <filesystem>

#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

class AccountFlow {
public:
    struct Setup {
        ServiceAccess service;
        // Where the legacy settings file "settings.dat" may lie.
        std::filesystem::path dataDirectory;
    };

    explicit AccountFlow(Setup setup) : setup_(std::move(setup)) {}
    const ServiceAccess& service() const { return setup_.service; }

    // Start-up: false ends the program with `exitCode` (2 the legacy
    // prompt cancelled, 1 the sign-in cancelled).
    bool signIn(MainDlgLogic& main, int& exitCode);
    // The account dialog; its result: 1 signed in, 2 closed.
    int runAccountDialog(MainDlgLogic& main);
    // The password change; after 1 the new password is in use and stored.
    int changePassword(MainDlgLogic& main);

    void openUpdatePage(MainDlgLogic& main);
    void openRegistrationPage(MainDlgLogic& main);

private:
    AccountContext context(MainDlgLogic& main) const {
        return {main.user(), main.store(), main.strings(), main.host(), setup_.service};
    }

    Setup setup_;
};

}  // namespace velmora
