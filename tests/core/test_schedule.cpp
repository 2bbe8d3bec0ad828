#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "core/datetime.h"
#include "core/programming_table.h"
#include "core/schedule.h"

using namespace velmora;

namespace {

Alarm alarm(const SYSTEMTIME& start, const SYSTEMTIME& end, int pattern, bool forever = false) {
    Alarm a;
    // The alarm dialog gives a single alarm its start as its end.
    a.alarm_start = start;
    a.alarm_end = pattern == 0 && end == SYSTEMTIME{} ? start : end;
    a.repeat_pattern = static_cast<std::uint8_t>(pattern);
    a.repeat_forever = forever;
    a.title = "Lääke";
    return a;
}

struct Schedule : ::testing::Test {
    DaylightTable dst = buildDaylightTable(makeTime(2026, 6, 1));
    const SYSTEMTIME may1 = makeTime(2026, 5, 1);

    std::vector<AlarmOccurrence> expand(const std::vector<Alarm>& alarms, const SYSTEMTIME& from,
                                        const SYSTEMTIME& to) {
        std::vector<AlarmOccurrence> out;
        expandOccurrences(alarms, from, to, out, dst);
        return out;
    }
};

}  // namespace

// Runs in every zone that CMake registers it for (south and north, changes
// at 00:00 and at 02:00-04:00): each occurrence at its own local time, or
// the same distance after a skipped hour.
TEST(EveryZone, AlarmsKeepTheirLocalTimeAcrossTwoYearsOfChanges) {
    const DaylightTable dst = buildDaylightTable(makeTime(2026, 6, 1));
    ASSERT_EQ(dst.start.size(), 7u) << "the zone in force has daylight saving";
    std::vector<Alarm> alarms;
    for (int half = 0; half < 48; ++half) {
        alarms.push_back(alarm(makeTime(2026, 1, 1, half / 2, half % 2 * 30), {}, 1, true));
    }
    alarms.push_back(alarm(makeTime(2026, 1, 4, 2, 30), {}, 6, true));  // Sundays
    alarms.push_back(alarm(makeTime(2026, 1, 1, 3, 0), {}, 2, true));
    // Ten days from the spring change day: half an hour after the change,
    // and in the skipped hour.
    for (const SYSTEMTIME after = fromTimeValue(dst.startOf(2026) + 1800);
         SYSTEMTIME start : {after, makeTime(after.wYear, after.wMonth, after.wDay, after.wHour - 1, 30)}) {
        alarms.push_back(alarm(start, addDays(start, 9), 1));
    }
    std::vector<AlarmOccurrence> occ;
    expandOccurrences(alarms, makeTime(2026, 1, 1), makeTime(2027, 12, 31, 23, 59), occ, dst);
    ASSERT_EQ(occ.size(), 48u * 730 + 104 + 365 + 20);
    std::map<const Alarm*, int> count;
    for (const AlarmOccurrence& o : occ) {
        const Alarm& a = *o.source;
        SYSTEMTIME want = addDays(a.alarm_start, count[&a]++ * stepDays(a.repeat_pattern));
        if (fromTimeValue(toTimeValue(want)) != want) {
            ++want.wHour;  // skipped by the spring change
            want = normalizeDate(want);
        }
        ASSERT_EQ(o.time, want) << formatDateTime(a.alarm_start) << " gave " << formatDateTime(o.time);
    }
}

