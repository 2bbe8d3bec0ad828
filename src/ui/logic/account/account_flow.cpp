#include "ui/logic/account/account_flow.h"

#include "resources/string_ids.h"
#include "store/credentials.h"
#include "store/legacy_import.h"
#include "ui/logic/account/web_links.h"

namespace velmora {

bool AccountFlow::signIn(MainDlgLogic& main, int& exitCode) {
    CurrentUser& user = main.user();
    const StringSource& strings = main.strings();
    if (settingsFileExists(setup_.dataDirectory)) {
        // The older version's local password: asked once more, then the
        // prompt is gone for good. An empty one leaves everything as it is.
        readSettingsFile(setup_.dataDirectory, user);
        if (user.account_password.empty()) return true;
        LoginPwDlgLogic prompt(user, strings, main.host());
        if (main.host().runDialog(prompt) == kIdCancel) {
            exitCode = 2;
            return false;
        }
        deleteSettingsFile(setup_.dataDirectory);
        main.host().showMessage(strings.load(ids::kPasswordPromptRemoved),
                                strings.load(ids::kCaptionConfirmation), MessageIcon::Information);
        user.account_name.clear();
        user.account_password.clear();
        setLoggedIn(main.store(), user, false);
        return true;
    }
    if (!user.logged_in) return true;
    LoginDlgLogic login(context(main));
    if (main.host().runDialog(login) != kIdOk) {
        exitCode = 1;
        return false;
    }
    user.account_name = login.userName();
    user.account_password = login.password();
    saveAccount(main.store(), user, login.password());
    return true;
}

int AccountFlow::runAccountDialog(MainDlgLogic& main) {
    AccountDlgLogic dlg(context(main));
    return main.host().runDialog(dlg);
}

int AccountFlow::changePassword(MainDlgLogic& main) { return runChangePasswordDialog(context(main)); }

void AccountFlow::openUpdatePage(MainDlgLogic& main) {
    main.host().openUrl(
        webLinkAddress(WebLink::UpdateCheck, setup_.service.settings.url, main.strings().load(ids::kLanguageCode)));
}

void AccountFlow::openRegistrationPage(MainDlgLogic& main) {
    main.host().openUrl(
        webLinkAddress(WebLink::Registration, setup_.service.settings.url, main.strings().load(ids::kLanguageCode)));
}

}  // namespace velmora
