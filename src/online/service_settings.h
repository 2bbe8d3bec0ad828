#pragma once
// Where the web service lives and what the client trusts. The address is
// compiled in; staging and tests point the program elsewhere through the
// environment:
//   VELMORA_SERVICE_URL  https address of the service, e.g. https://127.0.0.1:8443
//   VELMORA_SERVICE_CA   a PEM file of extra certificate authorities to trust
//                        besides the system's own
#include <string>

namespace velmora {

// The address the program was built with.
std::string defaultServiceUrl();

struct ServiceSettings {
    // Scheme, host and optional port, without a trailing slash. Only https
    // addresses are ever contacted.
    std::string url = defaultServiceUrl();
    // Extra CA certificates (PEM); empty for none.
    std::string extraCaFile;
    // Inactivity limit of a transfer in milliseconds; -1 for none.
    int receiveTimeoutMs = 10000;

    // The compiled-in values with the environment's overrides applied.
    static ServiceSettings fromEnvironment();
};

}  // namespace velmora
