#include "store/startup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store/legacy_import.h"
#include "store/record_store.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using testing::rawExec;
using testing::rawQuery;
using testing::rawScalar;
using testing::Rows;
using testing::TempDir;

constexpr SYSTEMTIME kToday = makeTime(2026, 12, 6, 9, 30);

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

// A database as the version before schema 4 left it.
void writeVersion3Database(const std::filesystem::path& db) {
    ASSERT_EQ(rawExec(db,
                      "CREATE TABLE Settings (id INTEGER PRIMARY KEY, sw_version TEXT, db_version INTEGER, "
                      "username TEXT, password TEXT);"
                      "INSERT INTO Settings VALUES(1, 'v1.5', 3, 'apteekki', 'cb0cc6f77035b9a5c727d0c1a6623761');"
                      "CREATE TABLE Profiles (id INTEGER PRIMARY KEY, is_programming_needed INTEGER, name TEXT, "
                      "ssn TEXT, phone TEXT, comment TEXT);"
                      "CREATE TABLE Devices(sn INTEGER PRIMARY KEY, device_type INTEGER, programming_time INTEGER, "
                      "last_alarm INTEGER, alarm_amount INTEGER, owner_id INTEGER);"
                      "CREATE TABLE Alarms(id INTEGER PRIMARY KEY, alarm_start INTEGER, alarm_end INTEGER, "
                      "repeat_forever INTEGER, repeat_pattern INTEGER, alarm_type INTEGER, title TEXT, "
                      "description TEXT, owner_id INTEGER);"
                      "CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id INTEGER, "
                      "PRIMARY KEY (alarm_time, owner_id));"),
              0);
    const std::string insert = "INSERT INTO Profiles VALUES(4, 1, '" + FieldCipher::encipher("Bertta") + "', '" +
                               FieldCipher::encipher("010203-1234") + "', '', '" +
                               FieldCipher::encipher("vanha\nkommentti") + "');";
    ASSERT_EQ(rawExec(db, insert), 0);
}

TEST(Startup, NewFileGetsTheSixTablesAndTheSettingsRow) {
    TempDir dir;
    RecordStore store(dir.db());
    CurrentUser user;
    user.logged_in = true;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.created);
    EXPECT_FALSE(r.migrated);
    EXPECT_FALSE(user.logged_in);
    EXPECT_EQ(user.id, 0);
    EXPECT_EQ(user.connected_sn, 0u);
    EXPECT_FALSE(user.daylight.start.empty());  // Helsinki has daylight saving
    EXPECT_EQ(user.settings.sw_version, "");    // the copy is not read again on a new file

    Rows tables = rawQuery(dir.db(), "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY name;");
    Rows expected = {
        {"Alarms",
         "CREATE TABLE Alarms(id INTEGER PRIMARY KEY, alarm_start INTEGER, alarm_end INTEGER, repeat_forever "
         "INTEGER, repeat_pattern INTEGER, alarm_type INTEGER, title TEXT, description TEXT, owner_id INTEGER)"},
        {"Devices",
         "CREATE TABLE Devices(sn INTEGER PRIMARY KEY, device_type INTEGER, programming_time INTEGER, last_alarm "
         "INTEGER, alarm_amount INTEGER, owner_id INTEGER)"},
        {"Log",
         "CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id INTEGER, PRIMARY KEY "
         "(alarm_time, owner_id))"},
        {"Profiles",
         "CREATE TABLE Profiles (id INTEGER PRIMARY KEY, is_programming_needed INTEGER, name TEXT, ssn TEXT, phone "
         "TEXT, comment TEXT, program_type INTEGER, window INTEGER)"},
        {"Reports", "CREATE TABLE Reports(owner_id INTEGER PRIMARY KEY, report TEXT)"},
        {"Settings",
         "CREATE TABLE Settings (id INTEGER PRIMARY KEY, sw_version TEXT, db_version INTEGER, username TEXT, "
         "password TEXT)"},
    };
    EXPECT_EQ(tables, expected);
    Rows settings = rawQuery(dir.db(), "SELECT * FROM Settings;");
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0], (std::vector<std::string>{"1", "v1.7", "4", "NULL", logoutDigest()}));
    EXPECT_EQ(rawScalar(dir.db(), "SELECT count(*) FROM Profiles;"), "0");
    EXPECT_EQ(rawScalar(dir.db(), "PRAGMA encoding;"), "UTF-16le");
}

TEST(Startup, SecondStartChangesNothing) {
    TempDir dir;
    RecordStore store(dir.db());
    CurrentUser first;
    openDatabaseAtStartup(store, dir.path(), first, kToday);
    ASSERT_GT(store.insertProfile(false, "Aino", "", "", ""), 0);
    Rows before = dump(dir.db());
    CurrentUser second;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), second, kToday);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.created);
    EXPECT_FALSE(r.migrated);
    EXPECT_EQ(dump(dir.db()), before);
    EXPECT_EQ(second.settings.sw_version, "v1.7");
    EXPECT_EQ(second.settings.db_version, 4);
    EXPECT_FALSE(second.logged_in);
}

