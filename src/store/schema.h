#pragma once
// The table definitions, executed with exactly these texts so that the
// stored schema matches the databases in use.
namespace velmora {

inline constexpr char kSettingsTableSql[] =
    "CREATE TABLE Settings (id INTEGER PRIMARY KEY, sw_version TEXT, db_version INTEGER, "
    "username TEXT, password TEXT);";
inline constexpr char kProfilesTableSql[] =
    "CREATE TABLE Profiles (id INTEGER PRIMARY KEY, is_programming_needed INTEGER, name TEXT, "
    "ssn TEXT, phone TEXT, comment TEXT, program_type INTEGER, window INTEGER);";
inline constexpr char kDevicesTableSql[] =
    "CREATE TABLE Devices(sn INTEGER PRIMARY KEY, device_type INTEGER, programming_time INTEGER, "
    "last_alarm INTEGER, alarm_amount INTEGER, owner_id INTEGER);";
inline constexpr char kAlarmsTableSql[] =
    "CREATE TABLE Alarms(id INTEGER PRIMARY KEY, alarm_start INTEGER, alarm_end INTEGER, "
    "repeat_forever INTEGER, repeat_pattern INTEGER, alarm_type INTEGER, title TEXT, "
    "description TEXT, owner_id INTEGER);";
inline constexpr char kLogTableSql[] =
    "CREATE TABLE Log(alarm_time INTEGER, log_status INTEGER, ack INTEGER, owner_id INTEGER, "
    "PRIMARY KEY (alarm_time, owner_id));";
inline constexpr char kReportsTableSql[] =
    "CREATE TABLE IF NOT EXISTS Reports(owner_id INTEGER PRIMARY KEY, report TEXT);";

// The six tables in the order a new database gets them.
struct SchemaTable {
    const char* name;
    const char* sql;
};
inline constexpr SchemaTable kSchemaTables[] = {
    {"Settings", kSettingsTableSql}, {"Profiles", kProfilesTableSql}, {"Devices", kDevicesTableSql},
    {"Alarms", kAlarmsTableSql},     {"Log", kLogTableSql},           {"Reports", kReportsTableSql},
};

// Indexes on the owner columns that every user's reads go by, made at
// opening when missing. The tables themselves stay as above; Log gets
// none (its key already starts with alarm_time, and an index would grow
// the file by about a quarter).
inline constexpr char kDevicesOwnerIndexSql[] =
    "CREATE INDEX IF NOT EXISTS Devices_owner_id ON Devices(owner_id);";
inline constexpr char kAlarmsOwnerIndexSql[] =
    "CREATE INDEX IF NOT EXISTS Alarms_owner_id ON Alarms(owner_id);";

}  // namespace velmora
