// The velmora-service program: started as the program's staging service
// would be, found through VELMORA_SERVICE_URL and VELMORA_SERVICE_CA, and
// answering the client's requests.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "online/service_protocol.h"
#include "online/pouch.h"
#include "online_test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class ServiceToolTest : public ::testing::Test {
protected:
    void TearDown() override {
        stop();
        ::unsetenv("VELMORA_SERVICE_URL");
        ::unsetenv("VELMORA_SERVICE_CA");
    }

    // Starts the program through a shell that gives its process id first,
    // and takes the settings lines the program prints into the
    // environment; it prints the address last, once it serves.
    void start(const std::vector<std::string>& args) {
        std::string command = "echo $$; exec '" VELMORA_SERVICE_EXE "'";
        for (const auto& a : args) command += " '" + a + "'";
        out_ = ::popen(command.c_str(), "r");
        ASSERT_NE(out_, nullptr);
        char buf[1024];
        ASSERT_NE(std::fgets(buf, sizeof buf, out_), nullptr);
        pid_ = std::atoi(buf);
        ASSERT_GT(pid_, 0) << buf;
        while (std::fgets(buf, sizeof buf, out_)) {
            const std::string line(buf);
            const auto eq = line.find('=');
            ASSERT_TRUE(eq != std::string::npos && line.back() == '\n') << line;
            const std::string value = line.substr(eq + 1, line.size() - eq - 2);
            ::setenv(line.substr(0, eq).c_str(), value.c_str(), 1);
            if (line.rfind("VELMORA_SERVICE_URL=", 0) == 0) return;
        }
        FAIL() << "the service ended without announcing its address";
    }
    // Ends the program with SIGTERM; its exit status.
    int stop() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        const int status = out_ ? ::pclose(out_) : -1;
        pid_ = -1;
        out_ = nullptr;
        return status;
    }
    static std::string caText(const std::filesystem::path& pki) {
        std::ifstream in(pki / "ca.pem");
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    testing::TempDir dir_{"velmora-service-tool"};
    const std::filesystem::path pki_ = dir_.path / "pki";
    pid_t pid_ = -1;
    std::FILE* out_ = nullptr;
};

TEST_F(ServiceToolTest, ClientRoundTripsThroughTheProgram) {
    const auto pouchFile = dir_.path / "pouch.txt";
    std::ofstream(pouchFile) << "[BASIC_INFORMATION]NAME=Anna Ärrä;STARTDATE=2030-03-01;"
                                "ENDDATE=2030-03-14[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00\n";
    start({"--port", "0", "--pki-dir", pki_.string(), "--account", "anna:s&cret ä",
           "--pouch", "010101-123N=" + pouchFile.string()});

    testing::OwnerQueue owner;
    ServiceClient client(ServiceSettings::fromEnvironment(), owner.poster(), [] {});
    // Each request posts one task to the owner: the one that ends it.
    auto reply = [&](Text& payload) {
        return owner.runNext(20s) ? ReadReply(client, payload) : -999;
    };
    Text payload;

    client.setCredentials("anna", "s&cret ä");
    ASSERT_TRUE(CheckUser(client, "fi"));
    EXPECT_EQ(reply(payload), 1) << client.lastErrorText();

    ASSERT_TRUE(GetPouchData(client, "010101-123N", "fi"));
    ASSERT_EQ(reply(payload), 1) << client.lastErrorText();
    EXPECT_EQ(ParsePouchData(payload).name, "Anna Ärrä");

    client.setCredentials("anna", "wrong");
    ASSERT_TRUE(GetBackupDate(client, "fi"));
    EXPECT_EQ(reply(payload), -2);
}

TEST_F(ServiceToolTest, SecondStartKeepsTheCertificatesItMade) {
    start({"--port", "0", "--pki-dir", pki_.string()});
    const std::string first = caText(pki_);
    ASSERT_FALSE(first.empty());
    const int status = stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ends cleanly on SIGTERM";

    start({"--port", "0", "--pki-dir", pki_.string()});
    EXPECT_EQ(caText(pki_), first);
}

}  // namespace
}  // namespace velmora
