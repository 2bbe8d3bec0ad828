#include "online/service_client.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace velmora {
namespace {

using SteadyClock = std::chrono::steady_clock;

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// State of one transfer, touched only by the worker thread (libcurl calls
// the callbacks from inside curl_multi_perform).
struct Transfer {
    std::string body;
    bool tooLarge = false;
    bool idleExpired = false;
    bool caUnreadable = false;
    int timeoutMs = -1;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    const std::atomic<bool>* abort = nullptr;
    const std::string* extraCaFile = nullptr;

    void touch() { lastActivity = SteadyClock::now(); }
    long remainingMs() const {
        if (timeoutMs < 0) return 1000;
        auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                                          lastActivity);
        return static_cast<long>(timeoutMs) - static_cast<long>(idle.count());
    }
    bool expired() const { return timeoutMs >= 0 && remainingMs() <= 0; }
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->touch();
    if (t->body.size() + n > ServiceClient::kMaxReplyBytes) {
        t->tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    t->body.append(data, n);
    return n;
}

size_t onHeader(char*, size_t size, size_t count, void* user) {
    static_cast<Transfer*>(user)->touch();
    return size * count;
}

// The idle timer: any byte moving either way restarts it.
int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    auto* t = static_cast<Transfer*>(user);
    if (down != t->lastDown || up != t->lastUp) {
        t->lastDown = down;
        t->lastUp = up;
        t->touch();
    }
    if (t->abort->load()) return 1;
    if (t->expired()) {
        t->idleExpired = true;
        return 1;
    }
    return 0;
}

// Adds the extra certificate authorities to the ones OpenSSL already trusts.
CURLcode onSslContext(CURL*, void* sslContext, void* user) {
    auto* t = static_cast<Transfer*>(user);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    BIO* bio = BIO_new_file(t->extraCaFile->c_str(), "r");
    int added = 0;
    if (bio != nullptr) {
        while (X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
            X509_STORE_add_cert(store, cert);  // one already present is fine too
            ++added;
            X509_free(cert);
        }
        BIO_free(bio);
    }
    ERR_clear_error();
    if (added == 0) {
        t->caUnreadable = true;
        return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
}

std::string secondsText(int ms) {
    char buf[32];
    if (ms % 1000 == 0) std::snprintf(buf, sizeof buf, "%d", ms / 1000);
    else std::snprintf(buf, sizeof buf, "%.1f", ms / 1000.0);
    return buf;
}

// libcurl checks the host name itself once OpenSSL has accepted the chain,
// and then leaves the verify result at its initial "not OK" value (1); a
// chain problem ends the handshake earlier with OpenSSL's own code.
Text certificateText(long verifyResult) {
    switch (verifyResult) {
        case X509_V_OK:
        case X509_V_ERR_UNSPECIFIED:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return "The service's certificate was issued for another host name; the connection "
                   "was refused.";
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_CRL_HAS_EXPIRED:
        case X509_V_ERR_CRL_NOT_YET_VALID:
            return "The service's certificate has expired or is not yet valid; the connection "
                   "was refused.";
        default:
            return "The service's certificate is not signed by a trusted certificate authority; "
                   "the connection was refused.";
    }
}

ServiceFailure failureKind(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT: return ServiceFailure::BadAddress;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT: return ServiceFailure::Unreachable;
        case CURLE_OPERATION_TIMEDOUT: return ServiceFailure::TimedOut;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE: return ServiceFailure::BrokeOff;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_ISSUER_ERROR: return ServiceFailure::NotSecure;
        default: return ServiceFailure::Other;
    }
}

Text failureText(CURLcode code, long verifyResult, const std::string& url) {
    Text sentence;
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            sentence = "The service address is not a valid https address: " + url + ".";
            break;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
            sentence = "The service's host name could not be resolved. Check the network "
                       "connection.";
            break;
        case CURLE_COULDNT_CONNECT:
            sentence = "Could not connect to the service. Check the network connection.";
            break;
        case CURLE_OPERATION_TIMEDOUT:
            sentence = "The service did not answer in time.";
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
            sentence = certificateText(verifyResult);
            break;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
            sentence = "The connection to the service broke off before the reply was complete.";
            break;
        default:
            if (code == CURLE_SSL_CONNECT_ERROR || code == CURLE_SSL_ENGINE_NOTFOUND ||
                code == CURLE_SSL_CIPHER || code == CURLE_SSL_CERTPROBLEM ||
                code == CURLE_USE_SSL_FAILED || code == CURLE_SSL_ISSUER_ERROR) {
                sentence = "A secure connection to the service could not be established.";
            } else {
                sentence = "The transfer to the service failed.";
            }
    }
    return sentence;
}

// Splits "Name: value\r\n..." into header lines for libcurl.
curl_slist* headerList(const std::string& headers) {
    curl_slist* list = nullptr;
    std::size_t pos = 0;
    while (pos < headers.size()) {
        std::size_t end = headers.find('\n', pos);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) list = curl_slist_append(list, line.c_str());
        pos = end + 1;
    }
    // The whole body goes at once; no waiting for "100 Continue".
    list = curl_slist_append(list, "Expect:");
    return list;
}

// Loopback is never sent through a proxy, whatever the environment says.
std::string noProxyList() {
    std::string list;
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* v = std::getenv(name); v != nullptr && *v != '\0') {
            list = v;
            break;
        }
    }
    if (list == "*") return list;
    if (!list.empty()) list += ",";
    return list + "localhost,127.0.0.1,::1";
}

}  // namespace

