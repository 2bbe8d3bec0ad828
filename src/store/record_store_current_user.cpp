// The operations on the main window's current user: selecting, closing
// and deleting a user, reloading the user list, and what is known of the
// user's reminder.
#include "store/record_store.h"

#include <memory>
#include <utility>

#include "store/sealed_profiles.h"

namespace velmora {

void closeCurrentUser(CurrentUser& user) {
    user.setProfile(Profile{});
    user.alarm_table.clear();
    user.programmed_instants.clear();
    user.programmed_window = 0;
}

// ---- The current user ----

bool RecordStore::deleteUser(CurrentUser& user, const Profile& profile) {
    if (!deleteProfile(profile.id)) return false;
    if (user.id == profile.id) closeCurrentUser(user);
    std::erase_if(user.users.all(), [&](const Profile& p) { return p.id == profile.id; });
    return true;
}

bool RecordStore::reloadUsers(CurrentUser& user) {
    user.users.clear();
    auto sealed = std::make_shared<SealedProfiles>();
    if (!readProfiles(*sealed)) return false;
    const std::size_t count = sealed->size();
    user.users.appendSealed(count, [sealed = std::move(sealed)](std::vector<Profile>& list) { sealed->open(list); });
    return true;
}

bool RecordStore::selectUser(CurrentUser& user, int id, TimeValue now,
                             const AlarmTablePreparer& prepare, SaveCurrent save) {
    if (id < 1) return false;
    if (id == user.id) return true;
    Profile chosen;
    if (!loadProfile(id, chosen) || chosen.id != id) return false;
    if (save == SaveCurrent::Yes && user.id > 0) updateProfile(user.profile());

    // What the previous user's reminder was believed to hold is not this
    // user's; the preparer fills it again when the stored flag allows.
    closeCurrentUser(user);
    user.setProfile(chosen);
    loadAlarms(id, user.alarms);
    std::vector<LogEntry> log;
    loadLog(id, log);
    mergeLogEntries(user.history, log);

    if (!user.is_programming_needed) {
        if (prepare) prepare(user, now);
        if (reprogrammingDue(user, now)) user.is_programming_needed = true;
    }
    return true;
}

bool RecordStore::reprogrammingDue(const CurrentUser& user, TimeValue now) {
    return static_cast<std::int64_t>(lastAlarmOf(user)) <
           static_cast<std::int64_t>(now) + kReprogramLeadSeconds;
}

bool RecordStore::assignDevice(const CurrentUser& user, std::uint32_t sn) {
    if (getDeviceOwner(sn) == user.id) return true;
    DeviceRecord d;
    d.sn = sn;
    d.device_type = DeviceRecord::kNewlyTied;
    return saveDevice(d, user.id);  // the REPLACE writes the owner with the row
}

TimeValue RecordStore::programmingTimeOf(std::uint32_t sn) {
    DeviceRecord d;
    findDevice(sn, d);
    return d.programming_time;
}

TimeValue RecordStore::lastAlarmOf(const CurrentUser& user) {
    DeviceRecord d;
    if (user.id > 0)
        findOwnerDevice(user.id, d);
    else
        findDevice(user.connected_sn, d);
    return d.last_alarm;
}

bool RecordStore::isOwnReminder(std::uint32_t sn) {
    DeviceRecord d;
    d.device_type = -1;
    findDevice(sn, d);
    return d.device_type == DeviceRecord::kOwn;
}

}  // namespace velmora
