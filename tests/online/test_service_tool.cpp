// The velmora-service program: started as the program's staging service
// would be, found through VELMORA_SERVICE_URL and VELMORA_SERVICE_CA, and
// answering the client's requests.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "online/service_protocol.h"
#include "online/pouch.h"
#include "online_test_support.h"

extern char** environ;

namespace velmora {
namespace {

using namespace std::chrono_literals;

class ServiceToolTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testing::makeTempDir("velmora-service-tool"); }
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (out_ >= 0) ::close(out_);
        ::unsetenv("VELMORA_SERVICE_URL");
        ::unsetenv("VELMORA_SERVICE_CA");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Starts the program and reads the two settings lines it prints.
    void start(std::vector<std::string> args) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        args.insert(args.begin(), VELMORA_SERVICE_EXE);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ASSERT_EQ(::posix_spawn(&pid_, VELMORA_SERVICE_EXE, &actions, nullptr, argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        out_ = pipeFds[0];

        std::string text;
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (text.find("VELMORA_SERVICE_URL=") == std::string::npos ||
               text.find('\n', text.find("VELMORA_SERVICE_URL=")) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            ASSERT_GT(left.count(), 0) << "the service did not announce itself: " << text;
            pollfd p{out_, POLLIN, 0};
            ASSERT_GT(::poll(&p, 1, static_cast<int>(left.count())), 0);
            char buf[512];
            const ssize_t n = ::read(out_, buf, sizeof buf);
            ASSERT_GT(n, 0) << "the service ended: " << text;
            text.append(buf, static_cast<std::size_t>(n));
        }
        for (const char* key : {"VELMORA_SERVICE_URL=", "VELMORA_SERVICE_CA="}) {
            const auto at = text.find(key);
            ASSERT_NE(at, std::string::npos) << text;
            const auto eq = text.find('=', at);
            const auto nl = text.find('\n', eq);
            ::setenv(text.substr(at, eq - at).c_str(), text.substr(eq + 1, nl - eq - 1).c_str(), 1);
        }
    }

    std::filesystem::path dir_;
    pid_t pid_ = -1;
    int out_ = -1;
};

TEST_F(ServiceToolTest, ClientRoundTripsThroughTheProgram) {
    const auto pouchFile = dir_ / "pouch.txt";
    std::ofstream(pouchFile) << "[BASIC_INFORMATION]NAME=Anna Ärrä;STARTDATE=2030-03-01;"
                                "ENDDATE=2030-03-14[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00\n";
    start({"--port", "0", "--pki-dir", (dir_ / "pki").string(), "--account", "anna:s&cret ä",
           "--pouch", "010101-123N=" + pouchFile.string()});
    ASSERT_TRUE(std::filesystem::exists(dir_ / "pki" / "ca.pem"));

    testing::OwnerQueue owner;
    int notices = 0;
    ServiceClient client(ServiceSettings::fromEnvironment(), owner.poster(), [&] { ++notices; });
    ASSERT_EQ(client.settings().url.rfind("https://127.0.0.1:", 0), 0u);
    auto reply = [&](Text& payload) {
        while (notices == 0) {
            if (!owner.runNext(20s)) return -999;
        }
        notices = 0;
        return ReadReply(client, payload);
    };
    Text payload;

    client.setCredentials("anna", "s&cret ä");
    ASSERT_TRUE(CheckUser(client, "fi"));
    EXPECT_EQ(reply(payload), 1) << client.lastErrorText();

    ASSERT_TRUE(GetPouchData(client, "010101-123N", "fi"));
    ASSERT_EQ(reply(payload), 1) << client.lastErrorText();
    EXPECT_EQ(ParsePouchData(payload).name, "Anna Ärrä");

    const std::string db = std::string(5000, 'x') + std::string("\0--AaB03x\0", 10);
    ASSERT_TRUE(SendDatabase(client, db));
    EXPECT_EQ(reply(payload), 1);
    ASSERT_TRUE(Restore(client, "fi"));
    ASSERT_EQ(reply(payload), 0) << "a database is not a code|payload reply";
    EXPECT_TRUE(client.replyBytes() == db);

    client.setCredentials("anna", "wrong");
    ASSERT_TRUE(GetBackupDate(client, "fi"));
    EXPECT_EQ(reply(payload), -2);
}

TEST_F(ServiceToolTest, SecondStartKeepsTheCertificatesItMade) {
    start({"--port", "0", "--pki-dir", (dir_ / "pki").string()});
    std::ifstream in(dir_ / "pki" / "ca.pem");
    const std::string first((std::istreambuf_iterator<char>(in)), {});
    ::kill(pid_, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid_, &status, 0), pid_);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ends cleanly on SIGTERM";
    pid_ = -1;
    ::close(out_);
    out_ = -1;

    start({"--port", "0", "--pki-dir", (dir_ / "pki").string()});
    std::ifstream again(dir_ / "pki" / "ca.pem");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), first);
}

}  // namespace
}  // namespace velmora
