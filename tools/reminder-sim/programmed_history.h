#pragma once
// A reminder that was programmed some days ago and has been in use since:
// the table the program would have written then from a user's daily
// alarms, and a person's acknowledgements of the alarms that have come.
// The demo database and `velmora-reminder-sim --history` build the same
// table from the same daily times, so the read-back matches the records.
#include <optional>
#include <string>
#include <vector>

#include "core/instant_list.h"
#include "core/records.h"
#include "core/types.h"
#include "reminder-sim/simulated_reminder.h"

namespace velmora::sim {

// "HH:MM,HH:MM,..." as minutes after midnight; nothing for a malformed text.
std::optional<std::vector<int>> parseDailyTimes(const std::string& text);

// Alarms repeating every day from `firstDay` on, one per time of day.
std::vector<Alarm> dailyAlarms(const std::vector<int>& minutesOfDay, const SYSTEMTIME& firstDay);

// When the reminder was programmed: 09:30 local time `daysAgo` days before `now`.
SYSTEMTIME programmedAt(const SYSTEMTIME& now, int daysAgo);

// The programming table written at `at` for daily alarms at these times,
// filled as the program fills it (up to `capacity`, whole days).
InstantList programmedTable(const std::vector<int>& minutesOfDay, const SYSTEMTIME& at,
                            std::size_t capacity);

// Loads that table into the reminder as programmed `daysAgo` days before
// `now`, and scripts the person's presses for its alarms before `now`:
// mostly a few minutes around the alarm, now and then 25 minutes late,
// now and then not at all. Alarms from `now` on are left to the live
// person (SimulatedReminder::pressAroundEveryAlarm).
void startWithHistory(SimulatedReminder& reminder, const std::vector<int>& minutesOfDay,
                      int daysAgo, const SYSTEMTIME& now);

}  // namespace velmora::sim
