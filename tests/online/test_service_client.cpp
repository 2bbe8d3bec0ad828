// ServiceClient against the substitute service on 127.0.0.1 over TLS.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "online/service_client.h"
#include "online/service_protocol.h"
#include "online_test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using service::ScriptedReply;
using testing::OnlineTest;

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

void prepareRequest(ServiceClient& c, const std::string& body = "a=check_user") {
    c.setObjectName(kServicePath);
    c.setRequestHeaders(kFormHeaders);
    c.setRequestBody(body);
}

class ServiceClientTest : public OnlineTest {
protected:
    void script(ScriptedReply reply) {
        service_->setScript([reply](const service::ReceivedRequest&) { return reply; });
    }
};

// ---- replies ----

TEST_F(ServiceClientTest, ReplyInSeveralReadsIsDeliveredWhole) {
    ScriptedReply r;
    r.chunks = {"1|ab", std::string("c\0d", 3), "ef", randomBytes(70000, 1)};
    r.pause = 30ms;
    script(r);
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    EXPECT_TRUE(client->busy());
    ASSERT_TRUE(waitForNotice());
    EXPECT_FALSE(client->busy());
    EXPECT_EQ(client->replyState(), kReplyComplete);
    EXPECT_EQ(client->reply(), "1|ab" + std::string("c\0d", 3) + "ef" + randomBytes(70000, 1));
    EXPECT_EQ(client->replySize(), 4u + 3u + 2u + 70000u);
    EXPECT_TRUE(client->lastErrorText().empty());
}

TEST_F(ServiceClientTest, LargeBinaryReplyArrivesByteForByte) {
    ScriptedReply r;
    r.body = randomBytes(3 * 1024 * 1024 + 17, 2);
    script(r);
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    ASSERT_EQ(client->replyState(), kReplyComplete);
    EXPECT_TRUE(client->reply() == r.body);
}

TEST_F(ServiceClientTest, EmptyBodyIsACompleteEmptyReply) {
    script(ScriptedReply{});
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyComplete);
    EXPECT_EQ(client->replySize(), 0u);
    Text payload = "untouched";
    EXPECT_EQ(ReadReply(*client, payload), 0);
    EXPECT_EQ(payload, "");
}

TEST_F(ServiceClientTest, ErrorStatusBodiesAreDelivered) {
    auto client = makeClient();
    for (int status : {404, 500}) {
        ScriptedReply r;
        r.status = status;
        r.body = "<html><body>error " + std::to_string(status) + "</body></html>";
        script(r);
        prepareRequest(*client);
        ASSERT_TRUE(client->send());
        ASSERT_TRUE(waitForNotice());
        EXPECT_EQ(client->replyState(), kReplyComplete) << status;
        EXPECT_EQ(client->lastStatus(), status);
        EXPECT_EQ(client->reply(), r.body);
        Text payload;
        EXPECT_EQ(ReadReply(*client, payload), 0) << "an HTML page reads as code 0";
    }
}

TEST_F(ServiceClientTest, UnauthorizedGivesNoReplyButStillEndsTheRequest) {
    ScriptedReply r;
    r.status = 401;
    r.body = "1|should not be seen";
    script(r);
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice()) << "the owner must hear of the request's end";
    EXPECT_FALSE(client->busy());
    EXPECT_EQ(client->replyState(), kReplyNone);
    EXPECT_EQ(client->replySize(), 0u);
    EXPECT_NE(client->lastErrorText().find("401"), std::string::npos);
    Text payload;
    EXPECT_EQ(ReadReply(*client, payload), 0);
    // The client can be used again afterwards.
    service_->setScript({});
    prepareRequest(*client, "a=nothing");
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyComplete);
}

// ---- the idle timer ----

TEST_F(ServiceClientTest, SilentServerFailsAfterTheIdleTimeout) {
    ScriptedReply r;
    r.silence = 15s;
    r.body = "1";
    script(r);
    auto client = makeClient(300);
    prepareRequest(*client);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(client->replyState(), kReplyFailed);
    EXPECT_NE(client->lastErrorText().find("did not answer"), std::string::npos)
        << client->lastErrorText();
    EXPECT_NE(client->lastErrorText().find("0.3 seconds"), std::string::npos);
    EXPECT_LT(took, 10s) << "the transfer must end long before the server speaks";
    EXPECT_EQ(service_->received().size(), 1u);
}

TEST_F(ServiceClientTest, SlowButSteadyReplyIsNotCutOff) {
    // Ten pieces 200 ms apart take longer than the 1.5 s limit in total,
    // but the line is never silent for that long.
    ScriptedReply r;
    r.chunks = {"1|", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    r.pause = 200ms;
    script(r);
    auto client = makeClient(1500);
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyComplete) << client->lastErrorText();
    EXPECT_EQ(client->reply(), "1|abcdefghi");
}

