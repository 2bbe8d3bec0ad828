#pragma once
// The record store: every read and write of the database file. Each
// operation opens its own connection, runs one or a few fixed statements,
// maps rows to records, closes the connection and returns, so the file can
// be replaced (restore from backup) while the program runs. There is no
// cache; failures come back as return values (false, -1, or the output
// left unchanged) and nothing is shown.
//
// Where the code lives:
//   record_store.cpp               the constructor and the shared pieces of
//                                  record_rows.h (statement formatting,
//                                  column reads, the text bound)
//   record_store_schema.cpp        tables, migration, versions, the settings
//                                  row and the account stored in it
//   record_store_profiles.cpp      users (Profiles); deleting a user
//   sealed_profiles.h/.cpp         the user list read with its texts still
//                                  enciphered, deciphered when first read
//   record_store_alarms.cpp        alarms (Alarms)
//   record_store_devices.cpp       reminders (Devices)
//   record_store_log.cpp           the acknowledgement log (Log),
//                                  mergeLogEntries, reports (Reports)
//   record_store_import.cpp        users of legacy files, the import mark
//   record_store_current_user.cpp  the current-user operations and
//                                  closeCurrentUser
//   data_directory.cpp             where the database lives
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/types.h"

namespace velmora {

inline constexpr char kDatabaseFileName[] = "velmora.db";
inline constexpr char kSoftwareVersion[] = "v1.7";
inline constexpr int kSchemaVersion = 4;
// The longest personal text, title or description read from a record, in
// characters: far beyond any real one. A longer stored text (a damaged or
// hostile file) is read cut to this length, and the store counts it.
inline constexpr std::size_t kMaxRecordTextChars = 30000;
// A user's reminder must be reprogrammed when its last alarm is nearer than this.
inline constexpr std::int64_t kReprogramLeadSeconds = 1814400;  // 21 days

// The directory where the program keeps its database, legacy files and
// report files: the running executable's own directory when it is
// writable, else $XDG_DATA_HOME/velmora (default ~/.local/share/velmora),
// created when missing.
std::filesystem::path defaultDataDirectory();
// The same choice for a given program directory.
std::filesystem::path dataDirectoryFor(const std::filesystem::path& programDirectory);
// The "velmora.db" beside the program that is not used because the data
// directory chosen is another one (the program's was not writable); empty
// when there is none.
std::filesystem::path passedOverDatabase(const std::filesystem::path& programDirectory,
                                         const std::filesystem::path& dataDirectory);
// defaultDataDirectory() / "velmora.db".
std::filesystem::path defaultDatabasePath();

// Fills the user's alarm table for the reminder after a user was selected
// (the device subsystem supplies it). `now` is the present instant.
using AlarmTablePreparer = std::function<void(CurrentUser& user, TimeValue now)>;

// Merges entries into a history keyed by alarm_time: a new instant is
// inserted; an entry with status 1 takes a later status other than 1
// (with its ack); an entry with status 3 or 5 takes status 4 (with its
// ack); anything else stays as it is.
void mergeLogEntries(std::map<TimeValue, LogEntry>& history, const std::vector<LogEntry>& entries);

// One user read from a legacy file, with what belongs to it.
struct ImportedUser {
    Profile profile;  // history filled from the file's log
    std::vector<DeviceRecord> devices;
    std::vector<Alarm> alarms;
};

// Closes the current user: an empty Profile, no alarm table, and nothing
// believed to be in the user's reminder.
void closeCurrentUser(CurrentUser& user);

class SealedProfiles;

// What the work list needs of one user: the user, the own reminder (type 0;
// of several, the last row, as findOwnerDevice) and the newest entry of the
// user's log that had alarmed when it was read.
struct UserReminderState {
    int id = 0;
    Text name;
    Text ssn;
    bool is_programming_needed = false;
    bool hasOwnReminder = false;
    TimeValue programming_time = 0;  // of the own reminder
    TimeValue last_alarm = 0;        // of the own reminder, 0 when it is empty
    // alarm_time of the newest Log row whose alarm had sounded when the log
    // was read (status other than not alarmed); 0 when there is none.
    TimeValue newestAlarmedLog = 0;
};
// The most users loadUserReminderStates reads.
inline constexpr std::size_t kMaxUserReminderStates = 200000;

class RecordStore {
public:
    // `databasePath` is the database file; nothing is opened here.
    explicit RecordStore(std::filesystem::path databasePath);
    const std::filesystem::path& databasePath() const { return path_; }

