#pragma once
// Adherence over a period of a user's acknowledgement log: doses due,
// taken, taken on time, late and forgotten, the same per time of day, the
// longest run of forgotten doses, the days with a forgotten dose and the
// acknowledgement delay.
//
// A dose is due when its alarm time is not after `now` and its outcome is
// known: status 2 to 5. Entries "not alarmed yet" (1) and unknown statuses
// are left out of every figure.
#include <array>
#include <map>
#include <vector>

#include "core/records.h"

namespace velmora {

enum class AdherencePeriod : int { Last30Days = 0, Last90Days = 1, All = 2 };

struct DoseCounts {
    int due = 0;
    int taken = 0;      // status 4 and 5
    int onTime = 0;     // status 4
    int late = 0;       // status 5
    int forgotten = 0;  // status 2 and 3

    // taken / due and onTime / due in percent; 0 when nothing was due.
    double takingPercent() const { return due ? 100.0 * taken / due : 0.0; }
    double timingPercent() const { return due ? 100.0 * onTime / due : 0.0; }
};

// Time-of-day slots by the local alarm time: night 0-6, morning 6-12,
// afternoon 12-18, evening 18-24.
enum DaySlot : int { kSlotNight = 0, kSlotMorning, kSlotAfternoon, kSlotEvening, kSlotCount };

struct Adherence {
    DoseCounts total;
    std::array<DoseCounts, kSlotCount> bySlot{};
    // Consecutive due doses that were all forgotten, over midnights too.
    int longestForgottenRun = 0;
    // Local calendar days with at least one forgotten dose.
    int daysWithForgotten = 0;
    // Acknowledgement delay (acknowledgement minus alarm time; negative
    // when acknowledged ahead) of the taken doses that carry their
    // acknowledgement instant. Valid when delayCount > 0.
    int delayCount = 0;
    int medianDelaySeconds = 0;
    int p90DelaySeconds = 0;
};

// The local calendar days a period covers, from `first` through the day
// of `now`: 30 or 90 days, or every day from the first log entry.
struct PeriodDays {
    SYSTEMTIME first{};  // a date, 00:00
    int days = 1;
    TimeValue from = 0;  // the instant `first` begins
};
PeriodDays periodDays(AdherencePeriod period, const std::map<TimeValue, LogEntry>& history,
                      TimeValue now);

// The figures of the entries with alarm times from `from` through `now`.
Adherence computeAdherence(const std::map<TimeValue, LogEntry>& history, TimeValue from,
                           TimeValue now);

// Nearest-rank percentile: the smallest value that at least `percent` per
// cent of `values` do not exceed; 0 for no values. Reorders `values`.
int nearestRankPercentile(std::vector<int>& values, int percent);

}  // namespace velmora
