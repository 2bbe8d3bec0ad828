#include "core/datetime.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ctime>

#include "core/scan.h"

namespace velmora {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12; the day
// may overflow the month). Howard Hinnant's days_from_civil.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + (d - 1);
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int weekdayFromDays(std::int64_t z) {
    return static_cast<int>(z >= -4 ? (z + 4) % 7 : (z + 5) % 7 + 6);
}

// Wall-clock seconds since 1970-01-01 00:00 of a date-time, ignoring time
// zones: the arithmetic of file times.
std::int64_t wallSeconds(const SYSTEMTIME& t) {
    return daysFromCivil(t.wYear, t.wMonth, t.wDay) * 86400 + t.wHour * 3600 + t.wMinute * 60 +
           t.wSecond;
}

SYSTEMTIME fromWallSeconds(std::int64_t s, std::uint16_t ms) {
    std::int64_t days = s / 86400;
    std::int64_t rem = s % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    int y, m, d;
    civilFromDays(days, y, m, d);
    SYSTEMTIME out = makeTime(y, m, d, static_cast<int>(rem / 3600), static_cast<int>(rem / 60 % 60),
                              static_cast<int>(rem % 60));
    out.wDayOfWeek = static_cast<std::uint16_t>(weekdayFromDays(days));
    out.wMilliseconds = ms;
    return out;
}

}  // namespace

std::int64_t toTimeValue64(const SYSTEMTIME& t) {
    if (t.wYear == 0 && t.wMonth == 0 && t.wDay == 0 && t.wHour == 0 && t.wMinute == 0) return 0;
    std::tm tm{};
    tm.tm_year = t.wYear - 1900;
    tm.tm_mon = t.wMonth - 1;
    tm.tm_mday = t.wDay;
    tm.tm_hour = t.wHour;
    tm.tm_min = t.wMinute;
    tm.tm_sec = t.wSecond;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

TimeValue toTimeValue(const SYSTEMTIME& t) {
    return static_cast<TimeValue>(static_cast<std::uint32_t>(toTimeValue64(t)));
}

SYSTEMTIME fromTimeValue(std::int64_t t) {
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    if (localtime_r(&tt, &tm) == nullptr) return SYSTEMTIME{};
    SYSTEMTIME out = makeTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                              tm.tm_sec);
    out.wDayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    return out;
}

SYSTEMTIME normalizeDate(const SYSTEMTIME& t) { return fromWallSeconds(wallSeconds(t), 0); }

SYSTEMTIME addDays(const SYSTEMTIME& t, int days) {
    return fromWallSeconds(wallSeconds(t) + std::int64_t{days} * 86400, t.wMilliseconds);
}

