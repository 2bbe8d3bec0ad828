#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/datetime.h"

using namespace velmora;

namespace {

SYSTEMTIME withWeekday(SYSTEMTIME t) {
    t.wDayOfWeek = static_cast<std::uint16_t>(dayOfWeek(t.wYear, t.wMonth, t.wDay));
    return t;
}

}  // namespace

TEST(TimeConversion, ZeroRoundTripAndOverflow) {
    SYSTEMTIME zero{};
    zero.wSecond = 30;
    EXPECT_EQ(toTimeValue(zero), 0) << "no instant";
    EXPECT_EQ(fromTimeValue(0), withWeekday(makeTime(1970, 1, 1, 2, 0, 0)));
    for (const SYSTEMTIME& x : {makeTime(2024, 2, 29, 23, 59, 59), makeTime(2027, 1, 1, 0, 0, 1),
                                makeTime(2024, 10, 27, 3, 30, 0)}) {
        SYSTEMTIME in = x;
        in.wMilliseconds = 500;
        EXPECT_EQ(fromTimeValue(toTimeValue(in)), withWeekday(x)) << formatDateTime(x);
    }
    EXPECT_EQ(toTimeValue(makeTime(2024, 1, 32, 10, 0)), toTimeValue(makeTime(2024, 2, 1, 10, 0)));
    EXPECT_EQ(normalizeDate(makeTime(2023, 2, 29, 7, 5)), withWeekday(makeTime(2023, 3, 1, 7, 5)));
    EXPECT_EQ(normalizeDate(makeTime(2024, 12, 32)), withWeekday(makeTime(2025, 1, 1)));
}

