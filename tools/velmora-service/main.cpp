// velmora-service: the substitute web service for development, staging
// and manual tests. Serves the service's actions over HTTPS until it is
// interrupted (Ctrl+C or SIGTERM).
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "core/cp1252.h"
#include "velmora-service/pki.h"
#include "velmora-service/service_logic.h"
#include "velmora-service/substitute_service.h"

namespace {

void usage() {
    std::cerr
        << "usage: velmora-service [options]\n"
           "  --host ADDRESS        address to listen on (default 127.0.0.1)\n"
           "  --port N              port (default 8443; 0 = any free port)\n"
           "  --pki-dir DIR         use DIR/server.pem and DIR/server.key, creating a\n"
           "                        development CA (DIR/ca.pem) and server certificate\n"
           "                        for localhost and 127.0.0.1 when missing\n"
           "                        (default ./velmora-service-pki)\n"
           "  --cert FILE --key FILE  use this server certificate and key instead\n"
           "  --account USER:PASSWORD  an account (repeatable)\n"
           "  --person SSN          a person without pouch data (repeatable)\n"
           "  --pouch SSN=FILE      a person whose pouch data text is in FILE (repeatable)\n";
}

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    using namespace velmora::service;

    // Signals are taken synchronously by sigwait below.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    SubstituteService::Options options;
    options.port = 8443;
    std::string pkiDir = "velmora-service-pki";
    ServiceLogic logic;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--host") {
            options.host = value();
        } else if (arg == "--port") {
            options.port = std::atoi(value().c_str());
        } else if (arg == "--pki-dir") {
            pkiDir = value();
        } else if (arg == "--cert") {
            options.certFile = value();
        } else if (arg == "--key") {
            options.keyFile = value();
        } else if (arg == "--account") {
            const std::string v = value();
            const auto colon = v.find(':');
            if (colon == std::string::npos) {
                usage();
                return 2;
            }
            // Typed as UTF-8; the program sends Windows-1252.
            logic.addAccount(toCp1252(v.substr(0, colon)), toCp1252(v.substr(colon + 1)));
        } else if (arg == "--person") {
            logic.setPouchData(toCp1252(value()), "");
        } else if (arg == "--pouch") {
            const std::string v = value();
            const auto eq = v.find('=');
            std::string text;
            if (eq == std::string::npos || !readFile(v.substr(eq + 1), text)) {
                std::cerr << "cannot read pouch data: " << v << "\n";
                return 2;
            }
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            logic.setPouchData(toCp1252(v.substr(0, eq)), toCp1252(text));
        } else {
            usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    if (options.certFile.empty() != options.keyFile.empty()) {
        std::cerr << "--cert and --key go together\n";
        return 2;
    }
    if (options.certFile.empty()) {
        if (!ensureDevelopmentCertificates(pkiDir)) {
            std::cerr << "cannot create certificates in " << pkiDir << "\n";
            return 1;
        }
        options.certFile = (std::filesystem::path(pkiDir) / "server.pem").string();
        options.keyFile = (std::filesystem::path(pkiDir) / "server.key").string();
        std::cout << "VELMORA_SERVICE_CA="
                  << std::filesystem::absolute(std::filesystem::path(pkiDir) / "ca.pem").string()
                  << "\n";
    }

    SubstituteService server(logic);
    if (!server.start(options)) {
        std::cerr << "velmora-service: " << server.error() << "\n";
        return 1;
    }
    std::cout << "VELMORA_SERVICE_URL=" << server.url() << "\n" << std::flush;

    int sig = 0;
    sigwait(&signals, &sig);
    server.stop();
    return 0;
}
