#include <gtest/gtest.h>

#include "core/datetime.h"
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

    std::vector<AlarmOccurrence> expand(const std::vector<Alarm>& alarms, const SYSTEMTIME& from,
                                        const SYSTEMTIME& to) {
        std::vector<AlarmOccurrence> out;
        expandOccurrences(alarms, from, to, out, dst);
        return out;
    }
};

}  // namespace

TEST(StepDays, TableAndUnknownCodes) {
    const int expected[] = {0, 1, 2, 3, 4, 5, 7, 14};
    for (int code = 0; code < 8; ++code) EXPECT_EQ(stepDays(code), expected[code]);
    EXPECT_EQ(stepDays(8), 0);
    EXPECT_EQ(stepDays(255), 0);
}

TEST_F(Schedule, SingleAlarmOnlyInsideTheRange) {
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 10, 9, 0), {}, 0)};
    const auto in = expand(alarms, makeTime(2026, 5, 1), makeTime(2026, 5, 31, 23, 59, 59));
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].time.wDay, 10);
    EXPECT_EQ(in[0].title, "Lääke");
    EXPECT_EQ(in[0].status, kStatusNotAlarmed);
    EXPECT_EQ(in[0].source, &alarms[0]);
    EXPECT_TRUE(expand(alarms, makeTime(2026, 5, 11), makeTime(2026, 5, 31)).empty());
    // The range is closed at both ends.
    EXPECT_EQ(expand(alarms, makeTime(2026, 5, 10, 9, 0), makeTime(2026, 5, 10, 9, 0)).size(), 1u);
}

TEST_F(Schedule, AlarmsEndingBeforeTheyStartGiveNothing) {
    Alarm noEnd = alarm(makeTime(2026, 5, 10, 9, 0), {}, 0);
    noEnd.alarm_end = SYSTEMTIME{};
    const Alarm backwards = alarm(makeTime(2026, 5, 10, 9, 0), makeTime(2026, 5, 9, 9, 0), 1);
    EXPECT_TRUE(expand({noEnd, backwards}, makeTime(2026, 5, 1), makeTime(2026, 6, 1)).empty());
}

TEST_F(Schedule, DailyAlarmKeepsItsLocalTimeAcrossBothChanges) {
    const std::vector<Alarm> alarms{
        alarm(makeTime(2026, 3, 20, 8, 0), makeTime(2026, 11, 5, 8, 0), 1)};
    const auto occ = expand(alarms, makeTime(2026, 3, 20), makeTime(2026, 11, 30));
    ASSERT_EQ(occ.size(), 231u);  // 20.3. to 5.11. inclusive
    for (const AlarmOccurrence& o : occ) {
        ASSERT_EQ(o.time.wHour, 8) << formatDateTime(o.time);
        ASSERT_EQ(o.time.wMinute, 0) << formatDateTime(o.time);
    }
    EXPECT_EQ(occ.back().time.wMonth, 11);
    EXPECT_EQ(occ.back().time.wDay, 5);
}

TEST_F(Schedule, WeeklyAlarmKeepsItsLocalTimeAcrossBothChanges) {
    const std::vector<Alarm> alarms{
        alarm(makeTime(2026, 3, 1, 21, 30), makeTime(2026, 12, 31, 23, 0), 6)};
    const auto occ = expand(alarms, makeTime(2026, 1, 1), makeTime(2026, 12, 31, 23, 59));
    ASSERT_FALSE(occ.empty());
    for (std::size_t i = 0; i < occ.size(); ++i) {
        ASSERT_EQ(occ[i].time.wHour, 21) << formatDateTime(occ[i].time);
        ASSERT_EQ(occ[i].time.wMinute, 30);
        ASSERT_EQ(occ[i].time.wDayOfWeek, 0) << "every Sunday";
    }
    EXPECT_EQ(occ.size(), 44u);  // Sundays 1.3. to 27.12.
}