TEST(AddSecondsRounded, RoundsToTheNearestMinute) {
    const struct {
        SYSTEMTIME from;
        double seconds;
        SYSTEMTIME to;
    } cases[] = {
        {makeTime(2024, 5, 10, 10, 0, 0), 89, makeTime(2024, 5, 10, 10, 1, 0)},
        {makeTime(2024, 5, 10, 10, 0, 0), 90, makeTime(2024, 5, 10, 10, 2, 0)},
        {makeTime(2024, 5, 10, 10, 0, 0), 29, makeTime(2024, 5, 10, 10, 0, 0)},
        {makeTime(2024, 5, 10, 10, 0, 0), 30, makeTime(2024, 5, 10, 10, 1, 0)},
        {makeTime(2024, 12, 31, 23, 59, 0), 120, makeTime(2025, 1, 1, 0, 1, 0)},
        {makeTime(2024, 3, 1, 0, 0, 0), -86400, makeTime(2024, 2, 29, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(addSecondsRounded(c.from, c.seconds), withWeekday(c.to))
            << formatDateTime(c.from) << " + " << c.seconds;
    }
}

// The month lengths are a table; February follows the century rules.
TEST(Calendar, FebruaryOfLeapYears) {
    for (const auto& [year, days] : {std::pair{2024, 29}, {2000, 29}, {2023, 28}, {1900, 28}, {2100, 28}}) {
        EXPECT_EQ(daysInMonth(makeTime(year, 2, 15)), days) << year;
        EXPECT_EQ(isLeapYear(year), days == 29) << year;
    }
}

// Which days a week holds is the calendar views' test; here the times of
// its first and last second.
TEST(Calendar, WeekRangeRunsFromMondayMidnightToSundayNight) {
    const WeekSpan w = weekRange(withWeekday(makeTime(2024, 3, 31, 15, 20, 10)));
    EXPECT_EQ(w.start, withWeekday(makeTime(2024, 3, 25)));
    EXPECT_EQ(w.end, withWeekday(makeTime(2024, 3, 31, 23, 59, 59)));
}

TEST(Calendar, IsoWeekNumbersAtYearEnds) {
    struct Case {
        int y, m, d, week;
    } cases[] = {
        {2020, 12, 31, 53}, {2021, 1, 1, 53}, {2021, 1, 4, 1},  {2024, 12, 30, 1},
        {2025, 12, 29, 1},  {2026, 12, 31, 53}, {2027, 1, 3, 53}, {2024, 6, 15, 24},
        {2023, 1, 1, 52},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(weekNumber(withWeekday(makeTime(c.y, c.m, c.d))), c.week)
            << c.d << "." << c.m << "." << c.y;
    }
}

TEST(Calendar, TransitionDateRules) {
    const struct {
        TransitionRule rule;
        int year;
        SYSTEMTIME date;
    } cases[] = {
        {{3, 0, 5, 3, 0, 0}, 2024, makeTime(2024, 3, 31, 3, 0)},   // last Sunday of March
        {{10, 0, 5, 4, 0, 0}, 2024, makeTime(2024, 10, 27, 4, 0)},
        {{3, 0, 2, 2, 0, 0}, 2024, makeTime(2024, 3, 10, 2, 0)},   // second Sunday
        {{4, 0, 1, 3, 0, 0}, 2024, makeTime(2024, 4, 7, 3, 0)},    // first Sunday
        {{3, 0, 5, 3, 0, 0}, 2020, makeTime(2020, 3, 29, 3, 0)},   // month of five Sundays
        {{9, 0, 5, 3, 0, 0}, 2023, makeTime(2023, 9, 24, 3, 0)},   // a 31st would overflow
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transitionDate(c.rule, c.year), withWeekday(c.date)) << formatDate(c.date);
    }
}

// The other time tests mean something only in the Finnish zone: without tzdata an unknown zone
// silently becomes UTC, which these known instants catch.
TEST(DaylightTable, HoldsTheChangeInstantsOfSevenYears) {
    const DaylightTable table = buildDaylightTable(makeTime(2026, 12, 6));
    EXPECT_EQ(table.start.size(), 7u);
    EXPECT_EQ(table.end.size(), 7u);
    // 01:00 UTC on the last Sundays of March and October.
    EXPECT_EQ(table.startOf(2024), 1711846800);
    EXPECT_EQ(table.endOf(2024), 1729990800);
    EXPECT_EQ(table.endOf(2026), 1792890000);
    EXPECT_EQ(table.startOf(2030), 1901149200);
    EXPECT_EQ(table.startOf(2023), 0);
    EXPECT_EQ(table.endOf(2031), 0);
}

// Registered by CMake a second time with TZ=UTC.
TEST(ZoneWithoutDaylight, TableIsEmpty) {
    const char* tz = std::getenv("TZ");
    if (tz == nullptr || std::strcmp(tz, "UTC") != 0) GTEST_SKIP() << "runs under TZ=UTC only";
    const DaylightTable table = buildDaylightTable(makeTime(2026, 6, 1));
    EXPECT_TRUE(table.start.empty());
    EXPECT_TRUE(table.end.empty());
}

TEST(ParseDateTime, AcceptsAndRejectsByRange) {
    const struct {
        const char* text;
        bool seconds;
        SYSTEMTIME parsed;  // all zero: rejected
    } cases[] = {
        {"5.6.2009 7:05", false, makeTime(2009, 6, 5, 7, 5, 0)},
        {"05.06.2009 07:05:09", true, makeTime(2009, 6, 5, 7, 5, 9)},
        {"5.6.2009", false, makeTime(2009, 6, 5)},             // unreached fields stay 0
        {"31.2.2009 7:05", false, makeTime(2009, 3, 3, 7, 5)},  // passes, rolls over
        {"5.13.2009 7:05", false, {}}, {"0.6.2009 7:05", false, {}},
        {"32.6.2009 7:05", false, {}}, {"5.6.2009 24:00", false, {}},
        {"5.6.2009 7:60", false, {}},  {"5.6.2009 7:05:60", true, {}},
        {"garbage", false, {}},        {"", false, {}},
        {"5.6.4294969305 7:05", false, {}},  // 2^32 + 2009 must not wrap to 2009
    };
    for (const auto& c : cases) {
        SYSTEMTIME out = makeTime(1999, 1, 1);
        const bool rejected = c.parsed == SYSTEMTIME{};
        EXPECT_EQ(parseDateTime(c.text, c.seconds, out), !rejected) << c.text;
        EXPECT_EQ(out, rejected ? makeTime(1999, 1, 1) : withWeekday(c.parsed)) << c.text;
    }
}

// The display forms in range are read in every dialog's test; fields outside
// their ranges come out as "%02d.%02d.%d %02d:%02d" gives them.
TEST(Formats, FieldsOutsideTheirRanges) {
    struct Case {
        SYSTEMTIME t;
        const char* text;
    };
    const Case cases[] = {{makeTime(7, 12, 31, 23, 59), "31.12.7 23:59"},
                          {makeTime(0, 0, 0, 0, 0), "00.00.0 00:00"},
                          {makeTime(65535, 100, 255, 123, 60), "255.100.65535 123:60"}};
    for (const Case& c : cases) {
        Text appended = "x";
        appendDateTime(appended, c.t);
        EXPECT_EQ(appended, Text("x") + c.text);
    }
}