SYSTEMTIME addSecondsRounded(const SYSTEMTIME& t, double seconds) {
    // 100-nanosecond arithmetic, the product truncated to an integer.
    const std::int64_t ticks = wallSeconds(t) * 10000000 + std::int64_t{t.wMilliseconds} * 10000 +
                               static_cast<std::int64_t>(seconds * 10000000.0);
    std::int64_t secs = ticks / 10000000;
    std::int64_t frac = ticks % 10000000;
    if (frac < 0) {
        frac += 10000000;
        --secs;
    }
    SYSTEMTIME r = fromWallSeconds(secs, static_cast<std::uint16_t>(frac / 10000));
    const std::int64_t v = toTimeValue64(r);
    const std::int64_t rem = ((v % 60) + 60) % 60;
    if (rem != 0) r = fromTimeValue(rem < 30 ? v - rem : v + (60 - rem));
    return r;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

int daysInMonth(const SYSTEMTIME& t) { return daysInMonth(t.wYear, t.wMonth); }

std::int64_t dayNumber(const SYSTEMTIME& t) { return daysFromCivil(t.wYear, t.wMonth, t.wDay); }

int dayOfWeek(int year, int month, int day) {
    return weekdayFromDays(daysFromCivil(year, static_cast<unsigned>(month), day));
}

WeekSpan weekRange(const SYSTEMTIME& t) {
    const int index = t.wDayOfWeek == 0 ? 6 : t.wDayOfWeek - 1;
    WeekSpan w;
    w.start = addDays(t, -index);
    w.start.wHour = w.start.wMinute = w.start.wSecond = 0;
    w.end = addDays(t, 6 - index);
    w.end.wHour = 23;
    w.end.wMinute = 59;
    w.end.wSecond = 59;
    return w;
}

int weekNumber(const SYSTEMTIME& t) {
    static constexpr int kBefore[2][12] = {
        {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
        {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
    const bool leap = isLeapYear(t.wYear);
    const int month = t.wMonth >= 1 && t.wMonth <= 12 ? t.wMonth : 1;
    const int dayOfYear = kBefore[leap][month - 1] + t.wDay;
    const int isoWeekday = t.wDayOfWeek == 0 ? 7 : t.wDayOfWeek;
    int week = (dayOfYear - isoWeekday + 10) / 7;
    if (week == 0) {
        // The last week of the previous year.
        SYSTEMTIME dec31 = makeTime(t.wYear - 1, 12, 31);
        dec31.wDayOfWeek = static_cast<std::uint16_t>(dayOfWeek(t.wYear - 1, 12, 31));
        return weekNumber(dec31);
    }
    if (week == 53) {
        const int daysInYear = leap ? 366 : 365;
        // Fewer than four days of this week in this year: it is week 1.
        if (daysInYear - dayOfYear < 4 - isoWeekday) week = 1;
    }
    return week;
}

SYSTEMTIME transitionDate(const TransitionRule& rule, int year) {
    int d = 1;
    for (; d <= 7; ++d) {
        if (dayOfWeek(year, rule.month, d) == rule.dayOfWeek) break;
    }
    if (d > 7) d = 7;
    int day = 7 * rule.occurrence + d - 7;
    if (day > daysInMonth(year, rule.month)) day = 7 * (rule.occurrence - 2) + d;
    return normalizeDate(makeTime(year, rule.month, day, rule.hour, rule.minute, rule.second));
}

namespace {

bool isDaylightAt(std::int64_t t) {
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return tm.tm_isdst > 0;
}

// The first second at which the daylight flag differs from the one at lo,
// given that it differs at hi.
std::int64_t firstChange(std::int64_t lo, std::int64_t hi) {
    const bool at = isDaylightAt(lo);
    while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (isDaylightAt(mid) == at) lo = mid; else hi = mid;
    }
    return hi;
}

struct YearChanges {
    std::int64_t start;  // first second of daylight saving
    std::int64_t end;    // first second of standard time again
};

// The daylight-saving changes of the process time zone in one year, as the
// tz database gives them. nullopt for a year without daylight saving.
std::optional<YearChanges> findChanges(int year) {
    const std::int64_t yearStart = toTimeValue64(makeTime(year, 1, 1));
    const std::int64_t yearEnd = toTimeValue64(makeTime(year + 1, 1, 1));
    std::optional<std::int64_t> start, end;
    bool prev = isDaylightAt(yearStart);
    for (std::int64_t probe = yearStart + 86400; probe <= yearEnd + 86400; probe += 86400) {
        const bool now = isDaylightAt(probe);
        if (now != prev) {
            const std::int64_t change = firstChange(probe - 86400, probe);
            if (now && !start) start = change;
            if (!now && !end) end = change;
        }
        prev = now;
    }
    if (!start || !end) return std::nullopt;
    return YearChanges{*start, *end};
}

}  // namespace

DaylightTable buildDaylightTable(const SYSTEMTIME& today) {
    DaylightTable table;
    for (int year = today.wYear - 2; year <= today.wYear + 4; ++year) {
        if (auto changes = findChanges(year)) {
            table.start[year] = static_cast<TimeValue>(static_cast<std::uint32_t>(changes->start));
            table.end[year] = static_cast<TimeValue>(static_cast<std::uint32_t>(changes->end));
        }
    }
    return table;
}

bool parseDateTime(const char* text, bool withSeconds, SYSTEMTIME& out) {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    const int read = scanIntegers(text, withSeconds ? "%d.%d.%d %d:%d:%d" : "%d.%d.%d %d:%d",
                                  {&day, &month, &year, &hour, &minute, &second});
    if (read < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59 || year < 0 || year > 65535) {
        return false;
    }
    out = normalizeDate(makeTime(year, month, day, hour, minute, second));
    return true;
}

namespace {
template <typename... Args>
Text format(const char* fmt, Args... args) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}
}  // namespace

Text formatDate(const SYSTEMTIME& t) { return format("%02d.%02d.%d", t.wDay, t.wMonth, t.wYear); }
Text formatDateTime(const SYSTEMTIME& t) {
    Text out;
    appendDateTime(out, t);
    return out;
}

namespace {
// `value` in decimal, at least `digits` digits with leading zeros (as
// %0Nd), written backwards from `end`; the new start.
char* decimalBefore(char* end, unsigned value, int digits) {
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
        --digits;
    } while (value != 0 || digits > 0);
    return end;
}
}  // namespace

void appendDateTime(Text& out, const SYSTEMTIME& t) {
    char buf[32];
    char* const end = buf + sizeof buf;
    char* p = decimalBefore(end, t.wMinute, 2);
    *--p = ':';
    p = decimalBefore(p, t.wHour, 2);
    *--p = ' ';
    p = decimalBefore(p, t.wYear, 1);
    *--p = '.';
    p = decimalBefore(p, t.wMonth, 2);
    *--p = '.';
    p = decimalBefore(p, t.wDay, 2);
    out.append(p, static_cast<std::size_t>(end - p));
}
Text formatTimeOfDay(const SYSTEMTIME& t) { return format("%02d:%02d", t.wHour, t.wMinute); }
Text formatDateShort(const SYSTEMTIME& t) { return format("%d.%d.%d", t.wDay, t.wMonth, t.wYear); }

}  // namespace velmora
