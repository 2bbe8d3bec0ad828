#include "store/legacy_import.h"

#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "store/credentials.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using namespace testing;
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
    "1.12.2026 8:00|5|1.12.2026 9:00\n"
    "6.12.2026 8:00|5|6.12.2026 9:30\n";

TimeValue at(int y, int mo, int d, int h, int mi, int s = 0) { return toTimeValue(makeTime(y, mo, d, h, mi, s)); }

class LegacyImportTest : public testing::StoreTest {
protected:
    fs::path userFile(const std::string& name) const { return dir.path() / "profiles" / name; }
};

TEST(Container, RoundTripAndChecks) {
    const std::string bytes = makeContainer("[PERSON]0|Åke|");
    ASSERT_EQ(bytes.substr(0, 33), md5Hex(toCp1252("[PERSON]0|Åke|")) + "|");
    ASSERT_EQ(readContainer(bytes), Text("[PERSON]0|Åke|"));
    // The body is XOR-scrambled, not plain.
    EXPECT_EQ(bytes.find("PERSON"), std::string::npos);

    std::string changed = bytes;
    changed[40] = static_cast<char>(changed[40] ^ 1);
    std::string upper = bytes;  // the digest must match exactly
    for (int i = 0; i < 32; ++i) upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    // A changed byte, 9 bytes, an empty body, no separator, an upper-case digest.
    for (const std::string& bad : {changed, std::string("abcd|efgh"), md5Hex("") + "|", std::string(40, 'a'), upper})
        EXPECT_FALSE(readContainer(bad)) << bad;
}

TEST(ParseLegacyBody, PersonFieldsAndComment) {
    struct Case {
        const char *body, *name, *ssn, *comment;
        bool needsProgramming;
    };
    const Case cases[] = {
        {"[PERSON] 7|Ni\nmi|12\n34|a|b|\r\n", "Nimi", "1234", "a|b", true},
        {"[PERSON]0|Nimi|hetu|\n", "Nimi", "hetu", "", false},               // four fields: empty comment
        {"[[OTHER]]skipped[PERSON]]x|Eeva|||\n", "Eeva", "", "", false},     // "x" reads as 0
    };
    for (const Case& c : cases) {
        auto users = parseLegacyBody(c.body);
        ASSERT_EQ(users.size(), 1u) << c.body;
        EXPECT_EQ(fields(users[0].profile), std::tuple(c.name, c.ssn, "", c.comment, c.needsProgramming, 0, 600))
            << c.body;
    }
}

TEST(ParseLegacyBody, SectionsBeforePersonBelongToThatUser) {
    auto users = parseLegacyBody("[LOG]1.12.2026 8:00|2|\n[PERSON]0|Eeva|||\n[DEVICE]0|77|||\n");
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].profile.name, "Eeva");
    EXPECT_EQ(users[0].profile.history.size(), 1u);
    EXPECT_EQ(users[0].devices.size(), 1u);
}