TEST_F(Schedule, SecondYearOfAForeverAlarmIsCorrectedToo) {
    const std::vector<Alarm> alarms{alarm(makeTime(2025, 1, 1, 7, 15), {}, 2, true)};
    const auto occ = expand(alarms, makeTime(2026, 3, 1), makeTime(2026, 11, 30));
    ASSERT_FALSE(occ.empty());
    for (const AlarmOccurrence& o : occ) ASSERT_EQ(o.time.wHour, 7) << formatDateTime(o.time);
}

TEST_F(Schedule, WithoutTableEntriesTheStepsArePlainDays) {
    // The correction comes from the daylight table alone: a year the table
    // does not cover keeps 24-hour steps, and the wall time moves.
    dst = DaylightTable{};
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 3, 27, 8, 0), makeTime(2026, 3, 31, 8, 0), 1)};
    const auto occ = expand(alarms, makeTime(2026, 3, 27), makeTime(2026, 4, 1));
    ASSERT_EQ(occ.size(), 4u) << "31.3. 09:00 lies after the end at 08:00";
    EXPECT_EQ(occ[1].time.wHour, 8);
    EXPECT_EQ(occ[2].time.wHour, 9) << "29.3. is the change day";
    EXPECT_EQ(occ[3].time.wHour, 9);
}

TEST_F(Schedule, AlarmStartingInsideTheSkippedHour) {
    // 03:30 does not exist on 29.3.2026. Whatever instant the first one
    // becomes, the following days ring at 03:30 summer time.
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 3, 29, 3, 30), makeTime(2026, 4, 5, 4, 0), 1)};
    const auto occ = expand(alarms, makeTime(2026, 3, 28), makeTime(2026, 4, 6));
    ASSERT_EQ(occ.size(), 8u);
    for (std::size_t i = 1; i < occ.size(); ++i) {
        EXPECT_EQ(occ[i].time.wHour, 3) << formatDateTime(occ[i].time);
        EXPECT_EQ(occ[i].time.wMinute, 30);
        EXPECT_EQ(occ[i].time.wDay, i == 1 ? 30 : (30 + i - 1 - 1) % 31 + 1);
    }
}

TEST_F(Schedule, OccurrencesOfSeveralAlarmsAreSorted) {
    const std::vector<Alarm> alarms{
        alarm(makeTime(2026, 5, 1, 20, 0), makeTime(2026, 5, 3, 20, 0), 1),
        alarm(makeTime(2026, 5, 1, 8, 0), makeTime(2026, 5, 3, 8, 0), 1),
        alarm(makeTime(2026, 5, 2, 12, 0), {}, 0)};
    const auto occ = expand(alarms, makeTime(2026, 5, 1), makeTime(2026, 5, 4));
    ASSERT_EQ(occ.size(), 7u);
    for (std::size_t i = 1; i < occ.size(); ++i) {
        EXPECT_LT(toTimeValue(occ[i - 1].time), toTimeValue(occ[i].time));
    }
    EXPECT_EQ(occ[3].source, &alarms[2]);

    // Expansion appends: the caller clears when it wants one range only.
    std::vector<AlarmOccurrence> twice = occ;
    expandOccurrences(alarms, makeTime(2026, 5, 1), makeTime(2026, 5, 4), twice, dst);
    EXPECT_EQ(twice.size(), 14u);
}

TEST(Horizon, KindsAndBound) {
    const SYSTEMTIME now = makeTime(2026, 6, 1, 12, 0);
    EXPECT_EQ(scheduleHorizon({}, now).kind, Horizon::kNothingAhead);

    const Alarm past = alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 5, 1, 8, 0), 1);
    const Alarm ends = alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 9, 1, 8, 0), 1);
    const Alarm later = alarm(makeTime(2026, 10, 1, 8, 0), {}, 0);
    const Alarm forever = alarm(makeTime(2020, 1, 1, 8, 0), {}, 1, true);

    EXPECT_EQ(scheduleHorizon({past}, now).kind, Horizon::kNothingAhead);
    const Horizon h = scheduleHorizon({past, ends, later}, now);
    EXPECT_EQ(h.kind, Horizon::kEnds);
    EXPECT_EQ(h.bound, later.alarm_start) << "a single alarm counts by its start";
    EXPECT_EQ(scheduleHorizon({ends, past, forever}, now).kind, Horizon::kForever);
}

