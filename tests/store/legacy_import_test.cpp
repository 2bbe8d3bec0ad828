#include "store/legacy_import.h"

#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "store/credentials.h"
#include "store/record_store.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using testing::rawExec;
using testing::rawScalar;
using testing::TempDir;
namespace fs = std::filesystem;

const Text kBody =
    "[PERSON]1|Aino Ääninen|121212-1212|kommentti|osa 2|\r\n"
    "[DEVICE]0|1234|1.12.2026 10:00:00|20.12.2026 20:00:00|40\n"
    "|555|||\n"
    "2|0|||\n"
    "[ALARMS]7.12.2026 8:00|31.12.2026 8:00|0|1|0|Aamu 'lääke'|kuvaus\n"
    "8.12.2026 8:00||1|7|0|bad pattern|\n"
    "9.12.2026 8:00||2|1|0|bad forever|\n"
    "not a date||0|0|0|bad start|\n"
    "10.12.2026 9:00|huono|1|0|1|Pussihälytys|\n"
    "[LOG]1.12.2026 8:00|4|1.12.2026 8:05\n"
    "2.12.2026 8:00|3|2.12.2026 9:00\n"
    "3.12.2026 8:00|9|\n"
    "4.12.2026 8:00\n"
    "1.12.2026 8:00|5|1.12.2026 9:00\n";

TimeValue at(int y, int mo, int d, int h, int mi, int s = 0) { return toTimeValue(makeTime(y, mo, d, h, mi, s)); }

class LegacyImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.createDatabase());
        ASSERT_TRUE(store.createReportsTable());
    }
    fs::path userFile(const std::string& name) const { return dir.path() / "profiles" / name; }
    int rows(const std::string& table) { return std::stoi(rawScalar(dir.db(), "SELECT count(*) FROM " + table + ";")); }
    TempDir dir;
    RecordStore store{dir.db()};
};

TEST(Container, RoundTripAndChecks) {
    std::string bytes = makeContainer("[PERSON]0|Åke|");
    ASSERT_EQ(bytes.substr(0, 33), md5Hex(toCp1252("[PERSON]0|Åke|")) + "|");
    ASSERT_EQ(readContainer(bytes), Text("[PERSON]0|Åke|"));
    // The body is XOR-scrambled, not plain.
    EXPECT_EQ(bytes.find("PERSON"), std::string::npos);

    std::string changed = bytes;
    changed[40] = static_cast<char>(changed[40] ^ 1);
    EXPECT_FALSE(readContainer(changed));
    EXPECT_FALSE(readContainer("abcd|efgh"));          // 9 bytes
    EXPECT_FALSE(readContainer(md5Hex("") + "|"));     // empty body
    EXPECT_FALSE(readContainer(std::string(40, 'a')));  // no separator
    std::string upper = bytes;
    for (int i = 0; i < 32; ++i) upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    if (upper != bytes) {
        EXPECT_FALSE(readContainer(upper));  // the digest must match exactly
    }
}

TEST(ParseLegacyBody, PersonFieldsAndComment) {
    auto users = parseLegacyBody("[PERSON] 7|Ni\nmi|12\n34|a|b|\r\n");
    ASSERT_EQ(users.size(), 1u);
    const Profile& p = users[0].profile;
    EXPECT_TRUE(p.is_programming_needed);
    EXPECT_EQ(p.name, "Nimi");
    EXPECT_EQ(p.ssn, "1234");
    EXPECT_EQ(p.comment, "a|b");
    EXPECT_EQ(p.phone, "");

    users = parseLegacyBody("[PERSON]0|Nimi|hetu|\n");  // four fields: empty comment
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].profile.comment, "");
    EXPECT_FALSE(users[0].profile.is_programming_needed);

    users = parseLegacyBody("[[OTHER]]skipped[PERSON]]x|Eeva|||\n");
    ASSERT_EQ(users.size(), 1u);
    EXPECT_FALSE(users[0].profile.is_programming_needed);  // "x" reads as 0
    EXPECT_EQ(users[0].profile.name, "Eeva");
}

