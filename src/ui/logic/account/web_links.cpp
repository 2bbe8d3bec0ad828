#include "ui/logic/account/web_links.h"

#include "online/service_protocol.h"
#include "store/record_store.h"

namespace velmora {
namespace {

// The two numbers of the software version "v<major>.<minor>".
std::string versionPart(bool major) {
    const std::string v = kSoftwareVersion;
    const auto dot = v.find('.');
    return major ? v.substr(1, dot - 1) : v.substr(dot + 1);
}

// The site is the service's host; links are opened with https whatever
// scheme the service address was written with.
std::string siteOf(const std::string& serviceUrl) {
    const auto scheme = serviceUrl.find("://");
    return "https://" + (scheme == std::string::npos ? serviceUrl : serviceUrl.substr(scheme + 3));
}

}  // namespace

Text webLinkAddress(WebLink link, const std::string& serviceUrl, const Text& language) {
    const std::string type = kClientTypeCode;
    std::string path;
    switch (link) {
        case WebLink::UpdateCheck:
            path = "/velmora/redirect.php?lid=1&ma=" + versionPart(true) + "&mi=" + versionPart(false) + "&t=" +
                   type + "&l=" + language;
            break;
        case WebLink::Registration:
            path = "/velmora/redirect.php?lid=2&t=" + type + "&l=" + language;
            break;
        case WebLink::AccountRegistration:
            path = "/velmora/redirect?lid=4&t=" + type + "&l=" + language;
            break;
        case WebLink::AccountForgot:
            path = "/velmora/forgot.php?t=" + type + "&l=" + language;
            break;
        case WebLink::LoginForgot:
            path = "/velmora/forgot.php?l=" + language + "&t=" + type;
            break;
    }
    return siteOf(serviceUrl) + path;
}

}  // namespace velmora
