#pragma once
// Conversions between local calendar time and TimeValue, calendar helpers,
// the daylight-saving table and the display and parse formats. Local time
// is the process time zone of the C library (the TZ environment variable
// or /etc/localtime).
#include <cstdint>

#include "core/daylight.h"
#include "core/types.h"

namespace velmora {

// Local date-time to TimeValue (mktime with the library deciding daylight
// saving; out-of-range fields roll over). A date-time whose year, month,
// day, hour and minute are all 0 gives 0. Only the low 32 bits are kept.
TimeValue toTimeValue(const SYSTEMTIME& t);

// The same conversion without truncation to 32 bits.
std::int64_t toTimeValue64(const SYSTEMTIME& t);

// TimeValue (sign-extended) to a fully filled local date-time:
// day of week set, milliseconds 0.
SYSTEMTIME fromTimeValue(std::int64_t t);

// Rolls day overflow into the following months (day 32 of January is
// 1 February), fills wDayOfWeek and clears milliseconds. Pure calendar
// arithmetic: no time zone involved.
SYSTEMTIME normalizeDate(const SYSTEMTIME& t);

// Adds whole calendar days to the wall-clock date-time (no time zone).
SYSTEMTIME addDays(const SYSTEMTIME& t, int days);

// The date-time `seconds` later (wall-clock arithmetic), rounded to the
// nearest whole minute (a remainder of 30 s or more rounds up).
SYSTEMTIME addSecondsRounded(const SYSTEMTIME& t, double seconds);

bool isLeapYear(int year);
// Number of the last day of the month of t (28-31).
int daysInMonth(const SYSTEMTIME& t);
int daysInMonth(int year, int month);
// Day of week (0 = Sunday) of a calendar date.
int dayOfWeek(int year, int month, int day);
// Days since 1970-01-01 of the calendar date of t (no time zone involved).
std::int64_t dayNumber(const SYSTEMTIME& t);

struct WeekSpan {
    SYSTEMTIME start;  // Monday 00:00:00
    SYSTEMTIME end;    // Sunday 23:59:59
};
// The Monday-to-Sunday week of t; uses t.wDayOfWeek as given.
WeekSpan weekRange(const SYSTEMTIME& t);

// ISO 8601 week number (1-53); uses t.wDayOfWeek as given.
int weekNumber(const SYSTEMTIME& t);

// A yearly time-zone transition rule in day-in-month form.
struct TransitionRule {
    int month = 0;       // 1-12; 0 = no transition
    int dayOfWeek = 0;   // 0 = Sunday
    int occurrence = 0;  // 1-5, 5 = the last such weekday of the month
    int hour = 0;
    int minute = 0;
    int second = 0;
};
// Local date-time of the rule's transition in the given year.
SYSTEMTIME transitionDate(const TransitionRule& rule, int year);

// The instants at which daylight saving starts and ends in the process
// time zone (the first second of the new offset, as the tz database gives
// them), for each year from year(today)-2 to year(today)+4. Years without
// daylight saving are left out (read as 0).
DaylightTable buildDaylightTable(const SYSTEMTIME& today);

// Parses "d.m.yyyy h:m" (or "d.m.yyyy h:m:s" when withSeconds). Fields the
// scan does not reach stay 0. Checks 1<=month<=12, 1<=day<=31, hour 0-23,
// minute and second 0-59; any year passes. On failure `out` is untouched.
bool parseDateTime(const char* text, bool withSeconds, SYSTEMTIME& out);

// Display formats.
Text formatDate(const SYSTEMTIME& t);          // "%02d.%02d.%d"
Text formatDateTime(const SYSTEMTIME& t);      // "%02d.%02d.%d %02d:%02d"
Text formatTimeOfDay(const SYSTEMTIME& t);     // "%02d:%02d"
Text formatDateShort(const SYSTEMTIME& t);     // "%d.%d.%d"
// formatDateTime appended to `out`, without a formatting call: for long
// tables and lists.
void appendDateTime(Text& out, const SYSTEMTIME& t);

}  // namespace velmora