TEST(ParseLegacyBody, SectionsBeforePersonBelongToThatUser) {
    auto users = parseLegacyBody("[LOG]1.12.2026 8:00|2|\n[PERSON]0|Eeva|||\n[DEVICE]0|77|||\n");
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].profile.name, "Eeva");
    EXPECT_EQ(users[0].profile.history.size(), 1u);
    EXPECT_EQ(users[0].devices.size(), 1u);
}

TEST_F(LegacyImportTest, ImportsEverythingThatPassesTheLineChecksAndDeletesTheFile) {
    testing::writeBytes(userFile("aino.vel"), makeContainer(kBody));
    ASSERT_TRUE(importUserFile(store, dir.path(), "aino.vel"));
    EXPECT_FALSE(fs::exists(userFile("aino.vel")));

    std::vector<Profile> users;
    ASSERT_TRUE(store.loadProfiles(users));
    ASSERT_EQ(users.size(), 1u);
    const Profile& p = users[0];
    EXPECT_EQ(p.name, "Aino Ääninen");
    EXPECT_EQ(p.ssn, "121212-1212");
    EXPECT_EQ(p.comment, "kommentti|osa 2");
    EXPECT_TRUE(p.is_programming_needed);
    EXPECT_EQ(p.window, 600);

    DeviceRecord d;
    ASSERT_TRUE(store.findDevice(1234, d));
    EXPECT_EQ(d.device_type, 0);
    EXPECT_EQ(d.programming_time, at(2026, 12, 1, 10, 0));
    EXPECT_EQ(d.last_alarm, at(2026, 12, 20, 20, 0));
    EXPECT_EQ(d.alarm_amount, 40);
    EXPECT_EQ(store.getDeviceOwner(1234), p.id);
    DeviceRecord typeless;
    ASSERT_TRUE(store.findDevice(555, typeless));
    EXPECT_EQ(typeless.device_type, 2);  // empty first field
    EXPECT_EQ(typeless.programming_time, 0);
    EXPECT_EQ(rows("Devices"), 2);        // the serial-0 line is skipped

    std::vector<Alarm> alarms;
    ASSERT_TRUE(store.loadAlarms(p.id, alarms));
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(alarms[0].title, "Aamu 'lääke'");
    EXPECT_EQ(alarms[0].description, "kuvaus");
    EXPECT_EQ(toTimeValue(alarms[0].alarm_start), at(2026, 12, 7, 8, 0));
    EXPECT_EQ(toTimeValue(alarms[0].alarm_end), at(2026, 12, 31, 8, 0));
    EXPECT_EQ(alarms[0].repeat_pattern, 1);
    EXPECT_FALSE(alarms[0].repeat_forever);
    EXPECT_EQ(alarms[1].title, "Pussihälytys");
    EXPECT_EQ(alarms[1].alarm_type, 1);
    EXPECT_TRUE(alarms[1].repeat_forever);
    EXPECT_EQ(rawScalar(dir.db(), "SELECT alarm_end FROM Alarms WHERE id = " + std::to_string(alarms[1].id) + ";"),
              "0");

    std::vector<LogEntry> log;
    ASSERT_TRUE(store.loadLog(p.id, log));
    std::map<TimeValue, LogEntry> byTime;
    for (const LogEntry& e : log) byTime[e.alarm_time] = e;
    ASSERT_EQ(byTime.size(), 2u);
    // Status 4 with its time; the later status-5 line for the same instant does not downgrade it.
    EXPECT_EQ(byTime[at(2026, 12, 1, 8, 0)].log_status, 4);
    EXPECT_EQ(byTime[at(2026, 12, 1, 8, 0)].ack, at(2026, 12, 1, 8, 5));
    EXPECT_EQ(byTime[at(2026, 12, 2, 8, 0)].log_status, 3);
    EXPECT_EQ(byTime[at(2026, 12, 2, 8, 0)].ack, 0);  // not read for status 3

    // A second run finds nothing.
    EXPECT_EQ(importLegacyUsers(store, dir.path()), 0);
    EXPECT_EQ(rows("Profiles"), 1);
}

