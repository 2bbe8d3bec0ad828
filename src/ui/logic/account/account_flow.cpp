#include "ui/logic/account/account_flow.h"

#include "resources/string_ids.h"
#include "store/credentials.h"
#include "store/legacy_import.h"

namespace velmora {

bool signInAtStartup(const AccountContext& c, const std::filesystem::path& dataDirectory, int& exitCode) {
    CurrentUser& user = c.user;
    if (settingsFileExists(dataDirectory)) {
        // The older version's local password: asked once more, then the
        // prompt is gone for good. An empty one leaves everything as it is.
        readSettingsFile(dataDirectory, user);
        if (user.account_password.empty()) return true;
        LoginPwDlgLogic prompt(user, c.strings, c.host);
        if (c.host.runDialog(prompt) == kIdCancel) {
            exitCode = 2;
            return false;
        }
        deleteSettingsFile(dataDirectory);
        c.host.showMessage(c.strings.load(ids::kPasswordPromptRemoved),
                           c.strings.load(ids::kCaptionConfirmation), MessageIcon::Information);
        user.account_name.clear();
        user.account_password.clear();
        setLoggedIn(c.store, user, false);
        return true;
    }
    if (!user.logged_in) return true;
    LoginDlgLogic login(c);
    if (c.host.runDialog(login) != kIdOk) {
        exitCode = 1;
        return false;
    }
    user.account_name = login.userName();
    user.account_password = login.password();
    saveAccount(c.store, user, login.password());
    return true;
}

int AccountCommand::runDialog() {
    AccountDlgLogic dlg(c_);
    return c_.host.runDialog(dlg);
}

void WebPageCommand::start() {
    host_.openUrl(webLinkAddress(link_, service_.settings.url, strings_.load(ids::kLanguageCode)));
    finish();
}

}  // namespace velmora