TEST_F(ServiceClientTest, ServerThatAcceptsButNeverHandshakesTimesOut) {
    // A plain TCP listener that never speaks TLS.
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const int port = ntohs(addr.sin_port);

    auto client = makeClientFor("https://127.0.0.1:" + std::to_string(port), 300);
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    ::close(fd);
    EXPECT_EQ(client->replyState(), kReplyFailed);
    EXPECT_NE(client->lastErrorText().find("did not answer"), std::string::npos)
        << client->lastErrorText();
}

// ---- certificates ----

class CertificateTest : public ServiceClientTest {
protected:
    // Restarts the service with another certificate.
    void restartWith(const service::SubstituteService::Options& o) {
        service_->stop();
        ASSERT_TRUE(service_->start(o)) << service_->error();
    }
    void expectRefused(const std::string& textPart) {
        auto client = makeClient();
        prepareRequest(*client);
        ASSERT_TRUE(client->send());
        ASSERT_TRUE(waitForNotice());
        EXPECT_EQ(client->replyState(), kReplyFailed);
        EXPECT_NE(client->lastErrorText().find(textPart), std::string::npos)
            << client->lastErrorText();
        EXPECT_TRUE(client->reply().empty());
        EXPECT_TRUE(service_->received().empty()) << "nothing may reach an unverified server";
        EXPECT_EQ(owner_.pending(), 0u) << "exactly one notice, no retries";
    }
};

TEST_F(CertificateTest, TrustedCertificateIsAccepted) {
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyComplete) << client->lastErrorText();
}

TEST_F(CertificateTest, CertificateFromAnUnknownAuthorityIsRefused) {
    service::PemPair stranger = service::makeCertificateAuthority("Somebody else's CA");
    restartWith(pki_->server("stranger", service::CertificateOptions{}, &stranger));
    expectRefused("not signed by a trusted certificate authority");
}

TEST_F(CertificateTest, CertificateForAnotherHostIsRefused) {
    service::CertificateOptions o;
    o.commonName = "other.example";
    o.dnsNames = {"other.example"};
    o.ipAddresses = {"10.1.2.3"};
    restartWith(pki_->server("other-host", o));
    expectRefused("issued for another host name");
}

TEST_F(CertificateTest, ExpiredCertificateIsRefused) {
    service::CertificateOptions o;
    o.notBeforeOffset = -10L * 86400;
    o.notAfterOffset = -86400;
    restartWith(pki_->server("expired", o));
    expectRefused("expired or is not yet valid");
}

TEST_F(CertificateTest, CertificateNotYetValidIsRefused) {
    service::CertificateOptions o;
    o.notBeforeOffset = 2L * 86400;
    o.notAfterOffset = 30L * 86400;
    restartWith(pki_->server("future", o));
    expectRefused("expired or is not yet valid");
}

TEST_F(CertificateTest, EveryAuthorityInTheExtraFileIsTrusted) {
    service::PemPair other = service::makeCertificateAuthority("Second CA");
    const auto bundle = pki_->dir / "bundle.pem";
    ASSERT_TRUE(service::writeTextFile(bundle, pki_->authority.certificate + other.certificate));
    restartWith(pki_->server("by-second", service::CertificateOptions{}, &other));
    ServiceSettings s = settingsFor(service_->url());
    s.extraCaFile = bundle.string();
    ServiceClient client(s, owner_.poster(), [this] { ++notices_; });
    prepareRequest(client);
    ASSERT_TRUE(client.send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client.replyState(), kReplyComplete) << client.lastErrorText();
}

TEST_F(CertificateTest, WithoutTheExtraAuthorityTheTestServerIsNotTrusted) {
    ServiceSettings s = settingsFor(service_->url());
    s.extraCaFile.clear();
    ServiceClient client(s, owner_.poster(), [this] { ++notices_; });
    prepareRequest(client);
    ASSERT_TRUE(client.send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client.replyState(), kReplyFailed);
    EXPECT_NE(client.lastErrorText().find("not signed by a trusted"), std::string::npos)
        << client.lastErrorText();
}

TEST_F(CertificateTest, UnreadableExtraAuthorityFileFailsClearly) {
    ServiceSettings s = settingsFor(service_->url());
    s.extraCaFile = (pki_->dir / "missing-ca.pem").string();
    ServiceClient client(s, owner_.poster(), [this] { ++notices_; });
    prepareRequest(client);
    ASSERT_TRUE(client.send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client.replyState(), kReplyFailed);
    EXPECT_NE(client.lastErrorText().find("missing-ca.pem could not be read"), std::string::npos)
        << client.lastErrorText();
    EXPECT_TRUE(service_->received().empty());
}