TEST_F(LegacyImportTest, ImportsEverythingThatPassesTheLineChecksAndDeletesTheFile) {
    dir.write("profiles/aino.vel", makeContainer(kBody));
    ASSERT_EQ(importUserFile(store, dir.path(), "aino.vel"), ImportResult::Imported);
    EXPECT_FALSE(fs::exists(userFile("aino.vel")));

    std::vector<Profile> users;
    ASSERT_TRUE(store.loadProfiles(users));
    ASSERT_EQ(users.size(), 1u);
    const int id = users[0].id;
    EXPECT_EQ(fields(users[0]), std::tuple("Aino Ääninen", "121212-1212", "", "kommentti|osa 2", true, 0, 600));

    DeviceRecord d;
    ASSERT_TRUE(store.findDevice(1234, d));
    EXPECT_EQ(fields(d), std::tuple(1234u, 0, at(2026, 12, 1, 10, 0), at(2026, 12, 20, 20, 0), 40));
    EXPECT_EQ(store.getDeviceOwner(1234), id);
    ASSERT_TRUE(store.findDevice(555, d));
    EXPECT_EQ(fields(d), std::tuple(555u, 2, 0, 0, 0));  // empty first field: type 2
    EXPECT_EQ(rows("Devices"), 2);                        // the serial-0 line is skipped

    std::vector<Alarm> alarms = alarmsOf(id);
    ASSERT_EQ(alarms.size(), 2u);
    EXPECT_EQ(fields(alarms[0]),
              std::tuple("Aamu 'lääke'", "kuvaus", at(2026, 12, 7, 8, 0), at(2026, 12, 31, 8, 0), false, 1, 0));
    EXPECT_EQ(fields(alarms[1]), std::tuple("Pussihälytys", "", at(2026, 12, 10, 9, 0), 0, true, 0, 1));

    // Status 4 with its time, not downgraded by the later status-5 line for the same instant; status 3 has
    // no time read; status 5 has.
    EXPECT_EQ(logOf(id), (decltype(logOf(id)){{at(2026, 12, 1, 8, 0), at(2026, 12, 1, 8, 5), 4},
                                              {at(2026, 12, 2, 8, 0), 0, 3},
                                              {at(2026, 12, 6, 8, 0), at(2026, 12, 6, 9, 30), 5}}));
}

TEST_F(LegacyImportTest, DamagedFilesStayAndAddNothing) {
    std::string bytes = makeContainer(kBody);
    bytes[100] = static_cast<char>(bytes[100] ^ 0x20);
    dir.write("profiles/changed.vel", bytes);
    dir.write("profiles/short.vel", "123456789");
    EXPECT_EQ(importUserFile(store, dir.path(), "changed.vel"), ImportResult::Unreadable);
    EXPECT_EQ(importUserFile(store, dir.path(), "short.vel"), ImportResult::Unreadable);
    EXPECT_EQ(importUserFile(store, dir.path(), "missing.vel"), ImportResult::Unreadable);
    EXPECT_EQ(importLegacyUsers(store, dir.path()).imported, 0);
    for (const char* kept : {"changed.vel", "short.vel"}) EXPECT_TRUE(fs::exists(userFile(kept))) << kept;
    for (const char* t : {"Profiles", "Devices", "Alarms", "Log"}) EXPECT_EQ(rows(t), 0) << t;
}

TEST_F(LegacyImportTest, ListsOnlyUserFilesInNameOrder) {
    dir.write("profiles/b.vel", makeContainer("[PERSON]0|Bertta||\n"));
    dir.write("profiles/A.VEL", makeContainer("[PERSON]0|Aino||\n"));
    dir.write("profiles/notes.txt", "x");
    fs::create_directories(userFile("dir.vel"));
    EXPECT_EQ(listLegacyUserFiles(dir.path()), (std::vector<std::string>{"A.VEL", "b.vel"}));
    EXPECT_EQ(importLegacyUsers(store, dir.path()).imported, 2);
    EXPECT_TRUE(fs::exists(userFile("notes.txt")));
    EXPECT_TRUE(listLegacyUserFiles(dir.path() / "nowhere").empty());
}

// Reading a good file and deleting it are the account flow's test at start-up.
TEST_F(LegacyImportTest, AMissingOrDamagedSettingsFileGivesNoPassword) {
    CurrentUser user;
    EXPECT_FALSE(settingsFileExists(dir.path()));
    EXPECT_FALSE(readSettingsFile(dir.path(), user));
    std::string bad = makeContainer("[GENERAL]1|salasana|x");
    bad.back() = static_cast<char>(bad.back() ^ 1);
    dir.write("settings.dat", bad);
    EXPECT_FALSE(readSettingsFile(dir.path(), user));
    EXPECT_EQ(user.account_password, "");
}

}  // namespace
}  // namespace velmora