    // ---- Schema (each false only when the database did not open) ----
    // Settings table and row, then Profiles, Devices, Alarms and Log.
    bool createDatabase();
    bool createReportsTable();
    // Adds program_type and window to Profiles (a failing ALTER is ignored).
    bool migrateProfiles();
    // Creates the owner indexes of Devices and Alarms when missing; true
    // when both exist afterwards.
    bool createOwnerIndexes();
    // Creates the index of Log by owner and time when missing; true when
    // it exists afterwards.
    bool createLogOwnerIndex();
    // True when the UPDATE ran to completion.
    bool setVersion(const Text& swVersion, int dbVersion);

    // What prepareSchema found and did.
    struct SchemaOutcome {
        enum class State { Ready, NotOpened, TooNew, WrongShape } state = State::NotOpened;
        bool created = false;   // the settings row was made
        bool migrated = false;  // an older schema got its missing columns
        std::string table;      // WrongShape: the table that differs
        SettingsRow found;      // TooNew: the settings row as found
    };
    // Makes the database ready for use, all in one transaction: a schema
    // older than the program's gets its missing columns, every one of the
    // six tables that is missing is created and a missing settings row
    // inserted, then the versions are set to the program's when they
    // differ. A crash at any point leaves the file as it was or complete.
    // Nothing is written (TooNew) when the settings row names a schema
    // newer than the program's, nor (WrongShape) when a table has other
    // columns than this program's; extra indexes are no concern.
    SchemaOutcome prepareSchema();
    // Fills the row; true only when the settings row exists.
    bool readSettings(SettingsRow& row);

    // ---- Users ----
    // Appends every user, ordered by plain name (code point order); users of
    // the same plain name by stored name (as SQLite orders it), then by id.
    bool loadProfiles(std::vector<Profile>& list);
    // Every user's state for the work list, in one statement on one
    // connection, in id order: the users that `keep` (when set) accepts,
    // judged before their texts are read, at most kMaxUserReminderStates.
    // True when the database opened.
    bool loadUserReminderStates(std::vector<UserReminderState>& list,
                                const std::function<bool(const UserReminderState&)>& keep = {});
    // Replaces `profile` by the stored user (alarms and history empty);
    // unchanged when there is no such row. True when the database opened.
    bool loadProfile(int id, Profile& profile);
    // New user with program_type 0 and window 600; the new id, or -1.
    int insertProfile(bool isProgrammingNeeded, const Text& name, const Text& ssn,
                      const Text& phone, const Text& comment);
    // True when the UPDATE succeeded.
    bool updateProfile(const Profile& profile);
    // Changes a user's name, ssn and phone and nothing else, in one
    // transaction. False, with nothing written, when the user is gone or
    // a statement fails.
    bool updateUserDetails(int id, const Text& name, const Text& ssn, const Text& phone);
    // Removes the user's rows from Profiles, Alarms, Log, Devices and
    // Reports in one transaction: all or nothing. True when committed.
    bool deleteProfile(int id);

    // ---- Alarms ----
    bool loadAlarms(int owner, std::vector<Alarm>& list);
    // id <= 0: inserts and sets alarm.id; id > 0: updates that row (owner
    // unchanged). True when the statement succeeded.
    bool saveAlarm(Alarm& alarm, int owner);
    // Inserts all in one transaction; ids of the records are not updated.
    // A failed row leaves the others committed; true when every row and
    // the commit succeeded.
    bool insertAlarms(const std::vector<Alarm>& alarms, int owner);
    bool deleteAlarm(int id);
    bool deleteAlarmsOfOwner(int owner);
    // Deletes the alarms `removedIds` and inserts `added` as new alarms of
    // `owner` in one transaction: all or nothing. The ids of `added` are
    // set only when it committed. True when committed.
    bool replaceAlarms(const std::vector<int>& removedIds, std::vector<Alarm>& added, int owner);

