// The statement texts the store sends, logged through SQLite's statement
// trace on every connection it opens: the schema, which every file keeps and
// other tools read, and the statements whose effect no round trip in the
// tests sees. The rest are pinned by what they store and read (emptying a
// calendar and the report's own reminders, for example, by the main window's
// and the report dialog's tests); a new alarm's row is written as the
// insertion of several.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store/record_store.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using Log = std::vector<std::string>;
Log statements;

// Installed on every new connection of the process while the test runs.
int traceConnection(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void*, void*, void* text) {
            statements.emplace_back(static_cast<const char*>(text));
            return 0;
        },
        nullptr);
    return SQLITE_OK;
}

using Operation = std::function<void()>;
using StatementLogTest = testing::StoreTest;

TEST_F(StatementLogTest, TextsAreTheStoredOnes) {
    Alarm alarm;
    alarm.alarm_start = fromTimeValue(1796000000);
    alarm.alarm_end = fromTimeValue(1796000000);
    alarm.repeat_pattern = 7;
    alarm.title = "Aamu";
    Alarm stored = alarm;
    ASSERT_TRUE(store.saveAlarm(stored, 1));
    const std::string insertAlarm =
        "INSERT INTO Alarms ('alarm_start', 'alarm_end', 'repeat_forever', 'repeat_pattern', 'alarm_type', "
        "'title', 'description', 'owner_id') VALUES(1796000000, 1796000000, 0, 7, 0, ?, ?, 1);";
    RecordStore fresh(dir.path() / "fresh.db"), older(dir.path() / "older.db");
    ASSERT_EQ(testing::rawExec(older.databasePath(), "CREATE TABLE Profiles (id INTEGER PRIMARY KEY);"), 0);

    const std::tuple<const char*, Operation, Log> cases[] = {
        {"createDatabase", [&] { fresh.createDatabase(); },
         {"PRAGMA encoding = 'UTF-16le';",
          "CREATE TABLE Settings (id INTEGER PRIMARY KEY, sw_version TEXT, db_version INTEGER, username TEXT, "
          "password TEXT);",
          "INSERT INTO Settings ('id', 'sw_version', 'db_version', 'password') VALUES(1, 'v1.7', 4, '" +
              logoutDigest() + "');",
          "CREATE TABLE Profiles (id INTEGER PRIMARY KEY, is_programming_needed INTEGER, name TEXT, ssn TEXT, "
          "phone TEXT, comment TEXT, program_type INTEGER, window INTEGER);",
          "CREATE TABLE Devices(sn INTEGER PRIMARY KEY, device_type INTEGER, programming_time INTEGER, "
          "last_alarm INTEGER, alarm_amount INTEGER, owner_id INTEGER);",
          "CREATE TABLE Alarms(id INTEGER PRIMARY KEY, alarm_start INTEGER, alarm_end INTEGER, repeat_forever "
          "INTEGER, repeat_pattern INTEGER, alarm_type INTEGER, title TEXT, description TEXT, owner_id INTEGER);",
          "CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id INTEGER, PRIMARY KEY "
          "(alarm_time, owner_id));"}},
        {"createReportsTable", [&] { store.createReportsTable(); },
         {"CREATE TABLE IF NOT EXISTS Reports(owner_id INTEGER PRIMARY KEY, report TEXT);"}},
        {"migrateProfiles", [&] { older.migrateProfiles(); },
         {"ALTER TABLE Profiles ADD COLUMN program_type INTEGER;", "ALTER TABLE Profiles ADD COLUMN window INTEGER;"}},
        {"createOwnerIndexes", [&] { store.createOwnerIndexes(); },
         {"CREATE INDEX IF NOT EXISTS Devices_owner_id ON Devices(owner_id);",
          "CREATE INDEX IF NOT EXISTS Alarms_owner_id ON Alarms(owner_id);"}},
        {"createLogOwnerIndex", [&] { store.createLogOwnerIndex(); },
         {"CREATE INDEX IF NOT EXISTS Log_owner_id ON Log(owner_id, alarm_time);"}},
        {"setVersion", [&] { store.setVersion("v1.7", 4); },
         {"UPDATE Settings SET sw_version=?, db_version=? WHERE id=1;"}},
        {"saveAlarm stored", [&] { store.saveAlarm(stored, 1); },
         {"UPDATE Alarms SET alarm_start = 1796000000, alarm_end = 1796000000, repeat_forever = 0, repeat_pattern "
          "= 7, alarm_type = 0, title = ?, description = ? WHERE id = 1"}},
        {"insertAlarms", [&] { store.insertAlarms({alarm}, 1); }, {"begin;", insertAlarm, "commit;"}},
        {"deleteAlarm", [&] { store.deleteAlarm(9); }, {"DELETE FROM Alarms WHERE id = 9;"}},
        {"setDeviceOwner", [&] { store.setDeviceOwner(2, 77); },
         {"UPDATE Devices SET owner_id = 2 WHERE sn = 77;"}},
        {"storeAccount", [&] { store.storeAccount("apteekki", "ab12"); },
         {"UPDATE Settings SET id = 1, username = ?, password = 'ab12'"}},
        {"storePassword", [&] { store.storePassword("ab12"); },
         {"UPDATE Settings SET id = 1, password = 'ab12'"}},
    };
    ASSERT_EQ(sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceConnection)), SQLITE_OK);
    for (const auto& [name, operation, expected] : cases) {
        statements.clear();
        operation();
        EXPECT_EQ(statements, expected) << name;
    }
    sqlite3_reset_auto_extension();
}

}  // namespace
}  // namespace velmora
