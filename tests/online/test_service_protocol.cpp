// The service actions byte for byte as the substitute service received
// them, the reading of replies, and whole flows against the service.
#include <gtest/gtest.h>

#include <random>

#include "online/service_protocol.h"
#include "online_test_support.h"

namespace velmora {
namespace {

using testing::OnlineTest;

// ---- reading replies ----

TEST(ReadReplyTest, CodeAndPayload) {
    Text p;
    EXPECT_EQ(readReply(kReplyComplete, "1|abc", p), 1);
    EXPECT_EQ(p, "abc");
    EXPECT_EQ(readReply(kReplyComplete, "1|a|b", p), 1);
    EXPECT_EQ(p, "a");
    EXPECT_EQ(readReply(kReplyComplete, "|1|x", p), 1) << "leading bars are skipped";
    EXPECT_EQ(p, "x");
    EXPECT_EQ(readReply(kReplyComplete, "1||x", p), 1) << "a run of bars is one separator";
    EXPECT_EQ(p, "x");
    p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "1", p), 1);
    EXPECT_EQ(p, "");
    EXPECT_EQ(readReply(kReplyComplete, "1|", p), 1);
    EXPECT_EQ(p, "");
}

TEST(ReadReplyTest, OtherCodesEmptyThePayload) {
    Text p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "-2|x", p), -2);
    EXPECT_EQ(p, "");
    p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "-6", p), -6);
    EXPECT_EQ(p, "");
    p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "0|data", p), 0);
    EXPECT_EQ(p, "");
}

TEST(ReadReplyTest, NumbersReadLikeTheCLibrary) {
    Text p;
    EXPECT_EQ(readReply(kReplyComplete, "  \t+1|ok", p), 1);
    EXPECT_EQ(p, "ok");
    EXPECT_EQ(readReply(kReplyComplete, "12abc|x", p), 12);
    EXPECT_EQ(readReply(kReplyComplete, "-", p), 0);
    EXPECT_EQ(readReply(kReplyComplete, "99999999999|x", p), 2147483647);
    EXPECT_EQ(readReply(kReplyComplete, "-99999999999", p), -2147483647 - 1);
}

TEST(ReadReplyTest, NonNumericAndEmptyRepliesGiveZero) {
    Text p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "<html><body>Internal error</body></html>", p), 0);
    EXPECT_EQ(p, "");
    p = "old";
    EXPECT_EQ(readReply(kReplyComplete, "", p), 0);
    EXPECT_EQ(p, "");
    EXPECT_EQ(readReply(kReplyComplete, "|||", p), 0);
}

TEST(ReadReplyTest, TextStopsAtTheFirstZeroByteAndIsWindows1252) {
    Text p;
    EXPECT_EQ(readReply(kReplyComplete, std::string("1|ab\0|cd", 8), p), 1);
    EXPECT_EQ(p, "ab");
    EXPECT_EQ(readReply(kReplyComplete, std::string("\0" "1|x", 4), p), 0);
    EXPECT_EQ(readReply(kReplyComplete, "1|K\xE4\xE4p\xE4 \x80", p), 1);
    EXPECT_EQ(p, "Kääpä €");
}

TEST(ReadReplyTest, WithoutACompleteReplyTheStateIsTheCode) {
    Text p = "kept";
    EXPECT_EQ(readReply(kReplyFailed, "1|x", p), -10);
    EXPECT_EQ(p, "kept");
    EXPECT_EQ(readReply(kReplyNone, "1|x", p), 0);
    EXPECT_EQ(p, "kept");
}

// ---- form values ----

TEST(FormValueTest, OnlyStructuralAndControlCharactersAreEncoded) {
    EXPECT_EQ(encodeFormValue("a&b=c+d%e"), "a%26b%3Dc%2Bd%25e");
    EXPECT_EQ(encodeFormValue("line\nbreak\ttab\x7f"), "line%0Abreak%09tab%7F");
    EXPECT_EQ(encodeFormValue("Kääpä"), "K\xE4\xE4p\xE4");
    EXPECT_EQ(encodeFormValue("€ 1/2 ?#;:\"'"), "\x80 1/2 ?#;:\"'");
    EXPECT_EQ(encodeFormValue(""), "");
}

TEST(FormValueTest, BodiesKeepTheirFieldOrderAndFields) {
    EXPECT_EQ(checkUserBody("anna", "pw", "fi"), "a=check_user&un=anna&pw=pw&l=fi&t=2");
    EXPECT_EQ(changePasswordBody("anna", "old", "n1", "n2"),
              "a=change_pw&un=anna&pw=old&npw1=n1&npw2=n2&t=2");
    EXPECT_EQ(getDateBody("anna", "pw", "fi"), "a=get_date&un=anna&pw=pw&l=fi&t=2");
    EXPECT_EQ(restoreBody("anna", "pw", "fi"), "a=restore&un=anna&pw=pw&l=fi&t=2");
    EXPECT_EQ(pouchDataBody("anna", "pw", "010101-123N", "fi"),
              "a=get_pouch_data&un=anna&pw=pw&ssn=010101-123N&l=fi&t=2");
}

