// ServiceClient against the substitute service on 127.0.0.1 over TLS.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "online/service_protocol.h"
#include "online_test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using service::ScriptedReply;
using testing::OnlineTest;

// A TCP socket on 127.0.0.1 that never speaks TLS: bound only (nobody
// listening) or listening without ever answering.
struct LoopbackSocket {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    explicit LoopbackSocket(bool listening) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
            (!listening || ::listen(fd, 4) == 0) &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            port = ntohs(addr.sin_port);
        }
    }
    ~LoopbackSocket() { ::close(fd); }
};

// A relay on 127.0.0.1 in front of the service for one connection. The
// first `slowBytes` that the client sends go on in `piece`-byte pieces
// `pause` apart, the rest and every reply at once: an upload through it
// keeps moving but takes its time, and what the client's socket buffered
// meanwhile (megabytes on loopback) does not linger at the end.
struct SlowRelay {
    LoopbackSocket listener{true};
    std::atomic<bool> stop{false};
    std::thread thread;
    SlowRelay(int servicePort, std::size_t slowBytes, std::size_t piece, std::chrono::milliseconds pause) {
        thread = std::thread([this, servicePort, slowBytes, piece, pause] {
            pollfd wait{listener.fd, POLLIN, 0};
            while (!stop && ::poll(&wait, 1, 50) == 0) {
            }
            const int client = stop ? -1 : ::accept(listener.fd, nullptr, nullptr);
            LoopbackSocket service(false);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            addr.sin_port = htons(static_cast<std::uint16_t>(servicePort));
            if (client < 0 || ::connect(service.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) stop = true;
            std::vector<char> buffer(1u << 20);
            std::size_t passed = 0;
            pollfd ends[2] = {{client, POLLIN, 0}, {service.fd, POLLIN, 0}};
            while (!stop && ::poll(ends, 2, 50) >= 0) {
                for (int from = 0; from < 2; ++from) {
                    if ((ends[from].revents & (POLLIN | POLLHUP)) == 0) continue;
                    const bool slow = from == 0 && passed < slowBytes;
                    const ssize_t n = ::read(ends[from].fd, buffer.data(), slow ? piece : buffer.size());
                    if (n <= 0 || ::write(ends[1 - from].fd, buffer.data(), static_cast<std::size_t>(n)) != n)
                        stop = true;
                    if (from == 0) passed += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
                    if (slow) std::this_thread::sleep_for(pause);
                }
            }
            if (client >= 0) ::close(client);
        });
    }
    ~SlowRelay() {
        stop = true;
        thread.join();
    }
};

class ServiceClientTest : public OnlineTest {
protected:
    void script(ScriptedReply reply) {
        service_->setScript([reply](const service::ReceivedRequest&) { return reply; });
    }
    // Sends a request and runs owner tasks until its notice.
    bool exchange(ServiceClient& c) { return CheckUser(c, "fi") && waitForNotice(); }
    static void expectFailed(const ServiceClient& c, const std::string& textPart, ServiceFailure why) {
        EXPECT_EQ(c.replyState(), kReplyFailed);
        EXPECT_EQ(c.failure(), why);
        EXPECT_NE(c.lastErrorText().find(textPart), std::string::npos) << c.lastErrorText();
        EXPECT_TRUE(c.reply().empty());
    }
};

// ---- replies ----

// A large reply with every byte value is the backup round trip's test.
TEST_F(ServiceClientTest, OneRequestAtATimeAndItsReplyInSeveralReadsArrivesWhole) {
    script({.chunks = {"1|ab", std::string("c\0d", 3), "ef"}, .pause = 30ms});
    auto client = makeClient();
    ASSERT_TRUE(CheckUser(*client, "fi"));
    EXPECT_TRUE(client->busy());
    EXPECT_FALSE(client->send()) << "a second send while one is out is refused";
    ASSERT_TRUE(waitForNotice());
    EXPECT_FALSE(client->busy());
    EXPECT_EQ(client->replyState(), kReplyComplete);
    EXPECT_EQ(client->reply(), "1|ab" + std::string("c\0d", 3) + "ef");
    EXPECT_TRUE(client->lastErrorText().empty());
    EXPECT_FALSE(owner_.runNext(300ms)) << "only one notice";
    EXPECT_EQ(service_->received().size(), 1u);
}

// Unauthorized gives no reply but still ends the request, and the client is used again afterwards.
TEST_F(ServiceClientTest, EmptyAndErrorStatusBodiesAreDeliveredButNotAnUnauthorizedOne) {
    auto client = makeClient();
    const std::pair<int, std::string> replies[] = {{401, "1|should not be seen"},
                                                   {200, ""},
                                                   {404, "<html><body>Not found</body></html>"},
                                                   {500, "<html>Oops</html>"}};
    for (const auto& [status, body] : replies) {
        script({.status = status, .body = body});
        ASSERT_TRUE(exchange(*client)) << "the owner must hear of the request's end";
        EXPECT_EQ(client->replyState(), status == 401 ? kReplyNone : kReplyComplete) << status;
        EXPECT_EQ(client->reply(), status == 401 ? "" : body);
        EXPECT_EQ(client->lastErrorText().find("401") != std::string::npos, status == 401);
        EXPECT_EQ(client->failure(), status == 401 ? ServiceFailure::Refused : ServiceFailure::None);
    }
}

// ---- the idle timer ----

TEST_F(ServiceClientTest, SlowButSteadyReplyIsNotCutOff) {
    // Ten pieces 200 ms apart take longer than the 1.5 s limit in total,
    // but the line is never silent for that long.
    script({.chunks = {"1|", "a", "b", "c", "d", "e", "f", "g", "h", "i"}, .pause = 200ms});
    auto client = makeClient(1500);
    ASSERT_TRUE(exchange(*client));
    EXPECT_EQ(client->replyState(), kReplyComplete) << client->lastErrorText();
    EXPECT_EQ(client->reply(), "1|abcdefghi");
}

TEST_F(ServiceClientTest, SlowButSteadyUploadIsNotCutOff) {
    // The first 3 MB of the upload go on in 48 pieces 20 ms apart (at least 0.96 s): longer than the
    // 0.8 s limit in total, but the upload never stops for that long, and nothing comes back until
    // it is over.
    script({.body = "1"});
    SlowRelay relay(service_->port(), 3u << 20, 64 * 1024, 20ms);
    auto client = makeClient(settingsFor("https://127.0.0.1:" + std::to_string(relay.listener.port), 800));
    const std::string file(8u << 20, 'x');
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(SendDatabase(*client, file) && waitForNotice());
    EXPECT_GT(std::chrono::steady_clock::now() - start, 900ms) << "the upload was not slow";
    EXPECT_EQ(client->replyState(), kReplyComplete) << client->lastErrorText();
    EXPECT_EQ(client->reply(), "1");
}

// ---- transfer failures and certificates ----

// Nobody at the port, or a port that never answers the handshake (a service
// silent after the request is the restore's test, through this client).
TEST_F(ServiceClientTest, TransferFailuresEndWithTheirText) {
    const LoopbackSocket closed(false), mute(true);
    ASSERT_TRUE(closed.port > 0 && mute.port > 0);
    const std::tuple<std::string, const char*, ServiceFailure> cases[] = {
        {"http://127.0.0.1:" + std::to_string(service_->port()), "not a valid https address",
         ServiceFailure::BadAddress},
        {"https://127.0.0.1:" + std::to_string(closed.port), "Could not connect", ServiceFailure::Unreachable},
        {"https://127.0.0.1:" + std::to_string(mute.port), "did not answer: no data for 0.3 seconds",
         ServiceFailure::TimedOut},
    };
    for (const auto& [url, text, why] : cases) {
        SCOPED_TRACE(url);
        auto client = makeClient(settingsFor(url, 300));
        ASSERT_TRUE(exchange(*client));
        expectFailed(*client, text, why);
    }
    EXPECT_TRUE(service_->received().empty()) << "a plain http address is never contacted";
}

TEST_F(ServiceClientTest, ServerCertificateIsVerified) {
    const service::PemPair stranger = service::makeCertificateAuthority("Somebody else's CA");
    const service::PemPair second = service::makeCertificateAuthority("Second CA");
    const auto bundle = pki_->dir.path() / "bundle.pem";
    ASSERT_TRUE(service::writeTextFile(bundle, pki_->authority.certificate + second.certificate));
    const std::string ca = pki_->caFile.string();
    struct Case {
        const char* name;  // also the name of the server's certificate file
        service::CertificateOptions certificate;
        const service::PemPair* issuer;
        std::string extraCaFile;
        const char* refusal;  // nullptr: accepted
    };
    const Case cases[] = {
        {"stranger", {}, &stranger, ca, "not signed by a trusted certificate authority"},
        {"other-host",
         {.commonName = "other.example",
          .dnsNames = {"other.example"},
          .ipAddresses = {"10.1.2.3"}},
         nullptr, ca, "issued for another host name"},
        {"expired", {.notBeforeOffset = -10L * 86400, .notAfterOffset = -86400}, nullptr, ca,
         "expired or is not yet valid"},
        {"no-extra-ca", {}, nullptr, "", "not signed by a trusted"},
        {"unreadable-ca", {}, nullptr, (pki_->dir.path() / "missing-ca.pem").string(),
         "missing-ca.pem could not be read"},
        // Every authority in the extra file is trusted.
        {"by-second", {}, &second, bundle.string(), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(service_->start(pki_->server(c.name, c.certificate, c.issuer)))
            << service_->error();
        ServiceSettings s = settingsFor(service_->url());
        s.extraCaFile = c.extraCaFile;
        auto client = makeClient(s);
        ASSERT_TRUE(exchange(*client));
        EXPECT_EQ(owner_.pending(), 0u) << "exactly one notice, no retries";
        if (!c.refusal) {
            EXPECT_EQ(client->replyState(), kReplyComplete) << client->lastErrorText();
            continue;
        }
        expectFailed(*client, c.refusal, ServiceFailure::NotSecure);
        EXPECT_TRUE(service_->received().empty()) << "nothing may reach an unverified server";
    }
}

// ---- life cycle ----

TEST_F(ServiceClientTest, DestroyingTheClientAbortsWithoutANotice) {
    script({.silence = 20s});
    auto client = makeClient(60000);
    ASSERT_TRUE(CheckUser(*client, "fi"));
    for (int i = 0; i < 2000 && service_->received().empty(); ++i) std::this_thread::sleep_for(5ms);
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
    ASSERT_TRUE(CheckUser(*client, "fi"));
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
    EXPECT_TRUE(plain.extraCaFile.empty());

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