ServiceClient::ServiceClient(ServiceSettings settings, PostToOwner post, ReplyNotice notice)
    : settings_(std::move(settings)),
      post_(std::move(post)),
      notice_(std::move(notice)),
      alive_(std::make_shared<int>(0)) {
    initCurlOnce();
    multi_ = curl_multi_init();
    worker_ = std::thread([this] { workerLoop(); });
}

ServiceClient::~ServiceClient() {
    alive_.reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    abort_ = true;
    wake_.notify_all();
    if (multi_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(multi_));
    if (worker_.joinable()) worker_.join();
    if (multi_ != nullptr) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void ServiceClient::setCredentials(const Text& userName, const Text& password) {
    userName_ = userName;
    password_ = password;
}

bool ServiceClient::send() {
    if (busy_) return false;
    busy_ = true;
    replyState_ = kReplyNone;
    lastStatus_ = 0;
    reply_.clear();
    lastError_.clear();
    failure_ = ServiceFailure::None;

    auto job = std::make_unique<Job>();
    job->url = settings_.url + objectName_;
    job->headers = headers_;
    job->body = body_;
    job->extraCaFile = settings_.extraCaFile;
    job->timeoutMs = settings_.receiveTimeoutMs;
    job->noProxy = noProxyList();
    job->alive = alive_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = std::move(job);
    }
    wake_.notify_all();
    return true;
}

void ServiceClient::workerLoop() {
    for (;;) {
        std::unique_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_ != nullptr; });
            if (stopping_) return;
            job = std::move(pending_);
        }
        Outcome outcome = perform(*job);
        if (abort_) return;  // the owner is going away: nobody to tell
        if (!post_) continue;  // nobody to hand it to
        std::weak_ptr<int> alive = job->alive;
        post_([this, alive, outcome = std::move(outcome)]() mutable {
            if (alive.lock()) deliver(std::move(outcome));
        });
    }
}

void ServiceClient::deliver(Outcome outcome) {
    busy_ = false;
    replyState_ = outcome.state;
    lastStatus_ = outcome.status;
    reply_ = std::move(outcome.body);
    lastError_ = std::move(outcome.error);
    failure_ = outcome.failure;
    if (notice_) notice_();
}

ServiceClient::Outcome ServiceClient::perform(const Job& job) {
    Outcome out;
    auto* multi = static_cast<CURLM*>(multi_);
    CURL* easy = curl_easy_init();
    if (multi == nullptr || easy == nullptr) {
        if (easy != nullptr) curl_easy_cleanup(easy);
        out.state = kReplyFailed;
        out.failure = ServiceFailure::Other;
        out.error = "The transfer to the service could not be started.";
        return out;
    }

    Transfer t;
    t.timeoutMs = job.timeoutMs;
    t.abort = &abort_;
    t.extraCaFile = &job.extraCaFile;
    char errorBuffer[CURL_ERROR_SIZE] = {0};
    curl_slist* headers = headerList(job.headers);

    curl_easy_setopt(easy, CURLOPT_URL, job.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kAgent);
    // The service has always been spoken to in HTTP/1.1; keep its headers as it knows them.
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, job.body.data());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(job.body.size()));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_NOPROXY, job.noProxy.c_str());
    // Chain, host name and dates are all checked.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    if (!job.extraCaFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &t);
    }
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &t);

    CURLcode result = CURLE_OK;
    bool finished = false;
    bool cancelled = false;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        result = CURLE_FAILED_INIT;
        finished = true;
    }
    t.touch();
    while (!finished) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                result = msg->data.result;
                finished = true;
            }
        }
        if (finished) break;
        if (abort_) {
            cancelled = true;
            break;
        }
        if (t.expired()) {
            t.idleExpired = true;
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (running == 0) {  // ended without a result message: treat as broken off
            result = CURLE_GOT_NOTHING;
            break;
        }
        const long wait = std::clamp(t.remainingMs() + 1, 1L, 1000L);
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait), nullptr);
    }
    if (result == CURLE_ABORTED_BY_CALLBACK && abort_) cancelled = true;

    long verifyResult = X509_V_OK;
    curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);

    if (cancelled) {
        out.state = kReplyNone;
        return out;
    }
    const std::string detail =
        errorBuffer[0] != '\0' ? std::string(errorBuffer) : std::string(curl_easy_strerror(result));
    if (t.idleExpired) {
        out.state = kReplyFailed;
        out.failure = ServiceFailure::TimedOut;
        out.error = "The service did not answer: no data for " + secondsText(t.timeoutMs) +
                    " seconds, the transfer was stopped.";
        return out;
    }
    if (t.tooLarge) {
        out.state = kReplyFailed;
        out.failure = ServiceFailure::TooLarge;
        out.error = "The service's reply was too large; the transfer was stopped.";
        return out;
    }
    if (result != CURLE_OK) {
        out.state = kReplyFailed;
        out.failure = t.caUnreadable ? ServiceFailure::NotSecure : failureKind(result);
        if (t.caUnreadable) {
            out.error = "The extra CA certificate file " + job.extraCaFile +
                        " could not be read. (" + detail + ")";
        } else {
            out.error = failureText(result, verifyResult, job.url) + " (" + detail + ")";
        }
        return out;
    }
    out.status = status;
    if (status == 401) {
        // No HTTP authentication is used by any request: no reply.
        out.state = kReplyNone;
        out.failure = ServiceFailure::Refused;
        out.error = "The service refused the request (HTTP 401).";
        return out;
    }
    out.state = kReplyComplete;
    out.body = std::move(t.body);
    return out;
}

}  // namespace velmora