// ---- multipart ----

const std::string kUploadPrefix =
    "--AaB03x\r\n"
    "Content-Disposition: form-data; name=\"part1\"\r\n"
    "\r\n"
    "a=send_database&un=anna&pw=s%26cret\r\n"
    "--AaB03x\r\n"
    "Content-Disposition: form-data; name=\"velmora\"; filename=\"velmora.db\"\r\n"
    "Content-Type: application/octet-stream\r\n"
    "Content-Transfer-Encoding: binary\r\n"
    "\r\n";

TEST(MultipartTest, BoundaryStaysUnlessTheFileContainsIt) {
    const std::string file = std::string("SQLite format 3\0--AaB0", 22);
    MultipartRequest r = sendDatabaseRequest("anna", "s&cret", file);
    EXPECT_EQ(r.boundary, "AaB03x");
    EXPECT_EQ(r.headers, "Content-Type: multipart/form-data, boundary=AaB03x\r\n");
    EXPECT_EQ(r.headers.size(), 52u);
    EXPECT_EQ(r.body, kUploadPrefix + file + "\r\n--AaB03x--\r\n");

    const std::string clash = "xx\r\n--AaB03x\r\nyy--AaB03x1";
    MultipartRequest c = sendDatabaseRequest("anna", "s&cret", clash);
    EXPECT_EQ(c.boundary, "AaB03x2");
    EXPECT_EQ(c.headers, "Content-Type: multipart/form-data, boundary=AaB03x2\r\n");
    EXPECT_EQ(c.body.rfind("--AaB03x2\r\n", 0), 0u);
    EXPECT_NE(c.body.find("\r\n\r\n" + clash + "\r\n--AaB03x2--\r\n"), std::string::npos);
    // The substitute service's reading of it gives the file back intact.
    std::map<std::string, std::string> fields;
    std::string parsed;
    ASSERT_TRUE(service::parseMultipart("multipart/form-data, boundary=AaB03x2", c.body, fields,
                                        parsed));
    EXPECT_EQ(parsed, clash);
    EXPECT_EQ(fields["pw"], "s&cret");
}

// ---- against the service ----

class ProtocolTest : public OnlineTest {
protected:
    void SetUp() override {
        OnlineTest::SetUp();
        logic_.setDateSource([] { return std::string("06.12.2026 08:15"); });
        logic_.addAccount("anna", "s&cret=1+2%");
        logic_.addAccount("K\xE4\xE4p\xE4", "p\xE4");
        client_ = makeClient();
        client_->setCredentials("anna", "s&cret=1+2%");
    }
    void TearDown() override {
        client_.reset();
        OnlineTest::TearDown();
    }
    // Waits for the reply and reads it.
    int result(Text& payload) {
        EXPECT_TRUE(waitForNotice());
        return ReadReply(*client_, payload);
    }
    service::ReceivedRequest last() {
        auto all = service_->received();
        EXPECT_FALSE(all.empty());
        return all.empty() ? service::ReceivedRequest{} : all.back();
    }
    std::unique_ptr<ServiceClient> client_;
};

TEST_F(ProtocolTest, CheckUserBodyIsExactAndTheServiceUnderstandsIt) {
    ASSERT_TRUE(CheckUser(*client_, "fi"));
    Text payload;
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(last().body, "a=check_user&un=anna&pw=s%26cret%3D1%2B2%25&l=fi&t=2");
    EXPECT_EQ(last().contentType, "application/x-www-form-urlencoded");

    client_->setCredentials("anna", "s&cret");
    ASSERT_TRUE(CheckUser(*client_, "fi"));
    EXPECT_EQ(result(payload), -2) << "a password cut at '&' must not pass";
}

TEST_F(ProtocolTest, NonAsciiUserNameTravelsAsSingleBytes) {
    client_->setCredentials("Kääpä", "pä");
    ASSERT_TRUE(CheckUser(*client_, "fi"));
    Text payload;
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(last().body, "a=check_user&un=K\xE4\xE4p\xE4&pw=p\xE4&l=fi&t=2");
}

TEST_F(ProtocolTest, ChangePasswordHasNoLanguageAndChangesIt) {
    ASSERT_TRUE(ChangePassword(*client_, "s&cret=1+2%", "new&1", "new&1"));
    Text payload;
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(last().body,
              "a=change_pw&un=anna&pw=s%26cret%3D1%2B2%25&npw1=new%261&npw2=new%261&t=2");
    EXPECT_EQ(logic_.passwordOf("anna"), "new&1");

    ASSERT_TRUE(ChangePassword(*client_, "wrong", "x", "x"));
    EXPECT_EQ(result(payload), -2);
    EXPECT_EQ(logic_.passwordOf("anna"), "new&1");
}

