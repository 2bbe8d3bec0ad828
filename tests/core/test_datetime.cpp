#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/datetime.h"

using namespace velmora;

namespace {

SYSTEMTIME withWeekday(SYSTEMTIME t) {
    t.wDayOfWeek = static_cast<std::uint16_t>(dayOfWeek(t.wYear, t.wMonth, t.wDay));
    return t;
}

}  // namespace

// Every other time test is only meaningful when the Finnish zone is really
// in force: without tzdata an unknown zone silently becomes UTC.
TEST(TimeZone, FinnishRulesAreInForce) {
    const char* tz = std::getenv("TZ");
    ASSERT_NE(tz, nullptr);
    ASSERT_STREQ(tz, "Europe/Helsinki");
    // Winter UTC+2, summer UTC+3.
    EXPECT_EQ(toTimeValue(makeTime(2024, 3, 15, 8, 30)), 1710484200);  // 06:30 UTC
    EXPECT_EQ(toTimeValue(makeTime(2024, 7, 1, 12, 0)), 1719824400);   // 09:00 UTC
}

TEST(TimeConversion, ZeroMeansNoInstantAndReadsBackAsTheLocalEpoch) {
    SYSTEMTIME t{};
    t.wSecond = 30;
    t.wMilliseconds = 999;
    EXPECT_EQ(toTimeValue(t), 0);
    const SYSTEMTIME epoch = fromTimeValue(0);
    EXPECT_EQ(epoch, withWeekday(makeTime(1970, 1, 1, 2, 0, 0)));
    EXPECT_EQ(epoch.wDayOfWeek, 4);  // Thursday
}

TEST(TimeConversion, RoundTripFillsWeekdayAndClearsMilliseconds) {
    for (const SYSTEMTIME& x : {makeTime(2024, 2, 29, 23, 59, 59), makeTime(2026, 12, 6, 8, 0, 0),
                                makeTime(2027, 1, 1, 0, 0, 1), makeTime(2024, 10, 27, 12, 0, 0)}) {
        SYSTEMTIME in = x;
        in.wMilliseconds = 500;
        const SYSTEMTIME out = fromTimeValue(toTimeValue(in));
        EXPECT_EQ(out, withWeekday(x));
        EXPECT_EQ(out.wMilliseconds, 0);
    }
}

TEST(TimeConversion, DayOverflowRollsIntoNextMonth) {
    EXPECT_EQ(toTimeValue(makeTime(2024, 1, 32, 10, 0)), toTimeValue(makeTime(2024, 2, 1, 10, 0)));
    EXPECT_EQ(normalizeDate(makeTime(2023, 2, 29, 7, 5)), withWeekday(makeTime(2023, 3, 1, 7, 5)));
    EXPECT_EQ(normalizeDate(makeTime(2024, 12, 32)), withWeekday(makeTime(2025, 1, 1)));
}

