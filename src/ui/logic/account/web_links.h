#pragma once
// The web pages the program points the person at. Nothing is fetched: each
// address goes to the desktop (the host's openUrl), which opens the browser. The pages live on
// the service's own host (a deployment setting, see online/service_settings.h)
// and are always opened over https.
#include "core/types.h"

namespace velmora {

// Which page of the web site.
enum class WebLink {
    UpdateCheck,          // menu 40009
    Registration,         // menu 40007
    AccountRegistration,  // link 1002 of the account dialog
    AccountForgot,        // link 1006 of the account dialog
    LoginForgot,          // link 1000 of the sign-in dialog
};

// The address of `link` on the site of the service at `serviceUrl`
// ("https://host[:port]"; another scheme is replaced by https), with the
// client type and `language` (string 40153) in its query.
Text webLinkAddress(WebLink link, const std::string& serviceUrl, const Text& language);

}  // namespace velmora
