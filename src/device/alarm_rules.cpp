#include "device/alarm_rules.h"

#include <algorithm>
#include <cstdint>

#include "core/datetime.h"
#include "core/instant_list.h"
#include "core/schedule.h"

namespace velmora {

bool buildProgrammingTable(CurrentUser& user, const SYSTEMTIME& now) {
    const bool filled = fillInstantList(user.alarm_table, user.alarms, user.alarms, now, user.daylight);
    // An alarm whose end lies ahead may still have no occurrence ahead.
    return filled && !user.alarm_table.empty();
}

std::vector<TimeValue> expectedInstants(RecordStore& store, const CurrentUser& user,
                                        TimeValue now) {
    DeviceRecord device;
    bool found = false;
    if (user.id > 0) {
        found = store.findOwnerDevice(user.id, device);
    } else if (user.connected_sn != 0) {
        found = store.findDevice(user.connected_sn, device) && device.sn == user.connected_sn;
    }
    InstantList table(found && device.alarm_amount > 0
                          ? static_cast<std::size_t>(device.alarm_amount)
                          : 500);

    const std::int64_t nowWide = now;
    const std::int64_t lastAlarm = found ? device.last_alarm : 0;
    const std::int64_t end =
        nowWide + kExpectedRangeSeconds < lastAlarm ? lastAlarm : nowWide + kExpectedRangeSeconds;

    std::vector<AlarmOccurrence> occurrences;
    expandOccurrences(user.alarms, fromTimeValue(nowWide), fromTimeValue(end), occurrences,
                      user.daylight);
    for (const AlarmOccurrence& o : occurrences)
        if (!table.add(toTimeValue(o.time))) break;
    table.sortUnique();
    return table.items();
}

bool needsProgramming(RecordStore& store, const CurrentUser& user, int currentWindow,
                      TimeValue now) {
    if (user.programmed_window > 0 && user.programmed_window != currentWindow) return true;
    if (store.reprogrammingDue(user, now)) return true;
    const std::vector<TimeValue> expected = expectedInstants(store, user, now);
    std::vector<TimeValue> ahead;
    for (TimeValue t : user.programmed_instants)
        if (static_cast<std::uint32_t>(t) >= static_cast<std::uint32_t>(now)) ahead.push_back(t);
    const bool agree = !ahead.empty() && !expected.empty() && expected.size() <= ahead.size() &&
                       std::equal(expected.begin(), expected.end(), ahead.begin());
    return !agree;
}

void rememberProgrammed(CurrentUser& user, const std::vector<TimeValue>& instants, int window) {
    user.programmed_instants = instants;
    user.programmed_window = window;
}

AlarmTablePreparer alarmTablePreparer(RecordStore& store) {
    return [&store](CurrentUser& user, TimeValue now) {
        user.programmed_instants = expectedInstants(store, user, now);
    };
}

bool selectUserWithReminder(RecordStore& store, CurrentUser& user, int id, TimeValue now,
                            RecordStore::SaveCurrent save) {
    return store.selectUser(user, id, now, alarmTablePreparer(store), save);
}

void noteOwnReminderRead(RecordStore& store, CurrentUser& user, TimeValue now) {
    user.programmed_instants = expectedInstants(store, user, now);
    user.is_programming_needed = needsProgramming(store, user, user.window, now);
}

void noteAlarmsChanged(RecordStore& store, CurrentUser& user, TimeValue now) {
    user.is_programming_needed = needsProgramming(store, user, user.window, now);
}

}  // namespace velmora
