#include "store/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "store/credentials.h"
#include "store/legacy_import.h"
#include "store/schema.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using namespace testing;

constexpr SYSTEMTIME kToday = makeTime(2026, 12, 6, 9, 30);

std::vector<std::string> settingsRow() { return {"1", "v1.7", "4", "NULL", logoutDigest()}; }

// Everything a database holds: its schema and the rows of every table.
Rows dump(const std::filesystem::path& db) {
    Rows all = rawQuery(db, "SELECT type, name, sql FROM sqlite_master ORDER BY name;");
    for (const char* t : {"Settings", "Profiles", "Devices", "Alarms", "Log", "Reports"}) {
        Rows r = rawQuery(db, std::string("SELECT * FROM ") + t + " ORDER BY 1;");
        all.push_back({t});
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

// A database as the version before schema 4 left it: no Reports, Profiles without its last two columns.
void writeVersion3Database(const std::filesystem::path& db) {
    const std::string profiles = kProfilesTableSql;
    for (const std::string& sql : {std::string(kSettingsTableSql), profiles.substr(0, profiles.find(", program_type")) + ");",
                                  std::string(kDevicesTableSql), std::string(kAlarmsTableSql), std::string(kLogTableSql)})
        ASSERT_EQ(rawExec(db, sql), 0) << sql;
    ASSERT_EQ(rawExec(db, "INSERT INTO Settings VALUES(1, 'v1.5', 3, 'apteekki', 'cb0cc6f77035b9a5c727d0c1a6623761');"
                          "INSERT INTO Profiles VALUES(4, 1, '" + FieldCipher::encipher("Bertta") + "', '" +
                              FieldCipher::encipher("010203-1234") + "', '', '" +
                              FieldCipher::encipher("vanha\nkommentti") + "');"),
              0);
}

class StartupTest : public ::testing::Test {
protected:
    StartupResult start() {
        user = CurrentUser();
        return openDatabaseAtStartup(store, dir.path(), user, kToday);
    }
    TempDir dir;
    RecordStore store{dbIn(dir)};
    CurrentUser user;
};

TEST_F(StartupTest, NewFileGetsTheSixTablesAndTheSettingsRow) {
    user.logged_in = true;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_EQ(std::tuple(r.opened, r.created, r.migrated), std::tuple(true, true, false));
    EXPECT_FALSE(user.logged_in);
    EXPECT_FALSE(user.daylight.start.empty());  // Helsinki has daylight saving
    EXPECT_EQ(user.settings.sw_version, "");    // the copy is not read again on a new file
    // The statement texts themselves are pinned by the statement log test.
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT type, name FROM sqlite_master WHERE sql NOT NULL ORDER BY name;"),
              (Rows{{"table", "Alarms"}, {"index", "Alarms_owner_id"}, {"table", "Devices"},
                    {"index", "Devices_owner_id"}, {"table", "Log"}, {"index", "Log_owner_id"}, {"table", "Profiles"}, {"table", "Reports"},
                    {"table", "Settings"}}));
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT * FROM Settings;"), Rows{settingsRow()});
}

TEST_F(StartupTest, LaterStartsChangeNothingButTheVersionsOfANewerDatabase) {
    start();
    ASSERT_GT(store.insertProfile(false, "Aino", "", "", ""), 0);
    Rows before = dump(dbIn(dir));
    StartupResult r = start();
    EXPECT_EQ(std::tuple(r.opened, r.created, r.migrated), std::tuple(true, false, false));
    EXPECT_EQ(dump(dbIn(dir)), before);
    EXPECT_EQ(user.settings.sw_version, "v1.7");
    EXPECT_EQ(user.settings.db_version, 4);
    EXPECT_FALSE(user.logged_in);

    // A version-5 database is used as it is; only the versions in its settings row are set back.
    ASSERT_EQ(rawExec(dbIn(dir), "UPDATE Settings SET sw_version = 'v2.0', db_version = 5;"), 0);
    before = dump(dbIn(dir));
    EXPECT_FALSE(start().migrated);
    EXPECT_EQ(user.settings.db_version, 4);
    auto settings = std::find(before.begin(), before.end(), std::vector<std::string>{"Settings"}) + 1;
    ASSERT_EQ(*settings, (std::vector<std::string>{"1", "v2.0", "5", "NULL", logoutDigest()}));
    *settings = settingsRow();
    EXPECT_EQ(dump(dbIn(dir)), before);
}

TEST_F(StartupTest, Version3DatabaseIsMigratedAndKeepsItsUsers) {
    writeVersion3Database(dbIn(dir));
    StartupResult r = start();
    EXPECT_EQ(std::tuple(r.opened, r.created, r.migrated), std::tuple(true, false, true));
    EXPECT_TRUE(user.logged_in);  // the stored password is an account digest
    EXPECT_EQ(std::tuple(user.settings.sw_version, user.settings.db_version, user.settings.username),
              std::tuple("v1.7", 4, "apteekki"));
    EXPECT_TRUE(checkAccount(user, "apteekki", "Sala-ä"));
    std::vector<Profile> users;
    ASSERT_TRUE(store.loadProfiles(users));
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].id, 4);
    // The NULL program_type and window read as 0.
    EXPECT_EQ(fields(users[0]), std::tuple("Bertta", "010203-1234", "", "vanha\nkommentti", true, 0, 0));

    EXPECT_FALSE(start().migrated);  // once is enough
    // Reports arrives with the first stored report.
    Text report = "unchanged";
    EXPECT_TRUE(store.loadReport(4, report));
    EXPECT_EQ(report, "unchanged");
}

