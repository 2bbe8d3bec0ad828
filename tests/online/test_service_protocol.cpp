// The service actions byte for byte as the substitute service received
// them, the reading of replies, and whole flows against the service.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "online/service_protocol.h"
#include "online_test_support.h"

namespace velmora {
namespace {

using testing::OnlineTest;

// ---- reading replies ----

TEST(ReadReplyTest, CodesAndPayloads) {
    struct Case {
        std::string reply;
        int code;
        Text payload;
    };
    const Case cases[] = {
        {"1|abc", 1, "abc"},
        {"1|a|b", 1, "a"},
        {"|1|x", 1, "x"},  // leading bars are skipped
        {"1||x", 1, "x"},  // a run of bars is one separator
        {"1", 1, ""},
        // Numbers read like the C library.
        {"  \t+1|ok", 1, "ok"},
        {"12abc|x", 12, ""},
        {"-", 0, ""},
        {"99999999999|x", 2147483647, ""},
        {"-99999999999", -2147483647 - 1, ""},
        // Non-numeric and empty replies give zero.
        {"<html><body>Internal error</body></html>", 0, ""},
        {"", 0, ""},
        {"|||", 0, ""},
        // The text stops at the first zero byte and is Windows-1252.
        {std::string("1|ab\0|cd", 8), 1, "ab"},
        {std::string("\0" "1|x", 4), 0, ""},
        {"1|K\xE4\xE4p\xE4 \x80", 1, "Kääpä €"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.reply));
        Text payload = "old";
        EXPECT_EQ(readReply(kReplyComplete, c.reply, payload), c.code);
        EXPECT_EQ(payload, c.payload);
    }
}

// ---- form values ----

// "&", "=", "+", "%" and letters such as "ä" are checked as the service
// receives them, below.
TEST(FormValueTest, OnlyStructuralAndControlCharactersAreEncoded) {
    EXPECT_EQ(encodeFormValue("line\nbreak\ttab\x7f"), "line%0Abreak%09tab%7F");
    EXPECT_EQ(encodeFormValue("€ 1/2 ?#;:\"'"), "\x80 1/2 ?#;:\"'");
    EXPECT_EQ(encodeFormValue(""), "");
}

// ---- against the service ----

const std::string kPassword = "s&cret=1+2%";
const std::string kAnna = "un=anna&pw=s%26cret%3D1%2B2%25";  // as the form carries it

class ProtocolTest : public OnlineTest {
protected:
    void SetUp() override {
        OnlineTest::SetUp();
        logic_.addAccount("anna", kPassword);
        logic_.addAccount("K\xE4\xE4p\xE4", "p\xE4");
        client_ = makeClient();
        client_->setCredentials("anna", kPassword);
    }
    // Waits for the reply of the request just sent and reads it into payload_.
    int result(bool sent) {
        EXPECT_TRUE(sent) << "the request was refused";
        EXPECT_TRUE(sent && waitForNotice()) << "no reply notice";
        return ReadReply(*client_, payload_);
    }
    service::ReceivedRequest last() {
        const auto all = service_->received();
        return all.empty() ? service::ReceivedRequest{} : all.back();
    }
    std::unique_ptr<ServiceClient> client_;
    Text payload_;
};

// Every action once: the body as the service received it (values never
// change the body's structure), and the service's answer read back.
TEST_F(ProtocolTest, ActionBodiesAndReplies) {
    logic_.setPouchData("010101-123N", "[POUCH1]DOSEDATE=2030-01-01");
    struct Case {
        const char* what;
        Text user, password;
        std::function<bool(ServiceClient&)> send;
        int code;
        Text payload;
        std::string body;
    };
    const auto checkUser = [](ServiceClient& c) { return CheckUser(c, "fi"); };
    const Case cases[] = {
        {"check_user", "anna", kPassword, checkUser, 1, "", "a=check_user&" + kAnna + "&l=fi&t=2"},
        // A password cut at '&' must not pass.
        {"cut password", "anna", "s&cret", checkUser, -2, "", "a=check_user&un=anna&pw=s%26cret&l=fi&t=2"},
        {"Windows-1252", "Kääpä", "pä", checkUser, 1, "", "a=check_user&un=K\xE4\xE4p\xE4&pw=p\xE4&l=fi&t=2"},
        {"get_date", "anna", kPassword, [](ServiceClient& c) { return GetBackupDate(c, "en"); }, 1, "-",
         "a=get_date&" + kAnna + "&l=en&t=2"},
        {"get_pouch_data", "anna", kPassword,
         [](ServiceClient& c) { return GetPouchData(c, "010101-123N", "fi"); }, 1,
         "[POUCH1]DOSEDATE=2030-01-01", "a=get_pouch_data&" + kAnna + "&ssn=010101-123N&l=fi&t=2"},
        {"change_pw", "anna", kPassword,
         [](ServiceClient& c) { return ChangePassword(c, kPassword, "new&1", "new&1"); }, 1, "",
         "a=change_pw&" + kAnna + "&npw1=new%261&npw2=new%261&t=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        client_->setCredentials(c.user, c.password);
        EXPECT_EQ(result(c.send(*client_)), c.code);
        EXPECT_EQ(payload_, c.payload);
        EXPECT_EQ(last().body, c.body);
    }
    EXPECT_EQ(last().userAgent, "Mozilla/4.0 (compatible; MSIE 6.0;Windows NT 5.1)");
    EXPECT_EQ(last().contentType, "application/x-www-form-urlencoded");
}

TEST_F(ProtocolTest, UploadBodyIsByteExact) {
    const std::string db = std::string("SQLite format 3\0--AaB0", 22);
    EXPECT_EQ(result(SendDatabase(*client_, db)), 1);
    const auto upload = last();
    EXPECT_EQ(upload.contentType, "multipart/form-data, boundary=AaB03x");
    EXPECT_EQ(upload.body,
              "--AaB03x\r\n"
              "Content-Disposition: form-data; name=\"part1\"\r\n"
              "\r\n"
              "a=send_database&" + kAnna + "\r\n"
              "--AaB03x\r\n"
              "Content-Disposition: form-data; name=\"velmora\"; filename=\"velmora.db\"\r\n"
              "Content-Type: application/octet-stream\r\n"
              "Content-Transfer-Encoding: binary\r\n"
              "\r\n" +
                  db + "\r\n--AaB03x--\r\n");
}

TEST_F(ProtocolTest, BackupRestoreRoundTripJustUnderTenMegabytes) {
    std::mt19937 gen(7);
    std::string db(9'999'999, '\0');
    for (auto& c : db) c = static_cast<char>(gen() & 0xFF);
    db.replace(0, 16, std::string("SQLite format 3\0", 16));
    db.replace(db.size() - 21, 21, "\r\n--AaB03x\r\n--AaB03x1");  // the boundaries in the file
    EXPECT_EQ(result(SendDatabase(*client_, db)), 1) << client_->lastErrorText();
    EXPECT_EQ(last().contentType, "multipart/form-data, boundary=AaB03x2");

    ASSERT_TRUE(Restore(*client_, "fi"));
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(last().body, "a=restore&" + kAnna + "&l=fi&t=2");
    EXPECT_EQ(client_->replyState(), kReplyComplete);
    EXPECT_TRUE(client_->reply() == db) << "the restore reply is the file as it was sent";
}

}  // namespace
}  // namespace velmora
