#pragma once
// The substitute web service over HTTPS (cpp-httplib with OpenSSL): serves
// ServiceLogic at the service path on a loopback address. Tests can script
// a reply per request (status, body in pieces with pauses, or silence) and
// read back every request exactly as it arrived.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "velmora-service/service_logic.h"

namespace velmora::service {

inline constexpr const char* kServicePathOnServer = "/velmora/service_velmora.php";

struct ReceivedRequest {
    std::string method;
    std::string path;
    std::string contentType;
    std::string userAgent;
    std::string body;  // byte for byte as received
};

// A reply chosen by a test instead of the service's own.
struct ScriptedReply {
    int status = 200;
    std::string body{};                 // sent whole, unless chunks are given
    std::vector<std::string> chunks{};  // sent one by one (chunked transfer encoding)
    std::chrono::milliseconds pause{0};    // before each chunk
    std::chrono::milliseconds silence{0};  // say nothing this long first (ends early on stop)
};
using Script = std::function<std::optional<ScriptedReply>(const ReceivedRequest&)>;

class SubstituteService {
public:
    struct Options {
        std::string host = "127.0.0.1";
        int port = 0;  // 0: any free port
        std::string certFile;
        std::string keyFile;
    };

    explicit SubstituteService(ServiceLogic& logic);
    ~SubstituteService();
    SubstituteService(const SubstituteService&) = delete;
    SubstituteService& operator=(const SubstituteService&) = delete;

    // Binds and starts serving on a thread of its own; returns once the
    // server runs. False (with a reason in error()) when it cannot start.
    bool start(const Options& options);
    void stop();
    bool running() const;
    int port() const { return port_; }
    // "https://<host>:<port>"
    std::string url() const;
    const std::string& error() const { return error_; }

    void setScript(Script script);
    std::vector<ReceivedRequest> received() const;
    void clearReceived();

private:
    struct Server;
    void serve(const ReceivedRequest& request, void* response);
    bool waitUnlessStopping(std::chrono::milliseconds ms);

    ServiceLogic& logic_;
    std::unique_ptr<Server> server_;
    std::thread thread_;
    std::atomic<bool> listenEnded_{true};
    std::string host_;
    int port_ = 0;
    std::string error_;

    mutable std::mutex mutex_;
    std::condition_variable stopWake_;
    bool stopping_ = false;
    Script script_;
    std::vector<ReceivedRequest> received_;
};

}  // namespace velmora::service