TEST_F(Schedule, FillCountsAChunkBoundaryInstantOnce) {
    // Now is exactly 08:00, so 31.5. 08:00 closes the first 30-day chunk and
    // opens the second.
    const SYSTEMTIME now = makeTime(2026, 5, 1, 8, 0);
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 1, 8, 0), makeTime(2026, 6, 20, 8, 0), 1)};
    InstantList list(500);
    ASSERT_TRUE(fillInstantList(list, alarms, alarms, now, dst));
    EXPECT_EQ(list.size(), 51u);
    EXPECT_EQ(list.items().front(), toTimeValue(now));
    EXPECT_EQ(list.items().back(), toTimeValue(makeTime(2026, 6, 20, 8, 0)));
}

TEST_F(Schedule, FillStopsAtTheHorizonAndSkipsThePast) {
    const SYSTEMTIME now = makeTime(2026, 5, 10, 12, 0);
    const std::vector<Alarm> alarms{
        alarm(makeTime(2026, 4, 1, 9, 0), makeTime(2026, 12, 31, 9, 0), 6),
        alarm(makeTime(2027, 2, 1, 9, 0), {}, 0)};
    InstantList list(500);
    ASSERT_TRUE(fillInstantList(list, alarms, alarms, now, dst));
    EXPECT_GT(list.items().front(), toTimeValue(now));
    EXPECT_EQ(list.items().back(), toTimeValue(makeTime(2027, 2, 1, 9, 0)));
    EXPECT_EQ(list.size(), 35u);  // 34 Wednesdays ahead in 2026, then 1.2.2027
}

TEST_F(Schedule, FullListDropsTheLastPartialDay) {
    const SYSTEMTIME now = makeTime(2026, 5, 1, 0, 0);
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true),
                                    alarm(makeTime(2026, 5, 1, 14, 0), {}, 1, true),
                                    alarm(makeTime(2026, 5, 1, 20, 0), {}, 1, true)};
    InstantList list(10);
    ASSERT_TRUE(fillInstantList(list, alarms, alarms, now, dst));
    ASSERT_EQ(list.size(), 9u) << "the 4th day's first alarm fitted, then the day was dropped";
    EXPECT_EQ(list.items().back(), toTimeValue(makeTime(2026, 5, 3, 20, 0)));

    // When the list fills exactly at a day's end the next day's first add
    // fails and takes nothing whole away except that day.
    InstantList nine(9);
    ASSERT_TRUE(fillInstantList(nine, alarms, alarms, now, dst));
    EXPECT_EQ(nine.size(), 6u);
    EXPECT_EQ(nine.items().back(), toTimeValue(makeTime(2026, 5, 2, 20, 0)));
}

TEST_F(Schedule, FillHasNothingToDoForPastOrMissingAlarms) {
    const SYSTEMTIME now = makeTime(2026, 6, 1);
    InstantList list(500);
    list.add(1);
    EXPECT_FALSE(fillInstantList(list, {}, {}, now, dst));
    EXPECT_TRUE(list.empty());
    const std::vector<Alarm> past{alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 2, 1, 8, 0), 1)};
    EXPECT_FALSE(fillInstantList(list, past, past, now, dst));
    EXPECT_TRUE(list.empty());
}

TEST_F(Schedule, FillEndsForAForeverAlarmThatNeverRepeats) {
    // Repeats "forever" but has no step: the horizon is endless, the list
    // never fills, and the fill must still end.
    const SYSTEMTIME now = makeTime(2026, 6, 1);
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 9, 1, 8, 0), {}, 0, true)};
    InstantList list(500);
    ASSERT_TRUE(fillInstantList(list, alarms, alarms, now, dst));
    EXPECT_EQ(list.items(), (std::vector<TimeValue>{toTimeValue(makeTime(2026, 9, 1, 8, 0))}));
}

