#include "store/startup.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

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
    // The statement texts themselves are pinned by the statement log test.
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT type, name FROM sqlite_master WHERE sql NOT NULL ORDER BY name;"),
              (Rows{{"table", "Alarms"}, {"index", "Alarms_owner_id"}, {"table", "Devices"},
                    {"index", "Devices_owner_id"}, {"table", "Log"}, {"index", "Log_owner_id"}, {"table", "Profiles"}, {"table", "Reports"},
                    {"table", "Settings"}}));
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT * FROM Settings;"), Rows{settingsRow()});
}

TEST_F(StartupTest, LaterStartsChangeNothing) {
    start();
    ASSERT_GT(store.insertProfile(false, "Aino", "", "", ""), 0);
    const std::string before = readBytes(dbIn(dir));
    StartupResult r = start();
    EXPECT_EQ(std::tuple(r.opened, r.created, r.migrated), std::tuple(true, false, false));
    EXPECT_EQ(readBytes(dbIn(dir)), before);
    EXPECT_EQ(std::tuple(user.settings.sw_version, user.settings.db_version, user.logged_in), std::tuple("v1.7", 4, false));
}

// A database that a newer version wrote, or whose tables are not this program's, is left byte for byte
// (legacy files wait too), and the result says why.
TEST_F(StartupTest, ANewerOrStrangeDatabaseIsLeftByteForByte) {
    const std::tuple<std::string, std::string, int> cases[] = {
        {"UPDATE Settings SET sw_version = 'v9.1', db_version = 99;", "", 99},
        {"DROP TABLE Log; CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id INTEGER);", "Log", 0},
        {"ALTER TABLE Profiles ADD COLUMN email TEXT;", "Profiles", 0},
    };
    for (const auto& [change, table, version] : cases) {
        std::filesystem::remove(dbIn(dir));
        start();
        ASSERT_EQ(rawExec(dbIn(dir), change), 0) << change;
        dir.write("profiles/aino.vel", makeContainer("[PERSON]0|Aino|||\n"));
        const std::string before = readBytes(dbIn(dir));
        StartupResult r = start();
        EXPECT_EQ(std::tuple(r.refused(), r.opened, r.wrongTable, r.newerSettings.db_version, readBytes(dbIn(dir)) == before),
                  std::tuple(true, false, table, version, true)) << change;
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "profiles" / "aino.vel")) << change;
    }
}

// A first start ended after its first statement left only Settings with its row; an index that
// another version made is no concern.
TEST_F(StartupTest, MissingTablesAreCreatedAtEveryStart) {
    ASSERT_EQ(rawExec(dbIn(dir), std::string(kSettingsTableSql) + "INSERT INTO Settings VALUES(1, 'v1.7', 4, NULL, '" +
                                     logoutDigest() + "');" + kAlarmsTableSql + "CREATE INDEX i ON Alarms(alarm_start);"),
              0);
    EXPECT_TRUE(start().opened);
    EXPECT_GT(store.insertProfile(false, "Aino", "", "", ""), 0);
    EXPECT_EQ(rawScalar(dbIn(dir), "SELECT count(*) FROM sqlite_master WHERE type = 'table';"), "6");
}

TEST_F(StartupTest, Version3DatabaseIsMigratedAndKeepsItsUsers) {
    writeVersion3Database(dbIn(dir));
    StartupResult r = start();
    EXPECT_EQ(std::tuple(r.opened, r.created, r.migrated), std::tuple(true, false, true));
    EXPECT_TRUE(user.logged_in);  // the stored password is an account digest
    EXPECT_EQ(std::tuple(user.settings.sw_version, user.settings.db_version, user.settings.username),
              std::tuple("v1.7", 4, "apteekki"));
    EXPECT_TRUE(checkAccount(user, "apteekki", "Sala-ä"));
    Profile bertta;
    ASSERT_TRUE(store.loadProfile(4, bertta));
    // The NULL program_type and window read as 0.
    EXPECT_EQ(fields(bertta), std::tuple("Bertta", "010203-1234", "", "vanha\nkommentti", true, 0, 0));

    EXPECT_FALSE(start().migrated);  // once is enough
}

TEST_F(StartupTest, TablesWithoutSettingsRowGetTheRowAndKeepTheirUsers) {
    ASSERT_TRUE(store.createDatabase());
    int id = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dbIn(dir), "DELETE FROM Settings;"), 0);
    EXPECT_TRUE(start().opened);
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT * FROM Settings;"), Rows{settingsRow()});
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT id FROM Profiles;"), Rows{{std::to_string(id)}});
}

TEST_F(StartupTest, AFileThatIsNoDatabaseIsLeftAloneAndAnUnopenableOneIsNotOpened) {
    const std::string junk(4096, '\x5a');
    dir.write("velmora.db", junk);
    EXPECT_FALSE(start().opened);
    EXPECT_EQ(testing::readBytes(dbIn(dir)), junk);
    RecordStore nowhere(dir.path() / "no-such-dir" / "velmora.db");
    EXPECT_FALSE(openDatabaseAtStartup(nowhere, dir.path(), user, kToday).opened);
}