    // ---- Reminders ----
    // REPLACE: the whole row, owner included.
    bool saveDevice(const DeviceRecord& record, int owner);
    // Fills the record when a row exists, else leaves it; true when the
    // database opened, found or not.
    bool findDevice(std::uint32_t sn, DeviceRecord& record);
    // Clears the record, fills it from the owner's own reminder (type 0,
    // the last such row); true only when one was found.
    bool findOwnerDevice(int owner, DeviceRecord& record);
    // The owner's id, -1 when there is no row or no database.
    int getDeviceOwner(std::uint32_t sn);
    // True when the UPDATE succeeded (also when no row has that serial).
    bool setDeviceOwner(int owner, std::uint32_t sn);
    // Every user's own reminder (type 0; of several, the last row, as
    // findOwnerDevice), keyed by owner, on one connection: what the
    // users-and-reminders report needs. True when the database opened.
    bool loadOwnReminders(std::map<int, DeviceRecord>& byOwner);

    // ---- Acknowledgement log and reports ----
    // REPLACE per entry in one transaction; false at once for owner < 0.
    // A failed row leaves the others committed; true when every row and
    // the commit succeeded.
    bool saveLogEntries(const std::vector<LogEntry>& entries, int owner);
    bool saveLogEntries(const std::map<TimeValue, LogEntry>& history, int owner);
    bool loadLog(int owner, std::vector<LogEntry>& list);
    // Creates Reports when missing, then REPLACE of the enciphered text;
    // true when that succeeded.
    bool saveReport(int owner, const Text& text);
    // Sets text when a report exists, else leaves it; true when opened.
    bool loadReport(int owner, Text& text);

    // ---- Settings and account (see also credentials.h) ----
    // username bound as a value; digest as stored. True when the UPDATE
    // succeeded (every row of Settings, which holds one).
    bool storeAccount(const Text& username, const std::string& passwordDigest);
    bool storePassword(const std::string& passwordDigest);

    // ---- Legacy import ----
    // Stores every user of one imported file (each with its reminders,
    // alarms and history) in one transaction: all of them or none. True
    // when committed. With `mark` > 0 the same transaction records it as
    // the database's import mark; `reason` gets SQLite's text of a failure.
    bool insertImportedUsers(const std::vector<ImportedUser>& users, int mark = 0,
                             Text* reason = nullptr);
    // The mark of the last import committed (0 when none, -1 when the
    // database did not open). It lives in the database header's user
    // version, outside the tables.
    int importMark();

    // ---- Operations on the main window's current user ----
    // Deletes the user (deleteProfile); clears the current user when it was
    // this one and removes it from the user list. False (and nothing
    // changed in memory) when the delete failed.
    bool deleteUser(CurrentUser& user, const Profile& profile);
    // Empties the user list and loads it again.
    bool reloadUsers(CurrentUser& user);

    enum class SaveCurrent { Yes, No };
    // Selects user `id`: false for id < 1; true at once for the current
    // user. Otherwise (SaveCurrent::Yes) stores the current user's profile,
    // clears the current user and its alarm table, loads the profile,
    // alarms and log (merged into the history). When the user's
    // is_programming_needed is false, `prepare` (when set) fills the alarm
    // table and the flag is set when reprogrammingDue(now); when it is
    // true, the alarm table stays empty. False when the user has no row.
    bool selectUser(CurrentUser& user, int id, TimeValue now, const AlarmTablePreparer& prepare,
                    SaveCurrent save = SaveCurrent::Yes);
    // The user's own reminder (or the connected one when no user is
    // selected) has its last alarm earlier than now + 21 days, or there is
    // no such reminder.
    bool reprogrammingDue(const CurrentUser& user, TimeValue now);
    // Ties reminder `sn` to the current user (type 2, not yet programmed)
    // unless it already is the user's. False when a write failed.
    bool assignDevice(const CurrentUser& user, std::uint32_t sn);
    // programming_time of the reminder, 0 when unknown.
    TimeValue programmingTimeOf(std::uint32_t sn);
    // last_alarm of the user's own reminder (or of the connected one when
    // no user is selected), 0 when none.
    TimeValue lastAlarmOf(const CurrentUser& user);
    // True when the reminder's row has device_type 0.
    bool isOwnReminder(std::uint32_t sn);

    // Texts read cut to kMaxRecordTextChars since this store was made.
    std::size_t textsCut() const { return textsCut_; }

private:
    // Reads every user, still enciphered. True when the database opened.
    bool readProfiles(SealedProfiles& sealed);
    std::string pathText() const { return path_.string(); }
    std::filesystem::path path_;
    std::size_t textsCut_ = 0;
};

}  // namespace velmora