// ---- transfer failures and addresses ----

TEST_F(ServiceClientTest, NobodyListeningIsATransferFailure) {
    const std::string url = service_->url();
    service_->stop();
    auto client = makeClientFor(url);
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyFailed);
    EXPECT_NE(client->lastErrorText().find("Could not connect"), std::string::npos)
        << client->lastErrorText();
}

TEST_F(ServiceClientTest, PlainHttpAddressIsNeverContacted) {
    auto client = makeClientFor("http://127.0.0.1:" + std::to_string(service_->port()));
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyFailed);
    EXPECT_NE(client->lastErrorText().find("not a valid https address"), std::string::npos)
        << client->lastErrorText();
    EXPECT_TRUE(service_->received().empty());
}

// ---- request shape and life cycle ----

TEST_F(ServiceClientTest, RequestCarriesPathAgentAndBodyAndClientIsReusable) {
    auto client = makeClient();
    for (int i = 0; i < 3; ++i) {
        prepareRequest(*client, "a=get_date&n=" + std::to_string(i));
        ASSERT_TRUE(client->send());
        ASSERT_TRUE(waitForNotice());
        EXPECT_EQ(client->replyState(), kReplyComplete);
    }
    auto got = service_->received();
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].method, "POST");
        EXPECT_EQ(got[i].path, "/velmora/service_velmora.php");
        EXPECT_EQ(got[i].userAgent, "Mozilla/4.0 (compatible; MSIE 6.0;Windows NT 5.1)");
        EXPECT_EQ(got[i].contentType, "application/x-www-form-urlencoded");
        EXPECT_EQ(got[i].body, "a=get_date&n=" + std::to_string(i));
    }
}

TEST_F(ServiceClientTest, OnlyOneRequestAtATime) {
    ScriptedReply r;
    r.body = "1";
    r.silence = 200ms;
    script(r);
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    EXPECT_FALSE(client->send()) << "a second send while one is out is refused";
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client->replyState(), kReplyComplete);
    EXPECT_FALSE(owner_.runNext(300ms)) << "only one notice";
    EXPECT_EQ(service_->received().size(), 1u);
}

TEST_F(ServiceClientTest, DestroyingTheClientAbortsWithoutANotice) {
    ScriptedReply r;
    r.silence = 20s;
    script(r);
    auto client = makeClient(60000);
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    for (int i = 0; i < 2000 && service_->received().empty(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(service_->received().size(), 1u);
    const auto start = std::chrono::steady_clock::now();
    client.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the destructor must not wait";
    while (owner_.runNext(200ms)) {
    }
    EXPECT_EQ(notices_, 0);
}

TEST_F(ServiceClientTest, NoticeQueuedBeforeDestructionIsDropped) {
    auto client = makeClient();
    prepareRequest(*client);
    ASSERT_TRUE(client->send());
    for (int i = 0; i < 4000 && owner_.pending() == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(owner_.pending(), 1u);
    client.reset();
    ASSERT_TRUE(owner_.runNext(1s));  // the stale task runs harmlessly
    EXPECT_EQ(notices_, 0);
}

// ---- settings ----

TEST(ServiceSettingsTest, EnvironmentOverridesTheCompiledInAddress) {
    ::unsetenv("VELMORA_SERVICE_URL");
    ::unsetenv("VELMORA_SERVICE_CA");
    ServiceSettings plain = ServiceSettings::fromEnvironment();
    EXPECT_EQ(plain.url, defaultServiceUrl());
    EXPECT_EQ(plain.url.rfind("https://", 0), 0u);
    EXPECT_TRUE(plain.extraCaFile.empty());
    EXPECT_EQ(plain.receiveTimeoutMs, 10000);

    ::setenv("VELMORA_SERVICE_URL", " https://127.0.0.1:8443/ ", 1);
    ::setenv("VELMORA_SERVICE_CA", "/tmp/ca.pem", 1);
    ServiceSettings staged = ServiceSettings::fromEnvironment();
    EXPECT_EQ(staged.url, "https://127.0.0.1:8443");
    EXPECT_EQ(staged.extraCaFile, "/tmp/ca.pem");

    ::setenv("VELMORA_SERVICE_URL", "", 1);
    EXPECT_EQ(ServiceSettings::fromEnvironment().url, defaultServiceUrl());
    ::unsetenv("VELMORA_SERVICE_URL");
    ::unsetenv("VELMORA_SERVICE_CA");
}

}  // namespace
}  // namespace velmora
