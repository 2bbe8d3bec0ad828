#pragma once
// ServiceClient carries one HTTPS POST at a time to the web service and
// hands the raw reply back. The transfer runs on the client's own worker
// thread; when it ends, the finished outcome is handed to the owner's
// thread through the "post to owner" function given at construction, and
// there the reply notice runs. The owner never waits: it sends, returns to
// its event loop, and reads the reply when the notice comes.
//
// Every public member is called on the owner's thread. The worker never
// touches the reply fields: it builds the outcome on its own and the
// posted task moves it in, on the owner's thread, just before the notice.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/types.h"
#include "online/service_settings.h"

namespace velmora {

// Reply states.
inline constexpr int kReplyNone = 0;       // no reply (also after 401 or a request that ended early)
inline constexpr int kReplyComplete = 1;   // the whole body arrived
inline constexpr int kReplyFailed = -10;   // the transfer failed; see failure()

// Why a request brought no usable reply, in terms the person can act on
// (the dialogs say it in the language in use; lastErrorText() holds the
// technical detail).
enum class ServiceFailure {
    None,         // a reply arrived, or the request was cancelled
    Unreachable,  // the host name did not resolve or nobody answered the connection
    TimedOut,     // the service went silent for the receive timeout
    BrokeOff,     // the connection ended before the reply was complete
    NotSecure,    // no verified TLS connection (certificate, handshake, CA file)
    BadAddress,   // the service address is not an https address
    TooLarge,     // the reply passed kMaxReplyBytes
    Refused,      // HTTP 401
    Other,
};

class ServiceClient {
public:
    using Task = std::function<void()>;
    // Must queue the task to run later on the owner's thread; may be called
    // from the worker thread.
    using PostToOwner = std::function<void(Task)>;
    // The reply notice: runs on the owner's thread once per request sent.
    using ReplyNotice = std::function<void()>;

    static constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 6.0;Windows NT 5.1)";
    // Largest reply accepted; a backup is at most 10 MB.
    static constexpr std::size_t kMaxReplyBytes = 64u * 1024u * 1024u;

    ServiceClient(ServiceSettings settings, PostToOwner post, ReplyNotice notice);
    // Aborts a transfer still out and waits for the worker to end; no
    // notice follows.
    ~ServiceClient();
    ServiceClient(const ServiceClient&) = delete;
    ServiceClient& operator=(const ServiceClient&) = delete;

    void setCredentials(const Text& userName, const Text& password);
    const Text& userName() const { return userName_; }
    const Text& password() const { return password_; }

    const ServiceSettings& settings() const { return settings_; }
    void setReceiveTimeoutMs(int ms) { settings_.receiveTimeoutMs = ms; }

    // The request: path on the service host, extra header lines (each
    // ending in CR LF) and the body bytes, sent exactly as given.
    void setObjectName(const std::string& path) { objectName_ = path; }
    void setRequestHeaders(const std::string& headers) { headers_ = headers; }
    void setRequestBody(std::string body) { body_ = std::move(body); }
    const std::string& objectName() const { return objectName_; }
    const std::string& requestHeaders() const { return headers_; }
    const std::string& requestBody() const { return body_; }

    // Starts the POST and returns at once. False, with nothing sent and no
    // notice to come, while an earlier request has not been noticed yet.
    bool send();
    // True from send() until the notice of that request has run.
    bool busy() const { return busy_; }

    int replyState() const { return replyState_; }
    std::size_t replySize() const { return reply_.size(); }
    const std::string& reply() const { return reply_; }
    // Why the last request failed, ServiceFailure::None when it did not.
    ServiceFailure failure() const { return failure_; }
    // The same in technical English (with libcurl's own words), empty when
    // it did not fail; for diagnostics, never for the person.
    const Text& lastErrorText() const { return lastError_; }
    // HTTP status of the last reply, 0 when none arrived.
    long lastStatus() const { return lastStatus_; }

    // What a finished transfer produced (built on the worker thread).
    struct Outcome {
        int state = kReplyNone;
        long status = 0;
        std::string body;
        Text error;
        ServiceFailure failure = ServiceFailure::None;
    };

private:
    struct Job {
        std::string url;
        std::string headers;
        std::string body;
        std::string extraCaFile;
        std::string noProxy;
        int timeoutMs = -1;
        std::weak_ptr<int> alive;
    };

    void workerLoop();
    Outcome perform(const Job& job);
    void deliver(Outcome outcome);

    ServiceSettings settings_;
    PostToOwner post_;
    ReplyNotice notice_;

    Text userName_;
    Text password_;
    std::string objectName_;
    std::string headers_;
    std::string body_;

    bool busy_ = false;
    int replyState_ = kReplyNone;
    long lastStatus_ = 0;
    std::string reply_;
    Text lastError_;
    ServiceFailure failure_ = ServiceFailure::None;

    // Liveness token: tasks posted to the owner hold a weak reference and
    // do nothing once the client is gone.
    std::shared_ptr<int> alive_;

    // Worker hand-over.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::unique_ptr<Job> pending_;
    bool stopping_ = false;
    std::atomic<bool> abort_{false};
    void* multi_ = nullptr;  // CURLM*, shared with the destructor for wake-ups
    std::thread worker_;
};

}  // namespace velmora