TEST_F(Schedule, SingleAlarmOnlyInsideTheClosedRange) {
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 10, 9, 0), {}, 0)};
    const auto in = expand(alarms, may1, makeTime(2026, 5, 31, 23, 59, 59));
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].time, fromTimeValue(toTimeValue(makeTime(2026, 5, 10, 9, 0))));
    EXPECT_EQ(in[0].status, kStatusNotAlarmed);
    EXPECT_TRUE(expand(alarms, makeTime(2026, 5, 11), makeTime(2026, 5, 31)).empty());
    EXPECT_EQ(expand(alarms, makeTime(2026, 5, 10, 9, 0), makeTime(2026, 5, 10, 9, 0)).size(), 1u);
    // An alarm without an end, or ending before it starts, gives nothing.
    Alarm noEnd = alarms[0];
    noEnd.alarm_end = SYSTEMTIME{};
    const Alarm backwards = alarm(makeTime(2026, 5, 10, 9, 0), makeTime(2026, 5, 9, 9, 0), 1);
    EXPECT_TRUE(expand({noEnd, backwards}, may1, makeTime(2026, 6, 1)).empty());
    // The occurrences of several alarms in time order are the calendar's and
    // the alarm editing tests'; they come after what the caller holds.
    std::vector<AlarmOccurrence> held(2);
    expandOccurrences(alarms, may1, makeTime(2026, 5, 31), held, dst);
    EXPECT_EQ(held.size(), 3u);
}

TEST_F(Schedule, WithoutTableEntriesTheStepsArePlainDays) {
    // The correction comes from the daylight table alone.
    dst = DaylightTable{};
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 3, 27, 8, 0), makeTime(2026, 3, 31, 8, 0), 1)};
    const auto occ = expand(alarms, makeTime(2026, 3, 27), makeTime(2026, 4, 1));
    ASSERT_EQ(occ.size(), 4u) << "31.3. 09:00 lies after the end at 08:00";
    EXPECT_EQ(occ[1].time.wHour, 8);
    EXPECT_EQ(occ[2].time.wHour, 9) << "29.3. is the change day";
}

TEST_F(Schedule, AlarmsAroundTheSkippedHourOfTheirFirstDay) {
    // 03:30 does not exist on 29.3.2026: the first one rings at 04:30, the
    // following days at 03:30. One that ends in the skipped hour before
    // its time there does not ring that day.
    const struct {
        SYSTEMTIME start, end;
        std::size_t count;
        int firstHour;
    } cases[] = {{makeTime(2026, 3, 29, 3, 30), makeTime(2026, 4, 5, 4, 0), 8, 4},
                 {makeTime(2026, 3, 20, 3, 30), makeTime(2026, 3, 29, 3, 15), 9, 3}};
    for (const auto& c : cases) {
        const auto occ = expand({alarm(c.start, c.end, 1)}, makeTime(2026, 3, 1), makeTime(2026, 4, 6));
        ASSERT_EQ(occ.size(), c.count) << formatDateTime(c.start);
        EXPECT_EQ(occ[0].time.wHour, c.firstHour);
        for (std::size_t i = 1; i < occ.size(); ++i) {
            EXPECT_EQ(occ[i].time, addDays(c.start, int(i))) << formatDateTime(occ[i].time);
        }
    }
}

TEST_F(Schedule, FillCountsAChunkBoundaryInstantOnceAndStopsAtTheHorizon) {
    // Now is exactly 08:00, so 31.5. 08:00 closes the first 30-day chunk
    // and opens the second.
    const SYSTEMTIME now = makeTime(2026, 5, 1, 8, 0);
    const std::vector<Alarm> daily{alarm(now, makeTime(2026, 6, 20, 8, 0), 1)};
    InstantList list(500);
    ASSERT_TRUE(fillInstantList(list, daily, daily, now, dst));
    EXPECT_EQ(list.size(), 51u);
    EXPECT_EQ(list.items().front(), toTimeValue(now));

    const std::vector<Alarm> weekly{alarm(makeTime(2026, 4, 1, 9, 0), makeTime(2026, 12, 31, 9, 0), 6),
                                    alarm(makeTime(2027, 2, 1, 9, 0), {}, 0)};
    ASSERT_TRUE(fillInstantList(list, weekly, weekly, makeTime(2026, 5, 10, 12, 0), dst));
    EXPECT_EQ(list.size(), 35u);  // 34 Wednesdays ahead in 2026, then 1.2.2027
    EXPECT_EQ(list.items().back(), toTimeValue(makeTime(2027, 2, 1, 9, 0)));
}

