#pragma once
// Expansion of alarm rules into dated occurrences, the reminder horizon,
// the bounded instant list and the spacing rules of the medication window.
#include <vector>

#include "core/daylight.h"
#include "core/instant_list.h"
#include "core/records.h"
#include "core/types.h"

namespace velmora {

inline constexpr TimeValue kSecondsPerDay = 86400;
inline constexpr TimeValue kDaylightShift = 3600;
inline constexpr int kChunkDays = 30;
inline constexpr int kSpacingMargin = 300;

// One dated occurrence of an alarm.
struct AlarmOccurrence {
    const Alarm* source = nullptr;  // the alarm in the user's list
    SYSTEMTIME time{};              // local date-time of the occurrence
    Text title;
    Text description;
    int alarm_type = 0;
    int status = kStatusNotAlarmed;  // replaced from the history by applyHistory
    SYSTEMTIME ack_time{};           // for status 4 and 5
};

// Step in days of a repetition pattern; 0 for a single alarm and for
// unknown codes.
int stepDays(int repeatPattern);

// Appends every occurrence of every alarm whose instant lies in
// (an alarm ends at alarm_end unless it repeats forever, so a single alarm
// needs alarm_end == alarm_start)
// [rangeStart, rangeEnd] to `out`, then sorts all of `out` by instant.
// No occurrence lies after kLastTimeValue.
// The occurrences point into `alarms`, which must outlive them.
void expandOccurrences(const std::vector<Alarm>& alarms, const SYSTEMTIME& rangeStart,
                       const SYSTEMTIME& rangeEnd, std::vector<AlarmOccurrence>& out,
                       const DaylightTable& daylight);

struct Horizon {
    enum Kind : int { kForever = 0, kEnds = 1, kNothingAhead = 2 };
    int kind = kNothingAhead;
    SYSTEMTIME bound{};  // for kEnds: the latest end, after now
};
Horizon scheduleHorizon(const std::vector<Alarm>& alarms, const SYSTEMTIME& now);

// Fills `list` with the occurrence instants of `alarms` ahead of `now`,
// going as far as the horizon of `horizonAlarms` (or until the list is
// full, when the last partial day is dropped), never past kLastTimeValue;
// the list tells whether alarms went on after that. False when there is
// nothing to fill.
bool fillInstantList(InstantList& list, const std::vector<Alarm>& alarms,
                     const std::vector<Alarm>& horizonAlarms, const SYSTEMTIME& now,
                     const DaylightTable& daylight);

// True when every two neighbouring instants of an ascending list are at
// least window + 300 seconds apart.
bool spacingHolds(const std::vector<TimeValue>& instants, int windowSeconds);

// The alarm dialog's check: do the user's alarms with the candidate keep
// the spacing rule? `before` is the alarm as it was before editing, or
// nullptr for a new alarm.
bool candidateFits(const std::vector<Alarm>& userAlarms, const Alarm& candidate,
                   const Alarm* before, int windowSeconds, const SYSTEMTIME& now,
                   const DaylightTable& daylight);

// The check made when the user picks another medication window.
bool windowFits(const std::vector<Alarm>& userAlarms, int windowSeconds, const SYSTEMTIME& now,
                const DaylightTable& daylight);

// Writes the history's statuses into the occurrences at the same instants;
// entries that match no occurrence are appended to `unmatched`.
void applyHistory(std::vector<AlarmOccurrence>& occurrences,
                  const std::map<TimeValue, LogEntry>& history, std::vector<LogEntry>& unmatched);

}  // namespace velmora
