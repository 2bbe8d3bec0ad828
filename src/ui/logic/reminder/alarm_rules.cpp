#include "ui/logic/reminder/alarm_rules.h"

#include <algorithm>
#include <cstdint>

#include "core/datetime.h"
#include "core/instant_list.h"
#include "core/schedule.h"
#include "device/reminder_protocol.h"

namespace velmora {

std::vector<TimeValue> expectedInstants(RecordStore& store, const CurrentUser& user,
                                        TimeValue now) {
    DeviceRecord device;
    bool found = false;
    if (user.id > 0) {
        found = store.findOwnerDevice(user.id, device);
    } else if (user.connected_sn != 0) {
        found = store.findDevice(user.connected_sn, device) && device.sn == user.connected_sn;
    }
    // The reminder holds at most what its largest model takes, whatever the
    // record says.
    InstantList table(found && device.alarm_amount > 0
                          ? std::min(static_cast<std::size_t>(device.alarm_amount), kMaxTableEntries)
                          : 500);

    const std::int64_t lastAlarm = found ? device.last_alarm : 0;
    const std::int64_t end = std::max(std::int64_t{now} + kExpectedRangeSeconds, lastAlarm);
    const Horizon horizon = scheduleHorizon(user.alarms, fromTimeValue(now));
    // No occurrence lies past the alarms' own horizon.
    const std::int64_t reach = horizon.kind == Horizon::kForever ? end : toTimeValue64(horizon.bound);

    // Chunk by chunk, so that the work stops with the table full instead of
    // expanding every alarm up to a last alarm years ahead.
    constexpr std::int64_t kChunk = std::int64_t{kChunkDays} * kSecondsPerDay;
    std::vector<AlarmOccurrence> occurrences;
    for (std::int64_t from = now; from <= std::min(end, reach); from += kChunk + 1) {
        occurrences.clear();
        expandOccurrences(user.alarms, fromTimeValue(from), fromTimeValue(std::min(from + kChunk, end)),
                          occurrences, user.daylight);
        for (const AlarmOccurrence& o : occurrences)
            if (!table.add(toTimeValue(o.time))) {
                table.sortUnique();
                return table.items();
            }
    }
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

}  // namespace velmora