TEST_F(StartupTest, TablesWithoutSettingsRowGetTheRowAndKeepTheirUsers) {
    ASSERT_TRUE(store.createDatabase());
    int id = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dbIn(dir), "DELETE FROM Settings;"), 0);
    EXPECT_TRUE(start().opened);
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT * FROM Settings;"), Rows{settingsRow()});
    Profile p;
    ASSERT_TRUE(store.loadProfile(id, p));
    EXPECT_EQ(p.name, "Aino");
}

TEST_F(StartupTest, AFileThatIsNoDatabaseIsLeftAloneAndAnUnopenableOneLeavesDefaults) {
    const std::string junk(4096, '\x5a');
    dir.write("velmora.db", junk);
    EXPECT_FALSE(start().opened);
    EXPECT_EQ(testing::readBytes(dbIn(dir)), junk);
    RecordStore nowhere(dir.path() / "no-such-dir" / "velmora.db");
    EXPECT_FALSE(openDatabaseAtStartup(nowhere, dir.path(), user, kToday).opened);
    EXPECT_FALSE(user.logged_in);
    EXPECT_FALSE(nowhere.reloadUsers(user));
}

TEST_F(StartupTest, ImportsLegacyUserFilesLast) {
    dir.write("profiles/aino.vel", makeContainer("[PERSON]0|Aino Ääninen|121212-1212|kommentti|\r\n"));
    EXPECT_EQ(start().importedUsers, 1);
    ASSERT_TRUE(store.reloadUsers(user));
    ASSERT_EQ(user.users.size(), 1u);
    EXPECT_EQ(user.users[0].name, "Aino Ääninen");
}

TEST(DataDirectory, ProgramDirectoryWhenWritableElseTheUsersDataDirectory) {
    std::error_code ec;
    std::filesystem::path exeDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    ASSERT_FALSE(ec);
    EXPECT_EQ(defaultDataDirectory(), exeDir);
    EXPECT_EQ(defaultDatabasePath(), exeDir / "velmora.db");

    TempDir home;
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_DATA_HOME", (home.path() / "xdg").c_str(), 1);
    EXPECT_EQ(dataDirectoryFor(home.path() / "not-there"), home.path() / "xdg" / "velmora");
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / "xdg" / "velmora"));
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    EXPECT_EQ(dataDirectoryFor({}), home.path() / ".local" / "share" / "velmora");
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / ".local" / "share" / "velmora"));
    if (oldXdg) ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace velmora