TEST(TimeConversion, AutumnAmbiguousHourMapsToOneOfItsInstants) {
    // 03:30 happens twice on 27.10.2024; either reading is a valid instant
    // of that wall time, and it reads back as 03:30.
    const TimeValue t = toTimeValue(makeTime(2024, 10, 27, 3, 30));
    EXPECT_TRUE(t == 1729989000 || t == 1729992600) << t;
    EXPECT_EQ(fromTimeValue(t).wHour, 3);
    EXPECT_EQ(fromTimeValue(t).wMinute, 30);
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

TEST(Calendar, LeapYearsAndDaysInMonth) {
    for (int y : {2024, 2000}) EXPECT_TRUE(isLeapYear(y)) << y;
    for (int y : {1900, 2023, 2100}) EXPECT_FALSE(isLeapYear(y)) << y;
    for (int d : {1, 15, 29}) EXPECT_EQ(daysInMonth(makeTime(2024, 2, d)), 29);
    EXPECT_EQ(daysInMonth(makeTime(2023, 2, 28)), 28);
    EXPECT_EQ(daysInMonth(makeTime(1900, 2, 1)), 28);
    EXPECT_EQ(daysInMonth(makeTime(2024, 4, 30)), 30);
    EXPECT_EQ(daysInMonth(makeTime(2024, 12, 31)), 31);
}

TEST(Calendar, WeekRangeRunsMondayToSunday) {
    const WeekSpan sunday = weekRange(withWeekday(makeTime(2024, 3, 31, 15, 20, 10)));
    EXPECT_EQ(sunday.start, withWeekday(makeTime(2024, 3, 25, 0, 0, 0)));
    EXPECT_EQ(sunday.end, withWeekday(makeTime(2024, 3, 31, 23, 59, 59)));

    const WeekSpan monday = weekRange(withWeekday(makeTime(2024, 3, 25, 9, 0)));
    EXPECT_EQ(monday.start, withWeekday(makeTime(2024, 3, 25)));

    // A week that spans the turn of the year.
    const WeekSpan newYear = weekRange(withWeekday(makeTime(2025, 1, 1, 12, 0)));
    EXPECT_EQ(newYear.start, withWeekday(makeTime(2024, 12, 30)));
    EXPECT_EQ(newYear.end, withWeekday(makeTime(2025, 1, 5, 23, 59, 59)));
}

TEST(Calendar, IsoWeekNumbersAtYearEnds) {
    struct Case {
        int y, m, d, week;
    } cases[] = {
        {2020, 12, 31, 53}, {2021, 1, 1, 53}, {2021, 1, 3, 53}, {2021, 1, 4, 1},
        {2024, 12, 30, 1},  {2024, 12, 31, 1}, {2025, 12, 29, 1}, {2026, 1, 1, 1},
        {2026, 12, 31, 53}, {2027, 1, 1, 53},  {2027, 1, 3, 53},  {2027, 1, 4, 1},
        {2024, 6, 15, 24},  {2016, 1, 1, 53},  {2023, 1, 1, 52},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(weekNumber(withWeekday(makeTime(c.y, c.m, c.d))), c.week)
            << c.d << "." << c.m << "." << c.y;
    }
}

TEST(Calendar, TransitionDateRules) {
    // Last Sunday of March at 03:00 (EU spring change).
    EXPECT_EQ(transitionDate({3, 0, 5, 3, 0, 0}, 2024), withWeekday(makeTime(2024, 3, 31, 3, 0)));
    EXPECT_EQ(transitionDate({3, 0, 5, 3, 0, 0}, 2026), withWeekday(makeTime(2026, 3, 29, 3, 0)));
    // Last Sunday of October at 04:00.
    EXPECT_EQ(transitionDate({10, 0, 5, 4, 0, 0}, 2024), withWeekday(makeTime(2024, 10, 27, 4, 0)));
    // Second Sunday of March (North America), first Sunday of April.
    EXPECT_EQ(transitionDate({3, 0, 2, 2, 0, 0}, 2024), withWeekday(makeTime(2024, 3, 10, 2, 0)));
    EXPECT_EQ(transitionDate({4, 0, 1, 3, 0, 0}, 2024), withWeekday(makeTime(2024, 4, 7, 3, 0)));
    // A month whose last Sunday is its fifth: March 2020 ends on Tuesday 31st.
    EXPECT_EQ(transitionDate({3, 0, 5, 3, 0, 0}, 2020), withWeekday(makeTime(2020, 3, 29, 3, 0)));
}

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
    SYSTEMTIME out{};
    ASSERT_TRUE(parseDateTime("5.6.2009 7:05", false, out));
    EXPECT_EQ(out, withWeekday(makeTime(2009, 6, 5, 7, 5, 0)));

    ASSERT_TRUE(parseDateTime("05.06.2009 07:05:09", true, out));
    EXPECT_EQ(out.wSecond, 9);

    const SYSTEMTIME before = out;
    EXPECT_FALSE(parseDateTime("5.13.2009 7:05", false, out));
    EXPECT_FALSE(parseDateTime("0.6.2009 7:05", false, out));
    EXPECT_FALSE(parseDateTime("32.6.2009 7:05", false, out));
    EXPECT_FALSE(parseDateTime("5.6.2009 24:00", false, out));
    EXPECT_FALSE(parseDateTime("5.6.2009 7:60", false, out));
    EXPECT_FALSE(parseDateTime("5.6.2009 7:05:60", true, out));
    EXPECT_FALSE(parseDateTime("garbage", false, out));
    EXPECT_FALSE(parseDateTime("", false, out));
    EXPECT_EQ(out, before) << "a failed parse leaves the result untouched";
}

TEST(ParseDateTime, UnreachedFieldsStayZeroAndDayOverflowRolls) {
    SYSTEMTIME out{};
    ASSERT_TRUE(parseDateTime("5.6.2009", false, out));
    EXPECT_EQ(out.wHour, 0);
    EXPECT_EQ(out.wMinute, 0);
    // 31.2. passes the range checks and rolls into March.
    ASSERT_TRUE(parseDateTime("31.2.2009 7:05", false, out));
    EXPECT_EQ(out, withWeekday(makeTime(2009, 3, 3, 7, 5)));
}

TEST(Formats, DisplayForms) {
    const SYSTEMTIME t = makeTime(2024, 3, 5, 7, 9, 0);
    EXPECT_EQ(formatDate(t), "05.03.2024");
    EXPECT_EQ(formatDateTime(t), "05.03.2024 07:09");
    EXPECT_EQ(formatTimeOfDay(t), "07:09");
    EXPECT_EQ(formatDateShort(t), "5.3.2024");
}