TEST_F(LegacyImportTest, DamagedFilesStayAndAddNothing) {
    std::string bytes = makeContainer(kBody);
    bytes[100] = static_cast<char>(bytes[100] ^ 0x20);
    testing::writeBytes(userFile("changed.vel"), bytes);
    testing::writeBytes(userFile("short.vel"), "123456789");
    EXPECT_FALSE(importUserFile(store, dir.path(), "changed.vel"));
    EXPECT_FALSE(importUserFile(store, dir.path(), "short.vel"));
    EXPECT_FALSE(importUserFile(store, dir.path(), "missing.vel"));
    EXPECT_EQ(importLegacyUsers(store, dir.path()), 0);
    EXPECT_TRUE(fs::exists(userFile("changed.vel")));
    EXPECT_TRUE(fs::exists(userFile("short.vel")));
    for (const char* t : {"Profiles", "Devices", "Alarms", "Log"}) EXPECT_EQ(rows(t), 0) << t;
}

TEST_F(LegacyImportTest, FailedUserInsertWritesNothingAndKeepsTheFile) {
    testing::writeBytes(userFile("aino.vel"), makeContainer(kBody));
    ASSERT_EQ(rawExec(dir.db(), "DROP TABLE Profiles;"), 0);
    EXPECT_FALSE(importUserFile(store, dir.path(), "aino.vel"));
    EXPECT_TRUE(fs::exists(userFile("aino.vel")));
    EXPECT_EQ(rows("Devices"), 0);  // nothing under owner -1
    EXPECT_EQ(rows("Alarms"), 0);
    EXPECT_EQ(rows("Log"), 0);
}

TEST_F(LegacyImportTest, FailureInALaterSectionRollsBackTheUser) {
    testing::writeBytes(userFile("aino.vel"), makeContainer(kBody));
    ASSERT_EQ(rawExec(dir.db(), "DROP TABLE Log;"), 0);
    EXPECT_FALSE(importUserFile(store, dir.path(), "aino.vel"));
    EXPECT_TRUE(fs::exists(userFile("aino.vel")));
    EXPECT_EQ(rows("Profiles"), 0);
    EXPECT_EQ(rows("Devices"), 0);
    EXPECT_EQ(rows("Alarms"), 0);
    // Once the file can be stored it is imported whole.
    ASSERT_EQ(rawExec(dir.db(), "CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id "
                                "INTEGER, PRIMARY KEY (alarm_time, owner_id));"),
              0);
    EXPECT_EQ(importLegacyUsers(store, dir.path()), 1);
    EXPECT_EQ(rows("Profiles"), 1);
    EXPECT_EQ(rows("Log"), 2);
}

TEST_F(LegacyImportTest, ListsOnlyUserFilesInNameOrder) {
    testing::writeBytes(userFile("b.vel"), makeContainer("[PERSON]0|Bertta||\n"));
    testing::writeBytes(userFile("A.VEL"), makeContainer("[PERSON]0|Aino||\n"));
    testing::writeBytes(userFile("notes.txt"), "x");
    fs::create_directories(userFile("dir.vel"));
    EXPECT_EQ(listLegacyUserFiles(dir.path()), (std::vector<std::string>{"A.VEL", "b.vel"}));
    EXPECT_EQ(importLegacyUsers(store, dir.path()), 2);
    EXPECT_TRUE(fs::exists(userFile("notes.txt")));
    EXPECT_TRUE(listLegacyUserFiles(dir.path() / "nowhere").empty());
}

TEST_F(LegacyImportTest, SettingsFileGivesTheLegacyPassword) {
    CurrentUser user;
    EXPECT_FALSE(settingsFileExists(dir.path()));
    EXPECT_FALSE(readSettingsFile(dir.path(), user));
    testing::writeBytes(dir.path() / "settings.dat", makeContainer("[GENERAL]1|vanha salasana|x"));
    EXPECT_TRUE(settingsFileExists(dir.path()));
    ASSERT_TRUE(readSettingsFile(dir.path(), user));
    EXPECT_EQ(user.account_password, "vanha salasana");
    EXPECT_TRUE(deleteSettingsFile(dir.path()));
    EXPECT_FALSE(settingsFileExists(dir.path()));

    std::string bad = makeContainer("[GENERAL]1|salasana|x");
    bad.back() = static_cast<char>(bad.back() ^ 1);
    testing::writeBytes(dir.path() / "settings.dat", bad);
    CurrentUser other;
    EXPECT_FALSE(readSettingsFile(dir.path(), other));
    EXPECT_EQ(other.account_password, "");
}

}  // namespace
}  // namespace velmora