TEST_F(Schedule, FullListDropsTheLastPartialDay) {
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true),
                                    alarm(makeTime(2026, 5, 1, 14, 0), {}, 1, true),
                                    alarm(makeTime(2026, 5, 1, 20, 0), {}, 1, true)};
    // Capacity 10: the 4th day's first alarm fits, then that day goes.
    // Capacity 9: the list is full at a day's end; the next add fails and
    // the last whole day goes.
    for (const auto& [capacity, size, lastDay] : {std::tuple{10u, 9u, 3}, std::tuple{9u, 6u, 2}}) {
        InstantList list(capacity);
        ASSERT_TRUE(fillInstantList(list, alarms, alarms, may1, dst));
        ASSERT_EQ(list.size(), size);
        EXPECT_EQ(list.items().back(), toTimeValue(makeTime(2026, 5, lastDay, 20, 0)));
    }
}

TEST_F(Schedule, FillEndsWithNothingOrWithWhatTheAlarmsReach) {
    const SYSTEMTIME now = makeTime(2026, 6, 1);
    InstantList list(500);
    list.add(1);
    EXPECT_FALSE(fillInstantList(list, {}, {}, now, dst));
    EXPECT_TRUE(list.empty());
    const std::vector<Alarm> past{alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 2, 1, 8, 0), 1)};
    EXPECT_FALSE(fillInstantList(list, past, past, now, dst));
    // Repeats "forever" without a step: the horizon is endless and the
    // list never fills, yet the fill ends.
    const std::vector<Alarm> once{alarm(makeTime(2026, 9, 1, 8, 0), {}, 0, true)};
    ASSERT_TRUE(fillInstantList(list, once, once, now, dst));
    EXPECT_EQ(list.items(), (std::vector<TimeValue>{toTimeValue(makeTime(2026, 9, 1, 8, 0))}));
}

// Neighbours must lie the window and five minutes apart: 45 minutes fit a
// 40-minute window, not one a second longer.
TEST_F(Schedule, FortyFiveMinutesFitAFortyMinuteWindowButNotASecondMore) {
    const std::vector<Alarm> user{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true)};
    const Alarm candidate = alarm(makeTime(2026, 5, 1, 8, 45), {}, 1, true);
    EXPECT_TRUE(candidateFits(user, candidate, nullptr, 2400, may1, dst));
    EXPECT_FALSE(candidateFits(user, candidate, nullptr, 2401, may1, dst));
    const std::vector<Alarm> both{user[0], candidate};
    EXPECT_TRUE(windowFits(both, 2400, may1, dst));
    EXPECT_FALSE(windowFits(both, 2401, may1, dst));
    // The horizon comes from the stored alarms: all past, nothing clashes.
    const std::vector<Alarm> past{alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 2, 1, 8, 0), 1)};
    EXPECT_TRUE(candidateFits(past, candidate, nullptr, 43200, may1, dst));
    EXPECT_TRUE(candidateFits({}, candidate, nullptr, 43200, may1, dst));
}

TEST_F(Schedule, CandidateCheckOfAnEditedAlarm) {
    const std::vector<Alarm> user{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true),
                                  alarm(makeTime(2026, 5, 1, 20, 0), makeTime(2026, 12, 1, 20, 0), 1)};
    // The edited alarm does not clash with its old self.
    const Alarm moved = alarm(makeTime(2026, 5, 1, 8, 10), {}, 1, true);
    EXPECT_TRUE(candidateFits(user, moved, &user[0], 600, may1, dst));
    EXPECT_FALSE(candidateFits(user, moved, nullptr, 600, may1, dst));
    // The only endless alarm is given an end: the edited alarms end, and
    // a clash in their last month is still found.
    Alarm ending = alarm(makeTime(2026, 5, 1, 19, 50), makeTime(2026, 12, 1, 19, 50), 1);
    EXPECT_FALSE(candidateFits(user, ending, &user[0], 600, may1, dst));
    ending.alarm_start = makeTime(2026, 11, 28, 19, 50);
    EXPECT_FALSE(candidateFits(user, ending, &user[0], 600, may1, dst));
    ending.alarm_start = makeTime(2026, 11, 28, 8, 0);
    EXPECT_TRUE(candidateFits(user, ending, &user[0], 600, may1, dst));
}

