#include "online/service_settings.h"

#include <cstdlib>

#ifndef VELMORA_SERVICE_URL_DEFAULT
#define VELMORA_SERVICE_URL_DEFAULT "https://service.velmora.fi"
#endif

namespace velmora {
namespace {

std::string trimmed(std::string s, bool dropTrailingSlashes) {
    const char* ws = " \t\r\n";
    auto b = s.find_first_not_of(ws);
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(ws);
    s = s.substr(b, e - b + 1);
    while (dropTrailingSlashes && !s.empty() && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string defaultServiceUrl() { return trimmed(VELMORA_SERVICE_URL_DEFAULT, true); }

ServiceSettings ServiceSettings::fromEnvironment() {
    ServiceSettings s;
    if (const char* url = std::getenv("VELMORA_SERVICE_URL")) {
        std::string u = trimmed(url, true);
        if (!u.empty()) s.url = u;
    }
    if (const char* ca = std::getenv("VELMORA_SERVICE_CA")) {
        s.extraCaFile = trimmed(ca, false);
    }
    return s;
}

}  // namespace velmora
