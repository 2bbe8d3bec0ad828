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
// opening when missing. The tables themselves stay as above. The indexes
// live in the local file only: a backup snapshot drops them (so the file
// sent holds the six tables and nothing else), and opening makes them
// again, also after a restore.
inline constexpr char kDevicesOwnerIndexSql[] =
    "CREATE INDEX IF NOT EXISTS Devices_owner_id ON Devices(owner_id);";
inline constexpr char kAlarmsOwnerIndexSql[] =
    "CREATE INDEX IF NOT EXISTS Alarms_owner_id ON Alarms(owner_id);";
// Log's own key starts with alarm_time, so a person's log would otherwise
// be read by scanning everyone's.
inline constexpr char kLogOwnerIndexSql[] =
    "CREATE INDEX IF NOT EXISTS Log_owner_id ON Log(owner_id, alarm_time);";
// The names of the indexes above, as a snapshot drops them.
inline constexpr const char* kLocalIndexNames[] = {"Devices_owner_id", "Alarms_owner_id", "Log_owner_id"};

}  // namespace velmora
