#include "velmora-service/substitute_service.h"

#include <httplib.h>

#include <utility>

namespace velmora::service {

struct SubstituteService::Server {
    std::unique_ptr<httplib::SSLServer> http;
};

SubstituteService::SubstituteService(ServiceLogic& logic)
    : logic_(logic), server_(std::make_unique<Server>()) {}

SubstituteService::~SubstituteService() { stop(); }

bool SubstituteService::start(const Options& options) {
    stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    error_.clear();
    auto http = std::make_unique<httplib::SSLServer>(options.certFile.c_str(),
                                                    options.keyFile.c_str());
    if (!http->is_valid()) {
        error_ = "the certificate or key could not be loaded";
        return false;
    }
    http->set_keep_alive_timeout(1);
    http->set_tcp_nodelay(true);
    http->set_read_timeout(5, 0);
    http->set_write_timeout(5, 0);
    http->set_payload_max_length(32u * 1024u * 1024u);
    // The upload arrives as multipart/form-data; the library would take it
    // apart and drop the raw body. Relabel it before the body is read so
    // that the handler gets the bytes as sent; the original label is kept.
    http->set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
        auto& headers = const_cast<httplib::Request&>(req).headers;
        auto it = headers.find("Content-Type");
        if (it != headers.end() && it->second.rfind("multipart/", 0) == 0) {
            std::string original = it->second;
            headers.erase(it);
            headers.emplace("Content-Type", "application/octet-stream");
            headers.emplace("X-Original-Content-Type", original);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http->Post(kServicePathOnServer, [this](const httplib::Request& req, httplib::Response& res) {
        ReceivedRequest r;
        r.method = req.method;
        r.path = req.path;
        r.contentType = req.has_header("X-Original-Content-Type")
                            ? req.get_header_value("X-Original-Content-Type")
                            : req.get_header_value("Content-Type");
        r.userAgent = req.get_header_value("User-Agent");
        r.body = req.body;
        serve(r, &res);
    });

    int port = options.port;
    if (port == 0) {
        port = http->bind_to_any_port(options.host);
        if (port <= 0) {
            error_ = "no free port on " + options.host;
            return false;
        }
    } else if (!http->bind_to_port(options.host.c_str(), port)) {
        error_ = "cannot listen on " + options.host + ":" + std::to_string(port);
        return false;
    }
    host_ = options.host;
    port_ = port;
    server_->http = std::move(http);
    httplib::SSLServer* raw = server_->http.get();
    listenEnded_ = false;
    thread_ = std::thread([this, raw] {
        raw->listen_after_bind();
        listenEnded_ = true;
    });
    // stop() is lost on a server that is not running yet.
    while (!raw->is_running() && !listenEnded_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!raw->is_running()) {
        thread_.join();
        server_->http.reset();
        error_ = "the server did not start";
        return false;
    }
    return true;
}

void SubstituteService::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stopWake_.notify_all();
    if (server_->http) {
        while (thread_.joinable() && !listenEnded_ && !server_->http->is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server_->http->stop();
    }
    if (thread_.joinable()) thread_.join();
    server_->http.reset();
}

bool SubstituteService::running() const { return server_->http && server_->http->is_running(); }

std::string SubstituteService::url() const {
    return "https://" + host_ + ":" + std::to_string(port_);
}

void SubstituteService::setScript(Script script) {
    std::lock_guard<std::mutex> lock(mutex_);
    script_ = std::move(script);
}

std::vector<ReceivedRequest> SubstituteService::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void SubstituteService::clearReceived() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

bool SubstituteService::waitUnlessStopping(std::chrono::milliseconds ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !stopWake_.wait_for(lock, ms, [this] { return stopping_; });
}

void SubstituteService::serve(const ReceivedRequest& request, void* response) {
    auto& res = *static_cast<httplib::Response*>(response);
    Script script;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(request);
        script = script_;
    }
    std::optional<ScriptedReply> scripted;
    if (script) scripted = script(request);
    if (!scripted) {
        ServiceReply reply = logic_.handle(request.contentType, request.body);
        res.status = reply.status;
        res.set_content(reply.body, reply.contentType.c_str());
        return;
    }
    if (scripted->silence.count() > 0 && !waitUnlessStopping(scripted->silence)) {
        res.status = 503;
        return;
    }
    res.status = scripted->status;
    if (scripted->chunks.empty()) {
        res.set_content(scripted->body, "text/plain");
        return;
    }
    auto chunks = std::make_shared<std::vector<std::string>>(scripted->chunks);
    auto next = std::make_shared<std::size_t>(0);
    const auto pause = scripted->pause;
    res.set_chunked_content_provider(
        "text/plain", [this, chunks, next, pause](std::size_t, httplib::DataSink& sink) {
            if (*next >= chunks->size()) {
                sink.done();
                return true;
            }
            if (pause.count() > 0 && !waitUnlessStopping(pause)) return false;
            const std::string& c = (*chunks)[(*next)++];
            return c.empty() || sink.write(c.data(), c.size());
        });
}

}  // namespace velmora::service
