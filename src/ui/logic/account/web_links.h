#pragma once
// The web pages the program points the person at. Nothing is fetched: each
// address goes to the desktop (the host's openUrl), which opens the browser. The pages live on
// the service's own host (a deployment setting, see online/service_settings.h)
// and are always opened over https.
#include "core/types.h"

namespace velmora {

// Which page of the web site.
enum class WebLink {
    UpdateCheck,          // cmd::kCheckUpdates
    Registration,         // cmd::kRegister
    AccountRegistration,  // AccountDlgLogic::kIdRegisterLink
    AccountForgot,        // AccountDlgLogic::kIdForgotLink
    LoginForgot,          // LoginDlgLogic::kIdForgotLink
};

// The address of `link` on the site of the service at `serviceUrl`
// ("https://host[:port]"; another scheme is replaced by https), with the
// client type and `language` (ids::kLanguageCode) in its query.
Text webLinkAddress(WebLink link, const std::string& serviceUrl, const Text& language);

}  // namespace velmora
