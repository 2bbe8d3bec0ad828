#pragma once
// The fixture of the online tests: a substitute service on 127.0.0.1 over
// TLS with a certificate made at test time, clients of it, and waiting for
// their notices on the test's own thread.
#include <gtest/gtest.h>

#include <memory>

#include "online_test_peers.h"
#include "velmora-service/service_logic.h"

namespace velmora::testing {

// A running substitute service with a trusted certificate for 127.0.0.1,
// and helpers to make clients of it and wait for their notices.
class OnlineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pki_ = std::make_unique<TestPki>(); }
    static void TearDownTestSuite() { pki_.reset(); }

    void SetUp() override {
        service_ = std::make_unique<service::SubstituteService>(logic_);
        ASSERT_TRUE(service_->start(pki_->server("good", service::CertificateOptions{})))
            << service_->error();
    }

    ServiceSettings settingsFor(const std::string& url, int timeoutMs = 5000) const {
        ServiceSettings s;
        s.url = url;
        s.extraCaFile = pki_->caFile.string();
        s.receiveTimeoutMs = timeoutMs;
        return s;
    }
    std::unique_ptr<ServiceClient> makeClient(int timeoutMs = 5000) {
        return makeClient(settingsFor(service_->url(), timeoutMs));
    }
    std::unique_ptr<ServiceClient> makeClient(const ServiceSettings& settings) {
        return std::make_unique<ServiceClient>(settings, owner_.poster(), [this] { ++notices_; });
    }
    // Runs the next owner task, which must be a request's end with its
    // notice; false when none came within the limit.
    bool waitForNotice(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const int before = notices_;
        return owner_.runNext(limit) && notices_ == before + 1;
    }

    static inline std::unique_ptr<TestPki> pki_;
    service::ServiceLogic logic_;
    std::unique_ptr<service::SubstituteService> service_;
    OwnerQueue owner_;
    int notices_ = 0;
};

}  // namespace velmora::testing