TEST(Spacing, NeighboursMustBeWindowPlusFiveMinutesApart) {
    EXPECT_TRUE(spacingHolds({}, 600));
    EXPECT_TRUE(spacingHolds({1000}, 600));
    EXPECT_TRUE(spacingHolds({0, 900}, 600));
    EXPECT_FALSE(spacingHolds({0, 899}, 600));
    EXPECT_FALSE(spacingHolds({0, 5000, 5100}, 600)) << "any close pair fails";
}

TEST_F(Schedule, FortyFiveMinutesFitAFortyMinuteWindowButNotAnHour) {
    const SYSTEMTIME now = makeTime(2026, 5, 1, 0, 0);
    const std::vector<Alarm> user{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true)};
    const Alarm candidate = alarm(makeTime(2026, 5, 1, 8, 45), {}, 1, true);
    EXPECT_TRUE(candidateFits(user, candidate, nullptr, 2400, now, dst));
    EXPECT_FALSE(candidateFits(user, candidate, nullptr, 3600, now, dst));

    std::vector<Alarm> both = user;
    both.push_back(candidate);
    EXPECT_TRUE(windowFits(both, 2400, now, dst));
    EXPECT_FALSE(windowFits(both, 3600, now, dst));
}

TEST_F(Schedule, AnEditedAlarmDoesNotClashWithItsOldSelf) {
    const SYSTEMTIME now = makeTime(2026, 5, 1, 0, 0);
    const std::vector<Alarm> user{alarm(makeTime(2026, 5, 1, 8, 0), {}, 1, true),
                                  alarm(makeTime(2026, 5, 1, 20, 0), {}, 1, true)};
    const Alarm moved = alarm(makeTime(2026, 5, 1, 8, 10), {}, 1, true);
    EXPECT_TRUE(candidateFits(user, moved, &user[0], 600, now, dst));
    EXPECT_FALSE(candidateFits(user, moved, nullptr, 600, now, dst));
}

TEST_F(Schedule, CandidateCheckHoldsWhenStoredAlarmsAreAllPast) {
    // The horizon comes from the stored alarms: all in the past means the
    // list stays empty and nothing can clash.
    const SYSTEMTIME now = makeTime(2026, 6, 1);
    const std::vector<Alarm> user{alarm(makeTime(2026, 1, 1, 8, 0), makeTime(2026, 2, 1, 8, 0), 1)};
    const Alarm candidate = alarm(makeTime(2026, 6, 2, 8, 0), {}, 1, true);
    EXPECT_TRUE(candidateFits(user, candidate, nullptr, 43200, now, dst));
    EXPECT_TRUE(candidateFits({}, candidate, nullptr, 43200, now, dst));
}

TEST_F(Schedule, HistoryIsWrittenIntoOccurrences) {
    const std::vector<Alarm> alarms{alarm(makeTime(2026, 5, 1, 8, 0), makeTime(2026, 5, 3, 8, 0), 1)};
    auto occ = expand(alarms, makeTime(2026, 5, 1), makeTime(2026, 5, 4));
    ASSERT_EQ(occ.size(), 3u);
    const TimeValue second = toTimeValue(makeTime(2026, 5, 2, 8, 0));
    const TimeValue ack = toTimeValue(makeTime(2026, 5, 2, 8, 20));
    const TimeValue stray = toTimeValue(makeTime(2026, 5, 2, 9, 0));
    std::map<TimeValue, LogEntry> history{{second, {second, ack, kStatusAcknowledgedLate}},
                                          {stray, {stray, 0, kStatusForgotten}}};
    std::vector<LogEntry> unmatched;
    applyHistory(occ, history, unmatched);
    EXPECT_EQ(occ[0].status, kStatusNotAlarmed);
    EXPECT_EQ(occ[1].status, kStatusAcknowledgedLate);
    EXPECT_EQ(occ[1].ack_time, fromTimeValue(ack));
    ASSERT_EQ(unmatched.size(), 1u);
    EXPECT_EQ(unmatched[0].alarm_time, stray);

    std::vector<AlarmOccurrence> none;
    unmatched.clear();
    applyHistory(none, history, unmatched);
    EXPECT_EQ(unmatched.size(), 2u);
}
