#pragma once
// Peers of the online tests and benchmarks, free of any test framework: a
// queue that stands in for the owner's event loop and a private PKI made
// at run time.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>

#include "online/service_client.h"
#include "support/temp_dir.h"
#include "velmora-service/pki.h"
#include "velmora-service/substitute_service.h"

namespace velmora::testing {

// The owner's thread: tasks posted from the worker wait here until the
// test runs them.
class OwnerQueue {
public:
    ServiceClient::PostToOwner poster() {
        return [this](ServiceClient::Task t) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                tasks_.push_back(std::move(t));
            }
            wake_.notify_all();
        };
    }
    // Runs the next task, waiting up to `limit` for one; false on timeout.
    bool runNext(std::chrono::milliseconds limit) {
        ServiceClient::Task task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!wake_.wait_for(lock, limit, [this] { return !tasks_.empty(); })) return false;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        return true;
    }
    std::size_t pending() {
        std::lock_guard<std::mutex> lock(mutex_);
        return tasks_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ServiceClient::Task> tasks_;
};

// Certificates of one test suite, written into a temporary directory.
struct TestPki {
    TempDir dir{"velmora-online-pki"};
    service::PemPair authority = service::makeCertificateAuthority("Velmora test CA");
    std::filesystem::path caFile = dir.path() / "ca.pem";

    TestPki() { service::writeTextFile(caFile, authority.certificate); }
    // Writes a server certificate and key signed by `issuer`; returns
    // options for SubstituteService::start.
    service::SubstituteService::Options server(const std::string& name,
                                               const service::CertificateOptions& options,
                                               const service::PemPair* issuer = nullptr) {
        service::PemPair pair =
            service::makeServerCertificate(issuer ? *issuer : authority, options);
        service::SubstituteService::Options o;
        o.certFile = (dir.path() / (name + ".pem")).string();
        o.keyFile = (dir.path() / (name + ".key")).string();
        service::writeTextFile(o.certFile, pair.certificate);
        service::writeTextFile(o.keyFile, pair.privateKey);
        return o;
    }
};

}  // namespace velmora::testing
