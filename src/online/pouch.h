#pragma once
// Pouch data: the dose dates and times of a person's multi-dose pouches as
// the service delivers them, and their conversion into the user's pouch
// alarms (every dose an alarm that repeats every other week, alarm_type 1).
//
// Text format: bracketed section names, each followed by its body of
// "key=value" entries separated by ";", e.g.
//   [BASIC_INFORMATION]NAME=..;ORDERNUM=..;STARTDATE=2011-03-01;ENDDATE=2011-03-14
//   [POUCH1]DOSEDATE=2011-03-01;DOSETIME=8:00[POUCH2]...
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/records.h"
#include "core/types.h"

namespace velmora {

class RecordStore;

struct PouchDose {
    Text date;  // "%d-%d-%d" year-month-day, as received
    Text time;  // "%d:%d" hour:minute, as received
};

// The most alarm times a reminder holds: the table of the largest model
// (model 3 in device/reminder_protocol.h). Pouch data with more doses
// cannot be programmed and is refused.
inline constexpr std::size_t kMaxPouchDoses = 2000;

struct PouchData {
    Text name;
    Text orderNumber;  // kept, not used further
    Text startDate;
    Text endDate;
    std::vector<PouchDose> doses;  // in section order, at most kMaxPouchDoses
    bool tooManyDoses = false;     // more POUCH sections than kMaxPouchDoses
};

// Never fails; unrecognised sections and entries are skipped. A section
// named exactly "BASIC_INFORMATION" carries NAME, STARTDATE, ENDDATE and
// ORDERNUM; any section whose name contains "POUCH" carries DOSETIME and
// DOSEDATE and yields one dose, also when values are missing. A key is
// recognised when the entry contains it anywhere (tried in the order
// listed); the value runs from after the first run of "=" to the next "="
// or the end of the entry. Keeps the first kMaxPouchDoses doses and notes
// when there were more.
PouchData ParsePouchData(const Text& text);

// Start date at 00:00:00 and end date at 23:59:59, or nothing when either
// date is not a valid "%d-%d-%d" with year 2011..2037, month 1..12 and day
// 1..31. Day overflow rolls into the next month; the day of the week is set.
std::optional<std::pair<SYSTEMTIME, SYSTEMTIME>> ParsePeriod(const Text& startDate,
                                                            const Text& endDate);

// The local date-time of a dose, or nothing unless the time is "%d:%d"
// with hour 0..23 and minute 0..59 and the date valid as above.
std::optional<SYSTEMTIME> ParseDoseTime(const Text& doseTime, const Text& doseDate);

// Results of ConvertPouchToAlarms.
inline constexpr int kPouchChanged = 0;    // alarms replaced, occurrences changed
inline constexpr int kPouchUnchanged = 1;  // alarms replaced, occurrences as before
inline constexpr int kPouchInvalid = 2;    // a bad period or dose: nothing changed
inline constexpr int kPouchNoDoses = 3;    // nothing changed
inline constexpr int kPouchTooManyDoses = 4;  // more than kMaxPouchDoses: nothing changed
inline constexpr int kPouchNotStored = -1; // no user selected, or the database refused a write

inline constexpr int kPouchRepeatPattern = 7;  // every other week

struct PouchConversion {
    // Title of a pouch alarm (ids::kPouchAlarmTitle).
    Text alarmTitle = "Pussihälytys";
    // The reminder rule: must the user's reminder be programmed again when
    // the alarms ring as before? When not given, the answer is yes; when
    // they ring at other times, it is always yes.
    std::function<bool(const CurrentUser&)> needsProgramming;
};

// Replaces the current user's pouch alarms (every alarm_type 1 alarm,
// whatever its dates) by the doses of `data` in one transaction (when
// the database refuses any of it, the old ones stay), reloads the user's
// alarms and stores the recomputed is_programming_needed. The
// result compares the occurrences of the user's pouch alarms over the
// pouch period before and after: the first kMaxPouchDoses of them, as many
// as a reminder can be programmed with.
int ConvertPouchToAlarms(const PouchData& data, int repeatPattern, CurrentUser& user,
                         RecordStore& store, const PouchConversion& options = {});

}  // namespace velmora