TEST_F(ProtocolTest, BackupDateRestoreRoundTrip) {
    Text payload;
    ASSERT_TRUE(GetBackupDate(*client_, "fi"));
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(payload, "-") << "no backup yet";
    EXPECT_EQ(last().body, "a=get_date&un=anna&pw=s%26cret%3D1%2B2%25&l=fi&t=2");

    std::mt19937 gen(7);
    std::string db = std::string("SQLite format 3\0", 16);
    for (int i = 0; i < 200000; ++i) db += static_cast<char>(gen() & 0xFF);
    db += "\r\n--AaB03x\r\n";  // the boundary inside the file
    ASSERT_TRUE(SendDatabase(*client_, db));
    EXPECT_EQ(result(payload), 1);
    const auto upload = last();
    EXPECT_EQ(upload.contentType, "multipart/form-data, boundary=AaB03x1");
    EXPECT_EQ(upload.body, sendDatabaseRequest("anna", "s&cret=1+2%", db).body);
    ASSERT_TRUE(logic_.backupOf("anna").has_value());
    EXPECT_TRUE(logic_.backupOf("anna")->bytes == db);

    ASSERT_TRUE(GetBackupDate(*client_, "fi"));
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(payload, "06.12.2026 08:15");

    ASSERT_TRUE(Restore(*client_, "fi"));
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(last().body, "a=restore&un=anna&pw=s%26cret%3D1%2B2%25&l=fi&t=2");
    EXPECT_EQ(client_->replyState(), kReplyComplete);
    EXPECT_TRUE(client_->replyBytes() == db) << "the restore reply is the file itself";
}

TEST_F(ProtocolTest, UploadBodyIsByteExact) {
    const std::string db = std::string("db\0bytes", 8);
    ASSERT_TRUE(SendDatabase(*client_, db));
    Text payload;
    EXPECT_EQ(result(payload), 1);
    const auto upload = last();
    EXPECT_EQ(upload.contentType, "multipart/form-data, boundary=AaB03x");
    EXPECT_EQ(upload.body,
              "--AaB03x\r\n"
              "Content-Disposition: form-data; name=\"part1\"\r\n"
              "\r\n"
              "a=send_database&un=anna&pw=s%26cret%3D1%2B2%25\r\n"
              "--AaB03x\r\n"
              "Content-Disposition: form-data; name=\"velmora\"; filename=\"velmora.db\"\r\n"
              "Content-Type: application/octet-stream\r\n"
              "Content-Transfer-Encoding: binary\r\n"
              "\r\n" +
                  db + "\r\n--AaB03x--\r\n");
}

TEST_F(ProtocolTest, BackupJustUnderTheSizeLimitRoundTrips) {
    std::mt19937 gen(11);
    std::string db(9'999'999, '\0');
    for (auto& c : db) c = static_cast<char>(gen() & 0xFF);
    ASSERT_TRUE(SendDatabase(*client_, db));
    Text payload;
    EXPECT_EQ(result(payload), 1) << client_->lastErrorText();
    ASSERT_TRUE(logic_.backupOf("anna").has_value());
    EXPECT_TRUE(logic_.backupOf("anna")->bytes == db);
    ASSERT_TRUE(Restore(*client_, "fi"));
    ASSERT_TRUE(waitForNotice());
    EXPECT_EQ(client_->replySize(), db.size());
    EXPECT_TRUE(client_->reply() == db);
}

TEST_F(ProtocolTest, WrongCredentialsAndMissingBackup) {
    Text payload;
    ASSERT_TRUE(Restore(*client_, "fi"));
    EXPECT_EQ(result(payload), -7) << "no backup: a short error reply, not a database";
    EXPECT_LT(client_->replySize(), 1000u);

    client_->setCredentials("anna", "nope");
    ASSERT_TRUE(SendDatabase(*client_, "file"));
    EXPECT_EQ(result(payload), -2);
    EXPECT_FALSE(logic_.backupOf("anna").has_value());
}

TEST_F(ProtocolTest, PouchDataRequest) {
    logic_.setPouchData("010101-123N", "[BASIC_INFORMATION]NAME=Anna[POUCH1]DOSEDATE=2030-01-01");
    logic_.setPouchData("020202-456M", "");
    Text payload;
    ASSERT_TRUE(GetPouchData(*client_, "010101-123N", "fi"));
    EXPECT_EQ(result(payload), 1);
    EXPECT_EQ(payload, "[BASIC_INFORMATION]NAME=Anna[POUCH1]DOSEDATE=2030-01-01");
    EXPECT_EQ(last().body,
              "a=get_pouch_data&un=anna&pw=s%26cret%3D1%2B2%25&ssn=010101-123N&l=fi&t=2");

    ASSERT_TRUE(GetPouchData(*client_, "020202-456M", "fi"));
    EXPECT_EQ(result(payload), 0);
    ASSERT_TRUE(GetPouchData(*client_, "999999-999X", "fi"));
    EXPECT_EQ(result(payload), -6);
}

}  // namespace
}  // namespace velmora