TEST(Startup, Version3DatabaseIsMigratedAndKeepsItsUsers) {
    TempDir dir;
    writeVersion3Database(dir.db());
    RecordStore store(dir.db());
    CurrentUser user;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.migrated);
    EXPECT_TRUE(user.logged_in);  // the stored password is an account digest
    EXPECT_EQ(user.settings.sw_version, "v1.7");
    EXPECT_EQ(user.settings.db_version, 4);
    EXPECT_EQ(user.settings.username, "apteekki");
    EXPECT_TRUE(checkAccount(user, "apteekki", "Sala-ä"));

    std::vector<Profile> users;
    ASSERT_TRUE(store.loadProfiles(users));
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].id, 4);
    EXPECT_EQ(users[0].name, "Bertta");
    EXPECT_EQ(users[0].ssn, "010203-1234");
    EXPECT_EQ(users[0].comment, "vanha\nkommentti");
    EXPECT_TRUE(users[0].is_programming_needed);
    EXPECT_EQ(users[0].program_type, 0);  // NULL columns read as 0
    EXPECT_EQ(users[0].window, 0);

    // The new columns are there and writable; a later start migrates nothing.
    users[0].window = 3600;
    ASSERT_TRUE(store.updateProfile(users[0]));
    Profile again;
    ASSERT_TRUE(store.loadProfile(4, again));
    EXPECT_EQ(again.window, 3600);
    CurrentUser later;
    EXPECT_FALSE(openDatabaseAtStartup(store, dir.path(), later, kToday).migrated);
    // Reports arrives with the first stored report.
    EXPECT_EQ(rawScalar(dir.db(), "SELECT count(*) FROM sqlite_master WHERE name = 'Reports';"), "0");
    Text report = "unchanged";
    EXPECT_TRUE(store.loadReport(4, report));
    EXPECT_EQ(report, "unchanged");
    ASSERT_TRUE(store.saveReport(4, "Raportti"));
    ASSERT_TRUE(store.loadReport(4, report));
    EXPECT_EQ(report, "Raportti");
}

TEST(Startup, NewerDatabaseIsUsedUnchangedButForItsVersion) {
    TempDir dir;
    RecordStore store(dir.db());
    CurrentUser user;
    openDatabaseAtStartup(store, dir.path(), user, kToday);
    ASSERT_GT(store.insertProfile(false, "Aino", "", "", ""), 0);
    ASSERT_EQ(rawExec(dir.db(), "UPDATE Settings SET sw_version = 'v2.0', db_version = 5;"), 0);
    Rows before = dump(dir.db());
    CurrentUser next;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), next, kToday);
    EXPECT_FALSE(r.migrated);
    EXPECT_EQ(next.settings.db_version, 4);
    Rows after = dump(dir.db());
    // Only the settings row differs, and only in its versions.
    ASSERT_EQ(before.size(), after.size());
    int differing = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) {
            ++differing;
            EXPECT_EQ(after[i], (std::vector<std::string>{"1", "v1.7", "4", "NULL", logoutDigest()}));
        }
    EXPECT_EQ(differing, 1);
}

TEST(Startup, TablesWithoutSettingsRowGetTheRowAndKeepTheirUsers) {
    TempDir dir;
    RecordStore store(dir.db());
    ASSERT_TRUE(store.createDatabase());
    int id = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dir.db(), "DELETE FROM Settings;"), 0);
    CurrentUser user;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(rawQuery(dir.db(), "SELECT * FROM Settings;"),
              (Rows{{"1", "v1.7", "4", "NULL", logoutDigest()}}));
    Profile p;
    ASSERT_TRUE(store.loadProfile(id, p));
    EXPECT_EQ(p.name, "Aino");
}

TEST(Startup, AFileThatIsNoDatabaseIsLeftAlone) {
    TempDir dir;
    std::string junk(4096, '\x5a');
    testing::writeBytes(dir.db(), junk);
    RecordStore store(dir.db());
    CurrentUser user;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(testing::readBytes(dir.db()), junk);
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

TEST(Startup, UnopenableDatabaseLeavesDefaults) {
    TempDir dir;
    RecordStore store(dir.path() / "no-such-dir" / "velmora.db");
    CurrentUser user;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_FALSE(r.opened);
    EXPECT_FALSE(user.logged_in);
    EXPECT_TRUE(store.reloadUsers(user) == false);
    EXPECT_TRUE(user.users.empty());
}

TEST(Startup, ImportsLegacyUserFilesLast) {
    TempDir dir;
    testing::writeBytes(dir.path() / "profiles" / "aino.vel",
                        makeContainer("[PERSON]0|Aino Ääninen|121212-1212|kommentti|\r\n"));
    RecordStore store(dir.db());
    CurrentUser user;
    StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
    EXPECT_EQ(r.importedUsers, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "profiles" / "aino.vel"));
    ASSERT_TRUE(store.reloadUsers(user));
    ASSERT_EQ(user.users.size(), 1u);
    EXPECT_EQ(user.users[0].name, "Aino Ääninen");
}

}  // namespace
}  // namespace velmora
