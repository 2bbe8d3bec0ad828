#include "reminder-sim/programmed_history.h"

#include <cstdio>
#include <sstream>

#include "core/datetime.h"
#include "core/schedule.h"
#include "device/alarm_table.h"

namespace velmora::sim {

std::optional<std::vector<int>> parseDailyTimes(const std::string& text) {
    std::vector<int> minutes;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int h = -1, m = -1;
        char tail = 0;
        if (std::sscanf(item.c_str(), "%d:%d%c", &h, &m, &tail) != 2 || h < 0 || h > 23 || m < 0 ||
            m > 59)
            return std::nullopt;
        minutes.push_back(h * 60 + m);
    }
    if (minutes.empty()) return std::nullopt;
    return minutes;
}

std::vector<Alarm> dailyAlarms(const std::vector<int>& minutesOfDay, const SYSTEMTIME& firstDay) {
    std::vector<Alarm> alarms;
    for (int m : minutesOfDay) {
        Alarm a;
        a.alarm_start = makeTime(firstDay.wYear, firstDay.wMonth, firstDay.wDay, m / 60, m % 60);
        a.alarm_end = a.alarm_start;
        a.repeat_forever = true;
        a.repeat_pattern = 1;
        alarms.push_back(a);
    }
    return alarms;
}

SYSTEMTIME programmedAt(const SYSTEMTIME& now, int daysAgo) {
    const SYSTEMTIME day = addDays(now, -daysAgo);
    return makeTime(day.wYear, day.wMonth, day.wDay, 9, 30);
}

InstantList programmedTable(const std::vector<int>& minutesOfDay, const SYSTEMTIME& at,
                            std::size_t capacity) {
    const std::vector<Alarm> alarms = dailyAlarms(minutesOfDay, addDays(at, -1));
    InstantList table(capacity);
    fillInstantList(table, alarms, alarms, at, buildDaylightTable(at));
    return table;
}

void startWithHistory(SimulatedReminder& reminder, const std::vector<int>& minutesOfDay,
                      int daysAgo, const SYSTEMTIME& now) {
    const SYSTEMTIME at = programmedAt(now, daysAgo);
    const MemoryMap& map = reminder.memoryMap();
    const InstantList table = programmedTable(minutesOfDay, at, map.table_capacity);
    const std::vector<std::uint8_t> image = encodeTableArea(table, toTimeValue(at), map);
    for (std::size_t i = 0; i + 4 <= image.size(); i += 4)
        reminder.setWord(kTableAreaStart + i, getU32(image.data() + i));

    const auto nowValue = static_cast<std::uint32_t>(toTimeValue(now));
    static constexpr int kAroundAlarm[] = {-180, 60, -60, 240, 30, 120};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto t = static_cast<std::uint32_t>(table[i]);
        if (t >= nowValue) break;
        if (i % 11 == 6) continue;                        // forgotten
        if (i % 7 == 3) reminder.pressButton(t + 1500);   // 25 minutes late
        else reminder.pressButton(t + kAroundAlarm[i % std::size(kAroundAlarm)]);
    }
    reminder.actOut(nowValue);
}

}  // namespace velmora::sim