// ---- Ended on the way: a child process killed with SIGKILL at one step ----

// Steps still to pass before the child kills itself; the label of the step goes to `gStepPipe`.
int gStepsLeft = 0;
int gStepPipe = -1;

void passStep(const std::string& label) {
    if (--gStepsLeft != 0) return;
    [[maybe_unused]] ssize_t n = ::write(gStepPipe, label.data(), label.size());
    ::raise(SIGKILL);
}

// Every statement that a connection to a file starts is a step.
int traceStatements(sqlite3* db, const char**, const sqlite3_api_routines*) {
    const char* file = sqlite3_db_filename(db, "main");
    if (file != nullptr && *file != '\0') sqlite3_trace_v2(db, SQLITE_TRACE_STMT,
                     [](unsigned, void*, void*, void* sql) { passStep(static_cast<const char*>(sql)); return 0; },
                     nullptr);
    return SQLITE_OK;
}

// Runs `body` in a child process; its wait status.
int inChildProcess(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// Starts the program's store in a child process that is killed at step `step` (statements and import
// steps counted from 1). The label of that step, or nothing when the start finished before it.
std::optional<std::string> startKilledAt(int step, const std::filesystem::path& dir) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const int status = inChildProcess([&] {
        gStepPipe = fds[1];
        gStepsLeft = step;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceStatements));
        RecordStore store(dir / "velmora.db");
        CurrentUser user;
        openDatabaseAtStartup(store, dir, user, kToday,
                              [](const char* what, const std::string& file) { passStep(std::string(what) + " " + file); });
        return 0;
    });
    ::close(fds[1]);
    std::string label(512, '\0');
    label.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(fds[0], label.data(), label.size()))));
    ::close(fds[0]);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) return std::nullopt;
    return label;
}

// Two legacy files: two people with alarms, reminders and log in one, one person in the other.
void writeLegacyFiles(const TempDir& dir) {
    dir.write("profiles/a.vel", makeContainer("[PERSON]0|Aino|111111-1111|kommentti|\n"
                                              "[DEVICE]0|1234|1.12.2026 10:00:00|20.12.2026 20:00:00|40\n"
                                              "[ALARMS]7.12.2026 8:00|31.12.2026 8:00|0|1|0|Aamu|\n"
                                              "[LOG]1.12.2026 8:00|4|1.12.2026 8:05\n2.12.2026 8:00|3|\n"
                                              "[PERSON]1|Bertta||||\n[LOG]3.12.2026 8:00|5|3.12.2026 9:00\n"));
    dir.write("profiles/b.vel", makeContainer("[PERSON]0|Cecilia|||\n[ALARMS]8.12.2026 20:00||1|1|0|Ilta|\n"));
}

// Kills a start at every step in turn; after each, one more start must leave exactly what a start that
// was never interrupted leaves: the whole schema, every person once with all their rows, no legacy file.
void killAtEveryStep(const std::function<void(const TempDir&)>& prepare) {
    TempDir reference;
    prepare(reference);
    RecordStore referenceStore(dbIn(reference));
    CurrentUser user;
    ASSERT_TRUE(openDatabaseAtStartup(referenceStore, reference.path(), user, kToday).opened);
    const Rows expected = dump(dbIn(reference));
    // The tables and the settings row are all as they were or all as a start makes them.
    auto schema = [](const TempDir& dir) {
        Rows r = rawQuery(dbIn(dir), "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY name;");
        Rows settings = rawQuery(dbIn(dir), "SELECT * FROM Settings;");
        r.insert(r.end(), settings.begin(), settings.end());
        return r;
    };
    TempDir untouched;
    prepare(untouched);
    const Rows schemaBefore = schema(untouched), schemaAfter = schema(reference);
    int claimsLeftStored = 0, claimsLeftUnstored = 0, step = 1;
    for (;; ++step) {
        TempDir dir;
        prepare(dir);
        const std::optional<std::string> killedAt = startKilledAt(step, dir.path());
        if (!killedAt) break;
        SCOPED_TRACE("killed at step " + std::to_string(step) + ": " + *killedAt);
        const Rows left = schema(dir);
        EXPECT_TRUE(left == schemaBefore || left == schemaAfter);
        for (const auto& e : std::filesystem::directory_iterator(dir.path() / "profiles")) {
            const std::string name = e.path().filename().string();
            if (name.find(kClaimedMarker) == std::string::npos) continue;
            ++(rawScalar(dbIn(dir), "PRAGMA user_version;") == name.substr(name.rfind('-') + 1) ? claimsLeftStored
                                                                                                 : claimsLeftUnstored);
        }
        RecordStore store(dbIn(dir));
        const StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
        EXPECT_TRUE(r.opened);
        EXPECT_TRUE(r.importProblems.empty());
        EXPECT_EQ(dump(dbIn(dir)), expected);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "profiles"));
    }
    EXPECT_GT(step, 20) << "every statement is a step";
    // Both dangerous moments were among them: claimed before and after the commit.
    EXPECT_GT(claimsLeftUnstored, 0);
    EXPECT_GT(claimsLeftStored, 0);
}

