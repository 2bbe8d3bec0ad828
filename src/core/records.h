#pragma once
// The records that all subsystems exchange; one per database table, plus
// the main window's current user.
#include <functional>
#include <map>
#include <vector>

#include "core/daylight.h"
#include "core/instant_list.h"
#include "core/types.h"

namespace velmora {

// One alarm of a user (table Alarms). The owner id is passed beside it.
struct Alarm {
    int id = 0;  // 0 or negative: not stored yet
    SYSTEMTIME alarm_start{};
    SYSTEMTIME alarm_end{};
    bool repeat_forever = false;
    std::uint8_t repeat_pattern = 0;  // see stepDays()
    Text title;
    Text description;
    int alarm_type = 0;  // 0 = entered by hand, 1 = pouch alarm
};

// Orders alarms by their first instant, earlier first.
bool alarmStartsBefore(const Alarm& a, const Alarm& b);

// Acknowledgement status of an alarm instant.
enum LogStatus : int {
    kStatusNotAlarmed = 1,
    kStatusForgotten = 2,
    kStatusForgottenAlt = 3,
    kStatusAcknowledged = 4,
    kStatusAcknowledgedLate = 5,
};

// One acknowledgement-log entry (table Log), identified by (alarm_time, owner).
struct LogEntry {
    TimeValue alarm_time = 0;
    TimeValue ack = 0;  // 0 when not acknowledged
    int log_status = 0;
};

// The medication windows a user may choose, in seconds, in display order.
inline constexpr int kWindowChoices[] = {600,   1200,  2400,  3600,  7200,
                                         10800, 14400, 18000, 21600, 43200};

// One user (table Profiles). The four texts are enciphered in the database.
class Profile {
public:
    int id = 0;  // 0 or negative: not stored yet / no user
    Text name;
    Text ssn;
    Text phone;
    Text comment;
    int program_type = 0;  // 0 = alarm at intake time, 1 = alarm if intake forgotten
    int window = 600;      // seconds
    bool is_programming_needed = false;

    // The user's alarms, kept in alarm_start order by their editors.
    std::vector<Alarm> alarms;
    // The user's acknowledgement history, keyed by alarm_time.
    std::map<TimeValue, LogEntry> history;

    // name, ssn and phone never hold line feeds; comment keeps them.
    void setName(Text v);
    void setSsn(Text v);
    void setPhone(Text v);
    void setComment(const Text& v) { comment = v; }
};

// Removes every line feed (U+000A) from a text.
Text withoutLineFeeds(Text v);

// A reminder known to the system (table Devices); owner passed beside it.
struct DeviceRecord {
    enum Type : int { kOwn = 0, kSpare = 1, kNewlyTied = 2 };
    std::uint32_t sn = 0;  // serial number reported by the reminder
    int device_type = kOwn;
    TimeValue programming_time = 0;
    TimeValue last_alarm = 0;
    int alarm_amount = 0;
};

// The single row of table Settings.
struct SettingsRow {
    Text sw_version;
    int db_version = 0;
    Text username;
    Text password;  // 32 lowercase hex digits
    bool logged_in = false;  // derived when read, not stored
};

// One stored programming report (table Reports).
struct ReportRow {
    int owner_id = 0;
    Text report;
};

// Every user, in load order. A list the store has just read may hold its
// users still enciphered, as they were read: the first read of its users
// deciphers and orders them all in one pass, so a start that does not look
// at the users does not pay for them. Its size is known without that. The
// list belongs to one thread, as the window that holds it.
class UserList {
public:
    // Puts the users that `open` yields after those already held.
    using Opener = std::function<void(std::vector<Profile>&)>;

    UserList() = default;
    UserList(const UserList& other) : profiles_(other.all()) {}
    UserList(UserList&& other) noexcept;
    UserList& operator=(const UserList& other);
    UserList& operator=(UserList&& other) noexcept;

    std::size_t size() const { return profiles_.size() + sealedCount_; }
    bool empty() const { return size() == 0; }

    const std::vector<Profile>& all() const;
    std::vector<Profile>& all();
    operator const std::vector<Profile>&() const { return all(); }

    auto begin() { return all().begin(); }
    auto end() { return all().end(); }
    auto begin() const { return all().begin(); }
    auto end() const { return all().end(); }
    Profile& operator[](std::size_t i) { return all()[i]; }
    const Profile& operator[](std::size_t i) const { return all()[i]; }
    Profile& back() { return all().back(); }
    void push_back(const Profile& p) { all().push_back(p); }
    void clear();

    // Adds `count` users that are deciphered when first read.
    void appendSealed(std::size_t count, Opener open);

private:
    void open() const;

    mutable std::vector<Profile> profiles_;
    mutable Opener sealed_;
    mutable std::size_t sealedCount_ = 0;
};

// The main window's current user and what goes with it. When no user is
// selected the Profile part is empty with id 0.
struct CurrentUser : Profile {
    DaylightTable daylight;
    // Web account in use.
    Text account_name;
    Text account_password;
    bool logged_in = false;
    UserList users;
    // The alarm table prepared for the user's reminder; capacity follows
    // the last identified reminder.
    InstantList alarm_table{500};
    // Serial number of the connected reminder, 0 when none.
    std::uint32_t connected_sn = 0;
    // Copy of the settings row read at start-up.
    SettingsRow settings;
    // What the user's reminder is believed to hold (memory only).
    std::vector<TimeValue> programmed_instants;
    int programmed_window = 0;  // 0 = none

    // Replaces the selected-user part, keeping everything else.
    void setProfile(const Profile& p) { static_cast<Profile&>(*this) = p; }
    const Profile& profile() const { return *this; }
};

}  // namespace velmora