// How statuses and acknowledgements reach the occurrences is the calendar
// views' test; here that entries matching none are added to the caller's.
TEST(History, UnmatchedEntriesAreAppended) {
    std::vector<AlarmOccurrence> none;
    std::vector<LogEntry> unmatched(1);
    applyHistory(none, {{60, {60, 0, kStatusForgotten}}}, unmatched);
    EXPECT_EQ(unmatched.size(), 2u);
}

// Nothing is expanded or filled past the last instant a TimeValue holds
// (a negative TimeValue reads as 1909), and the list says when alarms went on.
TEST_F(Schedule, NothingGoesPastTheLastTimeValue) {
    const SYSTEMTIME now = makeTime(2037, 12, 1, 12, 0);
    const DaylightTable dst2037 = buildDaylightTable(now);
    const auto sameClockOnDec2 = [](const SYSTEMTIME& t) {
        return makeTime(2037, 12, 2, t.wHour, t.wMinute, t.wSecond);
    };
    const SYSTEMTIME limit = fromTimeValue(kLastTimeValue), onePast = fromTimeValue(std::int64_t{kLastTimeValue} + 1);
    struct Row {
        const char* what;
        Alarm alarm;
        TimeValue last;
        bool cut;
    } rows[] = {
        {"daily, ending exactly there", alarm(sameClockOnDec2(limit), limit, 1), kLastTimeValue, false},
        {"daily, ending one second past", alarm(sameClockOnDec2(onePast), onePast, 1), kLastTimeValue - 86399,
         true},
        {"weekly forever from 2037", alarm(makeTime(2037, 6, 1, 8, 0), {}, 6, true),
         toTimeValue(makeTime(2038, 1, 18, 8, 0)), true},
    };
    for (const Row& row : rows) {
        std::vector<AlarmOccurrence> occ;
        expandOccurrences({row.alarm}, now, makeTime(2045, 1, 1), occ, dst2037);
        ASSERT_FALSE(occ.empty()) << row.what;
        EXPECT_EQ(toTimeValue64(occ.back().time), row.last) << row.what;
        occ.clear();
        expandOccurrences({row.alarm}, makeTime(2039, 1, 1), makeTime(2039, 12, 31), occ, dst2037);
        EXPECT_TRUE(occ.empty()) << row.what << ": the calendar of 2039";
        InstantList list(2000);
        ASSERT_TRUE(fillInstantList(list, {row.alarm}, {row.alarm}, now, dst2037)) << row.what;
        EXPECT_EQ(list.items().back(), row.last) << row.what;
        EXPECT_EQ(list.endsAtTimeLimit(), row.cut) << row.what;
        InstantList full(5);
        fillInstantList(full, {row.alarm}, {row.alarm}, now, dst2037);
        EXPECT_FALSE(full.endsAtTimeLimit()) << row.what << ": a full list was not cut short";
    }
}

// The table that programming writes is the instant list filled from now
// (above); an alarm whose end lies ahead may still ring no more.
TEST(ProgrammingTable, NothingAheadIsNothingToProgram) {
    const SYSTEMTIME now = makeTime(2026, 3, 10, 12, 0);
    CurrentUser user;
    user.daylight = buildDaylightTable(now);
    // Ends later today, but its next occurrence (tomorrow 08:00) is past the end.
    user.alarms = {alarm(makeTime(2026, 3, 1, 8, 0), makeTime(2026, 3, 10, 23, 0), 1)};
    EXPECT_FALSE(buildProgrammingTable(user, now));
    EXPECT_TRUE(user.alarm_table.empty());
}