TEST(InterruptedStart, FirstStartWithImportCompletesWithoutDuplicates) {
    killAtEveryStep(writeLegacyFiles);
}

TEST(InterruptedStart, MigrationWithImportCompletesWithoutDuplicates) {
    killAtEveryStep([](const TempDir& dir) {
        writeVersion3Database(dbIn(dir));
        writeLegacyFiles(dir);
    });
}

// A legacy file in a folder that cannot be written could not be removed after an import: it is not
// imported at all, at any start, and each start says why. Root may write anywhere, so the starts run
// as nobody when the tests run as root.
TEST(LegacyImportOnce, AFileThatCannotBeRemovedIsNotImported) {
    TempDir dir;
    writeLegacyFiles(dir);
    ::chmod(dir.path().c_str(), 0755);
    ::chmod((dir.path() / "profiles").c_str(), 0555);
    if (::geteuid() == 0) ::chown(dir.path().c_str(), 65534, 65534);
    for (int start = 0; start < 3; ++start) {
        const int status = inChildProcess([&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 2;
            RecordStore store(dbIn(dir));
            CurrentUser user;
            const StartupResult r = openDatabaseAtStartup(store, dir.path(), user, kToday);
            const bool toldWhy = r.importProblems.size() == 2 &&
                                 std::all_of(r.importProblems.begin(), r.importProblems.end(), [](const ImportProblem& p) {
                                     return p.result == ImportResult::NotRemovable && p.reason == std::strerror(EACCES);
                                 });
            return r.opened && r.importedUsers == 0 && toldWhy ? 0 : 1;
        });
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "start " << start;
        EXPECT_EQ(rawScalar(dbIn(dir), "SELECT count(*) FROM Profiles;"), "0") << "start " << start;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "profiles" / "a.vel"));
}

// The database refuses the users (as a full disk would): the start says why and keeps the file.
TEST_F(StartupTest, ARefusedImportIsReportedWithItsReasonAndKept) {
    start();
    ASSERT_EQ(rawExec(dbIn(dir), "CREATE TRIGGER full BEFORE INSERT ON Log "
                                 "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;"),
              0);
    dir.write("profiles/aino.vel", makeContainer("[PERSON]0|Aino|||\n[LOG]1.11.2026 8:00|2|\n"));
    StartupResult r = start();
    ASSERT_EQ(r.importProblems.size(), 1u);
    EXPECT_EQ(std::tuple(r.importProblems[0].file, r.importProblems[0].result, r.importProblems[0].reason),
              std::tuple("aino.vel", ImportResult::NotStored, "database or disk is full"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "profiles" / "aino.vel"));
    EXPECT_EQ(rawScalar(dbIn(dir), "SELECT count(*) FROM Profiles;"), "0");
    ASSERT_EQ(rawExec(dbIn(dir), "DROP TRIGGER full;"), 0);
    EXPECT_EQ(start().importedUsers, 1) << "imported once there is room";
}

mode_t modeOf(const std::filesystem::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

// Health data is kept to its owner: a new database, and an existing database that others could read.
TEST_F(StartupTest, TheDatabaseIsTheOwnersOnly) {
    const mode_t oldMask = ::umask(022);
    start();
    EXPECT_EQ(modeOf(dbIn(dir)), 0600u);
    ::chmod(dbIn(dir).c_str(), 0644);
    EXPECT_FALSE(start().stillShared);
    EXPECT_EQ(modeOf(dbIn(dir)), 0600u);
    ::umask(oldMask);
    // Another account's database that this one may write but not narrow: the start says so.
    if (::geteuid() != 0) return;
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(dbIn(dir).c_str(), 0666);
    EXPECT_EQ(inChildProcess([&] {
                  CurrentUser other;
                  return ::setgid(65534) == 0 && ::setuid(65534) == 0 && openDatabaseAtStartup(store, dir.path(), other, kToday).stillShared ? 0 : 1;
              }),
              0);
}

TEST(DataDirectory, ProgramDirectoryWhenWritableElseTheUsersOwnDataDirectory) {
    std::error_code ec;
    std::filesystem::path exeDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    ASSERT_FALSE(ec);
    EXPECT_EQ(defaultDataDirectory(), exeDir);
    EXPECT_EQ(defaultDatabasePath(), exeDir / "velmora.db");

    TempDir home;
    const mode_t oldMask = ::umask(022);
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_DATA_HOME", (home.path() / "xdg").c_str(), 1);
    EXPECT_EQ(dataDirectoryFor(home.path() / "not-there"), home.path() / "xdg" / "velmora");
    EXPECT_EQ(modeOf(home.path() / "xdg" / "velmora"), 0700u);
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    EXPECT_EQ(dataDirectoryFor({}), home.path() / ".local" / "share" / "velmora");
    EXPECT_EQ(modeOf(home.path() / ".local" / "share" / "velmora"), 0700u);
    if (oldXdg) ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1);
    ::umask(oldMask);
}

}  // namespace
}  // namespace velmora
